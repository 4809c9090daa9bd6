#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantreel {

// A set of names for the parser's registries: the names' bytes one after the
// other in one buffer, an open-addressing table of (hash, place) beside it.
// A program defines and references hundreds of thousands of labels; this
// holds each in a few bytes more than its text and lets go of all of them at
// once.
class NameSet {
  public:
    // Adds name unless it is there; true when it was added.
    bool Insert(std::string_view name);
    bool Contains(std::string_view name) const noexcept;
    std::size_t Size() const noexcept { return size_; }
    void Clear() noexcept;

  private:
    struct Slot {
        uint64_t hash = 0;
        uint32_t offset = 0;
        uint32_t length = 0;
        bool used = false;
    };

    static uint64_t Hash(std::string_view name) noexcept;
    // The slot that holds name, or the empty slot where it belongs.
    std::size_t Find(std::string_view name, uint64_t hash) const noexcept;
    void Grow();

    std::vector<Slot> slots_;
    std::string bytes_;
    std::size_t size_ = 0;
};

}  // namespace vantreel
