#include "dmis/parse/NameSet.h"

#include <limits>
#include <new>

namespace vantreel {

uint64_t NameSet::Hash(std::string_view name) noexcept {
    uint64_t hash = 14695981039346656037ULL;  // FNV-1a
    for (const char c : name) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ULL;
    }
    return hash;
}

std::size_t NameSet::Find(std::string_view name, uint64_t hash) const noexcept {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = static_cast<std::size_t>(hash) & mask;; at = (at + 1) & mask) {
        const Slot& slot = slots_[at];
        if (!slot.used || (slot.hash == hash && slot.length == name.size() &&
                           std::string_view(bytes_).substr(slot.offset, slot.length) == name)) {
            return at;
        }
    }
}

bool NameSet::Contains(std::string_view name) const noexcept {
    return !slots_.empty() && slots_[Find(name, Hash(name))].used;
}

bool NameSet::Insert(std::string_view name) {
    if ((size_ + 1) * 4 > slots_.size() * 3) {
        Grow();  // at most three quarters full, so that every search ends
    }
    const uint64_t hash = Hash(name);
    Slot& slot = slots_[Find(name, hash)];
    if (slot.used) {
        return false;
    }
    if (bytes_.size() + name.size() > std::numeric_limits<uint32_t>::max()) {
        throw std::bad_alloc();
    }
    slot = {hash, static_cast<uint32_t>(bytes_.size()), static_cast<uint32_t>(name.size()), true};
    bytes_.append(name);
    ++size_;
    return true;
}

void NameSet::Grow() {
    std::vector<Slot> old(slots_.empty() ? 64 : slots_.size() * 2);
    old.swap(slots_);
    const std::size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
        if (slot.used) {
            std::size_t at = static_cast<std::size_t>(slot.hash) & mask;
            while (slots_[at].used) {
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
