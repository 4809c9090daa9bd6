#include "dmis/scan/PhysicalLineReader.h"

#include "shared/RunTimeError.h"
#include "vantreel/Error.h"

#include <cerrno>
#include <cstring>
#include <string>

namespace vantreel {
namespace {

constexpr std::size_t kChunkSize = 1 << 20;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

const char* FindOrEnd(const char* begin, const char* end, char ch) noexcept {
    if (begin == end) {
        return end;
    }
    const void* found = std::memchr(begin, ch, static_cast<std::size_t>(end - begin));
    return found != nullptr ? static_cast<const char*>(found) : end;
}

}  // namespace

PhysicalLineReader::PhysicalLineReader(std::FILE* file) : file_(file), buffer_(kChunkSize) {
    next_ = end_ = buffer_.data();
    if (Fill()) {
        SkipByteOrderMark();
    }
}

PhysicalLineReader::PhysicalLineReader(std::string_view text)
    : endOfFile_(true), next_(text.data()), end_(text.data() + text.size()) {
    SkipByteOrderMark();
}

void PhysicalLineReader::SkipByteOrderMark() {
    if (std::string_view(next_, static_cast<std::size_t>(end_ - next_))
            .starts_with(kByteOrderMark)) {
        next_ += kByteOrderMark.size();
    }
}

bool PhysicalLineReader::Fill() {
    if (file_ == nullptr || endOfFile_) {
        return false;
    }
    const std::size_t kept = static_cast<std::size_t>(end_ - next_);
    if (kept == buffer_.size()) {
        std::vector<char> larger(buffer_.size() * 2);
        std::memcpy(larger.data(), next_, kept);
        buffer_.swap(larger);
    } else if (kept > 0) {
        std::memmove(buffer_.data(), next_, kept);
    }
    next_ = buffer_.data();
    end_ = next_ + kept;
    carriageReturn_ = lineFeed_ = nullptr;
    const std::size_t count = std::fread(buffer_.data() + kept, 1, buffer_.size() - kept, file_);
    if (count == 0) {
        if (std::ferror(file_)) {
            throw MakeError(
                RunTimeError::DeviceIoError, "PhysicalLineReader",
                std::string("the file could not be read (") + std::strerror(errno) + ")");
        }
        endOfFile_ = true;
        return false;
    }
    end_ += count;
    return true;
}

bool PhysicalLineReader::NextLine(std::string_view& line) {
    for (;;) {
        if (skipLineFeed_) {
            if (next_ == end_ && !Fill()) {
                return false;
            }
            skipLineFeed_ = false;
            if (*next_ == '\n') {
                ++next_;
            }
        }
        if (carriageReturn_ == nullptr || carriageReturn_ < next_) {
            carriageReturn_ = FindOrEnd(next_, end_, '\r');
        }
        if (lineFeed_ == nullptr || lineFeed_ < next_) {
            lineFeed_ = FindOrEnd(next_, end_, '\n');
        }
        const char* stop = carriageReturn_ < lineFeed_ ? carriageReturn_ : lineFeed_;
        if (stop != end_) {
            line = std::string_view(next_, static_cast<std::size_t>(stop - next_));
            skipLineFeed_ = *stop == '\r';
            next_ = stop + 1;
            return true;
        }
        if (Fill()) {
            continue;
        }
        if (next_ == end_) {
            return false;
        }
        line = std::string_view(next_, static_cast<std::size_t>(end_ - next_));  // no end
        next_ = end_;
        return true;
    }
}

}  // namespace vantreel
