#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

namespace vantreel {

// The texts of a scanner's tokens, one after the other. A text is known by
// its offset, the number of bytes stored before it. Texts are kept in chunks
// and never move once stored, so a view of one stays valid while more are
// added; the chunks wholly before an offset can be given back.
class TextPool {
  public:
    // Stores prefix followed by text as one text and returns its offset.
    // Raises an overflow Error when the pool would pass 4 GiB.
    uint32_t Store(std::string_view prefix, std::string_view text) {
        const std::size_t length = prefix.size() + text.size();
        if (length > left_ || size_ + length > kMaxSize) {
            return StoreInNewChunk(prefix, text);
        }
        return StoreHere(prefix, text);
    }
    // The bytes of the text stored last, to change them in place.
    char* LastStored(std::size_t length) noexcept { return free_ - length; }

    // The stored text at offset; empty for length 0. The chunk holding it
    // must not have been released.
    std::string_view View(uint32_t offset, uint32_t length) const noexcept;

    // The offset the next text gets.
    uint32_t Size() const noexcept { return static_cast<uint32_t>(size_); }

    // Gives back the chunks holding only texts that start before offset.
    void ReleaseBefore(uint32_t offset) noexcept;

  private:
    struct Chunk {
        uint64_t start;  // the offset of its first text
        std::unique_ptr<char[]> bytes;
    };

    static constexpr uint64_t kMaxSize = 0xFFFFFFFF;

    uint32_t StoreInNewChunk(std::string_view prefix, std::string_view text);
    uint32_t StoreHere(std::string_view prefix, std::string_view text) noexcept {
        const auto offset = static_cast<uint32_t>(size_);
        if (!prefix.empty()) {
            std::memcpy(free_, prefix.data(), prefix.size());
        }
        if (!text.empty()) {
            std::memcpy(free_ + prefix.size(), text.data(), text.size());
        }
        const std::size_t length = prefix.size() + text.size();
        free_ += length;
        left_ -= length;
        size_ += length;
        return offset;
    }
    std::size_t ChunkOf(uint32_t offset) const noexcept;

    std::vector<Chunk> chunks_;  // by start; released ones hold no bytes
    std::size_t released_ = 0;   // leading chunks given back
    uint64_t size_ = 0;
    char* free_ = nullptr;  // the free room of the last chunk
    std::size_t left_ = 0;
};

}  // namespace vantreel
