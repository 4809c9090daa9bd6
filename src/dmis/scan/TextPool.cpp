#include "dmis/scan/TextPool.h"

#include "shared/RunTimeError.h"
#include "vantreel/Error.h"

#include <algorithm>
#include <cstring>

namespace vantreel {
namespace {

constexpr std::size_t kChunkBytes = std::size_t{1} << 16;

}  // namespace

uint32_t TextPool::StoreInNewChunk(std::string_view prefix, std::string_view text) {
    const std::size_t length = prefix.size() + text.size();
    if (size_ + length > kMaxSize) {
        throw MakeError(RunTimeError::Overflow, "Scanner",
                        "the file holds more text than a scanner can hold");
    }
    if (length > left_) {
        const std::size_t bytes = std::max(length, kChunkBytes);
        chunks_.push_back({size_, std::make_unique_for_overwrite<char[]>(bytes)});
        free_ = chunks_.back().bytes.get();
        left_ = bytes;
    }
    return StoreHere(prefix, text);
}

std::size_t TextPool::ChunkOf(uint32_t offset) const noexcept {
    // Most texts asked for are recent ones, in the last chunk.
    if (offset >= chunks_.back().start) {
        return chunks_.size() - 1;
    }
    const auto after =
        std::upper_bound(chunks_.begin(), chunks_.end(), uint64_t{offset},
                         [](uint64_t value, const Chunk& chunk) { return value < chunk.start; });
    return static_cast<std::size_t>(after - chunks_.begin()) - 1;
}

std::string_view TextPool::View(uint32_t offset, uint32_t length) const noexcept {
    if (length == 0) {
        return {};
    }
    const Chunk& chunk = chunks_[ChunkOf(offset)];
    return std::string_view(chunk.bytes.get() + (offset - chunk.start), length);
}

void TextPool::ReleaseBefore(uint32_t offset) noexcept {
    // A chunk holds the texts from its start to the next chunk's start; the
    // last one stays, as more texts go into it.
    while (released_ + 1 < chunks_.size() && chunks_[released_ + 1].start <= offset) {
        chunks_[released_].bytes.reset();
        ++released_;
    }
}

}  // namespace vantreel
