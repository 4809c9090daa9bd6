#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantreel {

// A set of names for the parser's registries: each name's length and bytes
// one after the other in one buffer, an open-addressing table of 8-byte slots
// (a hash and a place in the buffer) beside it. A program defines and
// references hundreds of thousands of labels, in no order a cache could
// follow; small slots keep the table in as few cache lines as possible. The
// set holds each name in a few bytes more than its text and lets go of all
// of them at once.
class NameSet {
  public:
    // Adds name unless it is there; true when it was added.
    bool Insert(std::string_view name);
    bool Contains(std::string_view name) const noexcept;
    std::size_t Size() const noexcept { return size_; }
    void Clear() noexcept;

  private:
    struct Slot {
        uint32_t hash = 0;
        uint32_t place = 0;  // 1 + where the name's record starts; 0 for a free slot
    };

    static uint32_t Hash(std::string_view name) noexcept;
    // The name whose record starts at offset.
    std::string_view NameAt(uint32_t offset) const noexcept;
    // The slot that holds name, or the free slot where it belongs.
    std::size_t Find(std::string_view name, uint32_t hash) const noexcept;
    void Grow();

    std::vector<Slot> slots_;
    std::string bytes_;  // records: the length (4 bytes), then the name
    std::size_t size_ = 0;
};

}  // namespace vantreel
