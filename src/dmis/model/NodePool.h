#pragma once

#include "dmis/model/ModelArena.h"

#include <atomic>
#include <cstddef>
#include <memory>
#include <new>
#include <thread>
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
        const Guard guard(pool.busy);
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
        const Guard guard(pool.busy);
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

    // A pool is almost never contended (one conversion per thread, and each
    // call holds it for a few instructions): a flag taken with one exchange
    // and given back with a plain store costs far less than a mutex per node.
    class Guard {
      public:
        explicit Guard(std::atomic<bool>& busy) noexcept : busy_(busy) {
            while (busy_.exchange(true, std::memory_order_acquire)) {
                while (busy_.load(std::memory_order_relaxed)) {
                    std::this_thread::yield();
                }
            }
        }
        ~Guard() { busy_.store(false, std::memory_order_release); }
        Guard(const Guard&) = delete;
        Guard& operator=(const Guard&) = delete;

      private:
        std::atomic<bool>& busy_;
    };

    struct Pool {
        std::atomic<bool> busy{false};
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

// Gives a model class its allocation: from the thread's current arena while
// one is in use (ArenaScope), else from the pool (objects of derived classes
// of another size use the general allocator). T keeps a flag, set when it is
// made, that says whether it lives in an arena, and releases itself with a
// destroying delete that calls Destroy: arena memory is never handed to the
// heap, whatever thread or scope lets go of the object.
template <class T>
struct Pooled {
    static void* operator new(std::size_t size) {
        static_assert(alignof(T) <= alignof(void*));
        if (ModelArena* arena = ModelArena::Current()) {
            void* p = arena->Reuse(size);
            return p != nullptr ? p : arena->Allocate(size);
        }
        void* p = size == sizeof(T) ? NodePool<sizeof(T)>::Allocate() : ::operator new(size);
        ModelHeap::Counted();
        return p;
    }
    // Called only when a constructor throws, right after operator new.
    static void operator delete(void* pointer, std::size_t size) noexcept {
        if (!MadeInArena(pointer)) {
            ReleaseHeap(pointer, size);
        }
    }

    // Whether an object under construction at self came from the current arena.
    static bool MadeInArena(const void* self) noexcept {
        const ModelArena* arena = ModelArena::Current();
        return arena != nullptr && arena->InCurrentChunk(self);
    }

    // Destroys object and gives its memory back unless an arena holds it.
    static void Destroy(T* object, bool inArena) noexcept {
        object->~T();
        if (!inArena) {
            ReleaseHeap(object, sizeof(T));
        } else if (ModelArena* arena = ModelArena::Current()) {
            arena->Recycle(object, sizeof(T));  // a node the parser let go
        }
    }

  private:
    static void ReleaseHeap(void* pointer, std::size_t size) noexcept {
        ModelHeap::Uncounted();
        if (size == sizeof(T)) {
            NodePool<sizeof(T)>::Release(pointer);
        } else {
            ::operator delete(pointer);
        }
    }
};

}  // namespace vantreel
