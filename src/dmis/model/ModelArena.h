#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <new>
#include <vector>

namespace vantreel {

// The memory of one program's model: blocks cut one after the other from
// large chunks, never freed one by one. A parse puts everything it builds
// (nodes, statements, lists, arrays, long texts) here, so building costs a
// pointer bump per object, objects carry no allocator header, and a program
// nobody else holds a piece of is released by giving back the chunks, without
// visiting its millions of objects.
//
// An arena is used from the thread that made it current (ArenaScope); the
// objects it holds say so themselves, so releasing one of them one by one (a
// node the parser discards, an edit) never hands arena memory to the heap.
class ModelArena {
  public:
    ModelArena() noexcept;
    ~ModelArena();
    ModelArena(const ModelArena&) = delete;
    ModelArena& operator=(const ModelArena&) = delete;

    // size bytes aligned for any model object (pointer alignment).
    void* Allocate(std::size_t size) {
        size = (size + kAlign - 1) & ~(kAlign - 1);
        if (size <= static_cast<std::size_t>(end_ - next_)) {
            std::byte* block = next_;
            next_ += size;
            return block;
        }
        return AllocateSlow(size);
    }

    // Whether p lies in the chunk blocks are being cut from now: true right
    // after Allocate handed p out, false for any object elsewhere.
    bool InCurrentChunk(const void* p) const noexcept {
        const auto* b = static_cast<const std::byte*>(p);
        return b >= chunkBegin_ && b < next_;
    }

    // Takes back a block for the next request of the same size: a node the
    // parser let go, a collection's storage it outgrew. Only blocks of the
    // current chunk are kept (the others stay unused until the arena goes),
    // so that every block handed out again passes InCurrentChunk.
    void Recycle(void* p, std::size_t size) noexcept {
        const std::size_t slot = Slot(size);
        if (slot < kRecycledSizes && InCurrentChunk(p)) {
            auto* block = static_cast<FreeBlock*>(p);
            block->next = recycled_[slot];
            recycled_[slot] = block;
        }
    }
    // A recycled block of size bytes, or nullptr.
    void* Reuse(std::size_t size) noexcept {
        const std::size_t slot = Slot(size);
        if (slot >= kRecycledSizes || recycled_[slot] == nullptr) {
            return nullptr;
        }
        FreeBlock* block = recycled_[slot];
        recycled_[slot] = block->next;
        return block;
    }

    // Bytes taken from the system.
    std::size_t BytesReserved() const noexcept { return reserved_; }

    // The arena of the innermost ArenaScope of this thread, or nullptr.
    static ModelArena* Current() noexcept;

  private:
    static constexpr std::size_t kAlign = alignof(void*);
    static constexpr std::size_t kChunk = std::size_t{2} << 20;
    static constexpr std::size_t kRecycledSizes = 16;  // blocks of 8 to 128 bytes

    static std::size_t Slot(std::size_t size) noexcept {
        return size == 0 || size % kAlign != 0 ? kRecycledSizes : size / kAlign - 1;
    }

    void* AllocateSlow(std::size_t size);

    struct Chunk {
        void* begin;
        std::size_t bytes;
        bool mapped;  // a mapping of its own, else from the heap
    };
    std::vector<Chunk> chunks_;
    std::byte* chunkBegin_ = nullptr;
    std::byte* next_ = nullptr;
    std::byte* end_ = nullptr;
    std::size_t reserved_ = 0;
    struct FreeBlock {
        FreeBlock* next;
    };
    FreeBlock* recycled_[kRecycledSizes] = {};

    friend class ArenaScope;
};

// Makes an arena the thread's current one for as long as it lives.
class ArenaScope {
  public:
    explicit ArenaScope(ModelArena& arena) noexcept;
    ~ArenaScope();
    ArenaScope(const ArenaScope&) = delete;
    ArenaScope& operator=(const ArenaScope&) = delete;

  private:
    ModelArena* previous_;
};

// Model memory outside any arena. A count of the live heap objects tells a
// program whether any of its pieces could be on the heap: when none of the
// process is, its arena goes without a walk over the objects.
struct ModelHeap {
    static void* Allocate(std::size_t size) {
        void* p = ::operator new(size);
        live.fetch_add(1, std::memory_order_relaxed);
        return p;
    }
    static void Release(void* p) noexcept {
        live.fetch_sub(1, std::memory_order_relaxed);
        ::operator delete(p);
    }
    static void Counted() noexcept { live.fetch_add(1, std::memory_order_relaxed); }
    static void Uncounted() noexcept { live.fetch_sub(1, std::memory_order_relaxed); }
    static std::size_t Live() noexcept { return live.load(std::memory_order_relaxed); }

    static std::atomic<std::size_t> live;
};

// The allocator of the model's collections: storage from the arena current
// when the collection was made, else from the heap.
template <class T>
class ArenaAllocator {
  public:
    using value_type = T;
    using propagate_on_container_move_assignment = std::true_type;
    using propagate_on_container_swap = std::true_type;
    using is_always_equal = std::false_type;

    ArenaAllocator() noexcept : arena_(ModelArena::Current()) {}
    template <class U>
    ArenaAllocator(const ArenaAllocator<U>& other) noexcept : arena_(other.Arena()) {}

    T* allocate(std::size_t n) {
        const std::size_t bytes = n * sizeof(T);
        if (arena_ != nullptr) {
            void* p = arena_->Reuse(bytes);
            return static_cast<T*>(p != nullptr ? p : arena_->Allocate(bytes));
        }
        return static_cast<T*>(ModelHeap::Allocate(bytes));
    }
    void deallocate(T* p, std::size_t n) noexcept {
        if (arena_ != nullptr) {
            arena_->Recycle(p, n * sizeof(T));
        } else {
            ModelHeap::Release(p);
        }
    }

    ModelArena* Arena() const noexcept { return arena_; }
    template <class U>
    bool operator==(const ArenaAllocator<U>& other) const noexcept {
        return arena_ == other.Arena();
    }

  private:
    ModelArena* arena_;
};

}  // namespace vantreel
