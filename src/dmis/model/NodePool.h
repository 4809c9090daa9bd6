#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

namespace vantreel {

// Blocks of one size for the model's many small objects, cut from 64 KiB
// chunks and recycled through a free list. A parsed program holds millions of
// nodes: this spares the general allocator's work and headers. When the last
// block comes back (a conversion's model is torn down), the chunks go back to
// the system.
template <std::size_t Size>
class NodePool {
  public:
    static void* Allocate() {
        Pool& pool = Instance();
        std::lock_guard lock(pool.mutex);
        ++pool.live;
        if (pool.freeList != nullptr) {
            FreeBlock* block = pool.freeList;
            pool.freeList = block->next;
            return block;
        }
        if (pool.chunks.empty() || pool.used == kBlocksPerChunk) {
            pool.chunks.push_back(std::make_unique_for_overwrite<Block[]>(kBlocksPerChunk));
            pool.used = 0;
        }
        return &pool.chunks.back()[pool.used++];
    }

    static void Release(void* pointer) noexcept {
        Pool& pool = Instance();
        std::lock_guard lock(pool.mutex);
        auto* block = static_cast<FreeBlock*>(pointer);
        block->next = pool.freeList;
        pool.freeList = block;
        if (--pool.live == 0) {
            pool.freeList = nullptr;
            pool.chunks.clear();
            pool.used = 0;
        }
    }

  private:
    struct FreeBlock {
        FreeBlock* next;
    };
    // Model objects need no more than pointer alignment; a 24-byte node takes 24 bytes.
    struct alignas(alignof(void*)) Block {
        std::byte bytes[Size < sizeof(FreeBlock) ? sizeof(FreeBlock) : Size];
    };
    static constexpr std::size_t kBlocksPerChunk = 65536 / sizeof(Block);

    struct Pool {
        std::mutex mutex;
        std::vector<std::unique_ptr<Block[]>> chunks;
        std::size_t used = 0;
        std::size_t live = 0;
        FreeBlock* freeList = nullptr;
    };

    static Pool& Instance() {
        static Pool* pool = new Pool;  // outlives every static model object
        return *pool;
    }
};

// Gives a class the pool as its allocator (objects of derived classes of
// another size use the general one).
template <class T>
struct Pooled {
    static void* operator new(std::size_t size) {
        static_assert(alignof(T) <= alignof(void*));
        return size == sizeof(T) ? NodePool<sizeof(T)>::Allocate() : ::operator new(size);
    }
    static void operator delete(void* pointer, std::size_t size) noexcept {
        if (size == sizeof(T)) {
            NodePool<sizeof(T)>::Release(pointer);
        } else {
            ::operator delete(pointer);
        }
    }
};

}  // namespace vantreel
