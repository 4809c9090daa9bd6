#pragma once

#include "dmis/model/ModelArena.h"
#include "shared/RunTimeError.h"
#include "vantreel/Error.h"

#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

namespace vantreel {

// An ordered list of owned model objects with 1-based positions, the common
// ground of CStatements, CExpressions and CComments.
// Model lists take their storage from the arena current when they are made;
// lists outside the model tree (comments) from the heap.
template <class T, class Allocator = ArenaAllocator<std::unique_ptr<T>>>
class OwnedCollection {
  public:
    using Storage = std::vector<std::unique_ptr<T>, Allocator>;

    // Iterates the objects themselves, in order.
    class const_iterator {
      public:
        explicit const_iterator(typename Storage::const_iterator it) : it_(it) {}
        T& operator*() const { return **it_; }
        T* operator->() const { return it_->get(); }
        const_iterator& operator++() {
            ++it_;
            return *this;
        }
        bool operator==(const const_iterator&) const = default;

      private:
        typename Storage::const_iterator it_;
    };

    T& Add(std::unique_ptr<T> item) {
        if (!item) {
            throw MakeError(RunTimeError::ObjectNotSet, "Collection", "Object variable not set");
        }
        if (items_.size() >= static_cast<std::size_t>(std::numeric_limits<int32_t>::max())) {
            throw MakeError(RunTimeError::OutOfMemory, "Collection", "Out of memory");
        }
        if (items_.capacity() == 0) {
            items_.reserve(4);  // most lists hold a few: one allocation instead of three
        }
        items_.push_back(std::move(item));
        return *items_.back();
    }

    int32_t Count() const noexcept { return static_cast<int32_t>(items_.size()); }

    // The object at a position from 1 to Count; error 9 otherwise.
    T& Item(int32_t position) const {
        if (position < 1 || position > Count()) {
            throw MakeError(RunTimeError::SubscriptOutOfRange, "Collection",
                            "Subscript out of range");
        }
        return *items_[static_cast<std::size_t>(position - 1)];
    }

    // Removes the last object and hands it to the caller; null when empty.
    std::unique_ptr<T> TakeLast() {
        if (items_.empty()) {
            return nullptr;
        }
        std::unique_ptr<T> last = std::move(items_.back());
        items_.pop_back();
        return last;
    }

    bool Empty() const noexcept { return items_.empty(); }
    const_iterator begin() const { return const_iterator(items_.begin()); }
    const_iterator end() const { return const_iterator(items_.end()); }

  private:
    Storage items_;
};

}  // namespace vantreel
