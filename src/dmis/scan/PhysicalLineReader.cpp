#include "dmis/scan/PhysicalLineReader.h"

#include "shared/RunTimeError.h"
#include "vantreel/Error.h"

#include <cerrno>
#include <cstring>

namespace vantreel {
namespace {

constexpr std::size_t kChunkSize = 1 << 20;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

PhysicalLineReader::PhysicalLineReader(std::FILE* file) : file_(file), buffer_(kChunkSize) {
    if (Refill()) {
        SkipByteOrderMark();
    }
}

PhysicalLineReader::PhysicalLineReader(std::string_view text) : window_(text) {
    SkipByteOrderMark();
}

void PhysicalLineReader::SkipByteOrderMark() {
    if (window_.starts_with(kByteOrderMark)) {
        window_.remove_prefix(kByteOrderMark.size());
    }
}

bool PhysicalLineReader::Refill() {
    if (file_ == nullptr) {
        return false;
    }
    const std::size_t count = std::fread(buffer_.data(), 1, buffer_.size(), file_);
    if (count == 0) {
        if (std::ferror(file_)) {
            throw MakeError(
                RunTimeError::DeviceIoError, "PhysicalLineReader",
                std::string("the file could not be read (") + std::strerror(errno) + ")");
        }
        return false;
    }
    window_ = std::string_view(buffer_.data(), count);
    return true;
}

bool PhysicalLineReader::EnsureData() {
    for (;;) {
        if (window_.empty() && !Refill()) {
            return false;
        }
        if (skipLineFeed_) {
            skipLineFeed_ = false;
            if (window_.front() == '\n') {
                window_.remove_prefix(1);
                continue;
            }
        }
        return true;
    }
}

bool PhysicalLineReader::AppendLine(std::string& line) {
    if (!EnsureData()) {
        return false;
    }
    for (;;) {
        const char* begin = window_.data();
        const char* end = begin + window_.size();
        const char* p = begin;
        while (p != end && *p != '\n' && *p != '\r') {
            ++p;
        }
        line.append(begin, p);
        if (p != end) {
            skipLineFeed_ = *p == '\r';
            window_.remove_prefix(static_cast<std::size_t>(p - begin) + 1);
            return true;
        }
        window_ = {};
        if (!Refill()) {
            return true;  // the last line of the input has no end
        }
    }
}

}  // namespace vantreel
