#pragma once

#include <cstdint>

namespace vantreel::test {

// Makes the allocation after the next `allowed` ones fail with std::bad_alloc,
// like a machine whose memory runs out, until the object is destroyed. The
// test program replaces the global operator new for this; without a limit it
// allocates as usual.
class AllocationLimit {
  public:
    explicit AllocationLimit(int64_t allowed);
    ~AllocationLimit();
    AllocationLimit(const AllocationLimit&) = delete;
    AllocationLimit& operator=(const AllocationLimit&) = delete;

    // Whether an allocation was refused while the limit held.
    bool Reached() const;
};

}  // namespace vantreel::test
