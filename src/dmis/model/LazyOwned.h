#pragma once

#include <cstddef>
#include <memory>
#include <new>

namespace vantreel {

// An owned object that exists only once something is put into it: changing
// access makes it, reading an absent one reads a shared empty one. Most
// statements have no block and many no parameters, so a program of a million
// statements does without a million empty lists.
template <class T>
class LazyOwned {
  public:
    LazyOwned() noexcept = default;
    LazyOwned(std::unique_ptr<T> object) noexcept : object_(std::move(object)) {}
    LazyOwned& operator=(std::unique_ptr<T> object) noexcept {
        object_ = std::move(object);
        return *this;
    }

    T& operator*() { return Made(); }
    T* operator->() { return &Made(); }
    const T& operator*() const { return object_ ? *object_ : Empty(); }
    const T* operator->() const { return object_ ? object_.get() : &Empty(); }

    // The object if it was made, else nullptr.
    T* get() const noexcept { return object_.get(); }
    explicit operator bool() const noexcept { return object_ != nullptr; }
    void reset() noexcept { object_.reset(); }

  private:
    T& Made() {
        if (!object_) {
            object_ = std::make_unique<T>();
        }
        return *object_;
    }
    static const T& Empty() {
        // Made in storage of its own, never by the model's allocation: it is
        // not cut from the arena of whatever program is being built when it is
        // first read, and not counted among the model's heap objects, so it
        // keeps no program from dropping its arena. It is never destroyed, so
        // it outlives every static model object.
        alignas(T) static std::byte storage[sizeof(T)];
        static const T* const empty = ::new (static_cast<void*>(storage)) T;
        return *empty;
    }

    std::unique_ptr<T> object_;
};

}  // namespace vantreel
