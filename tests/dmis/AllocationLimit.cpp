#include "AllocationLimit.h"

#include <cstdlib>
#include <new>

namespace vantreel::test {
namespace {

// Allocations left before the next one fails; negative when there is no limit.
thread_local int64_t allowedAllocations = -1;
thread_local bool refused = false;

void* Allocate(std::size_t size) {
    if (allowedAllocations == 0) {
        refused = true;
        throw std::bad_alloc();
    }
    if (allowedAllocations > 0) {
        --allowedAllocations;
    }
    void* memory = std::malloc(size == 0 ? 1 : size);
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    return memory;
}

}  // namespace

AllocationLimit::AllocationLimit(int64_t allowed) {
    refused = false;
    allowedAllocations = allowed;
}

AllocationLimit::~AllocationLimit() {
    allowedAllocations = -1;
}

bool AllocationLimit::Reached() const {
    return refused;
}

}  // namespace vantreel::test

void* operator new(std::size_t size) {
    return vantreel::test::Allocate(size);
}
void* operator new[](std::size_t size) {
    return vantreel::test::Allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return vantreel::test::Allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return vantreel::test::Allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete[](void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete(void* memory, const std::nothrow_t&) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, const std::nothrow_t&) noexcept {
    std::free(memory);
}
