#include "dmis/parse/NameSet.h"

#include <cstring>
#include <limits>
#include <new>

namespace vantreel {

uint32_t NameSet::Hash(std::string_view name) noexcept {
    uint64_t hash = 14695981039346656037ULL;  // FNV-1a
    for (const char c : name) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ULL;
    }
    return static_cast<uint32_t>(hash ^ (hash >> 32));
}

std::string_view NameSet::NameAt(uint32_t offset) const noexcept {
    uint32_t length = 0;
    std::memcpy(&length, bytes_.data() + offset, sizeof length);
    return std::string_view(bytes_).substr(offset + sizeof length, length);
}

std::size_t NameSet::Find(std::string_view name, uint32_t hash) const noexcept {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
        const Slot& slot = slots_[at];
        if (slot.place == 0 || (slot.hash == hash && NameAt(slot.place - 1) == name)) {
            return at;
        }
    }
}

bool NameSet::Contains(std::string_view name) const noexcept {
    return !slots_.empty() && slots_[Find(name, Hash(name))].place != 0;
}

bool NameSet::Insert(std::string_view name) {
    if ((size_ + 1) * 4 > slots_.size() * 3) {
        Grow();  // at most three quarters full, so that every search ends
    }
    const uint32_t hash = Hash(name);
    Slot& slot = slots_[Find(name, hash)];
    if (slot.place != 0) {
        return false;
    }
    const uint32_t length = static_cast<uint32_t>(name.size());
    // The record's place, plus one, must fit the slot.
    if (name.size() > std::numeric_limits<uint32_t>::max() - 1 - sizeof length ||
        bytes_.size() >= std::numeric_limits<uint32_t>::max() - 1 - sizeof length - name.size()) {
        throw std::bad_alloc();
    }
    const uint32_t offset = static_cast<uint32_t>(bytes_.size());
    bytes_.append(reinterpret_cast<const char*>(&length), sizeof length);
    bytes_.append(name);
    slot = {hash, offset + 1};
    ++size_;
    return true;
}

void NameSet::Grow() {
    if (slots_.size() > std::numeric_limits<uint32_t>::max() / 2) {
        throw std::bad_alloc();  // a 32-bit hash spreads names over no more slots
    }
    std::vector<Slot> old(slots_.empty() ? 64 : slots_.size() * 2);
    old.swap(slots_);
    const std::size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
        if (slot.place != 0) {
            std::size_t at = slot.hash & mask;
            while (slots_[at].place != 0) {
                at = (at + 1) & mask;
            }
            slots_[at] = slot;
        }
    }
}

void NameSet::Clear() noexcept {
    slots_.clear();
    bytes_.clear();
    size_ = 0;
}

}  // namespace vantreel
