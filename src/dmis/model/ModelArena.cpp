#include "dmis/model/ModelArena.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <new>

namespace vantreel {
namespace {

thread_local ModelArena* currentArena = nullptr;

// Chunks are mapped on a 2 MiB boundary and offered to the kernel for huge
// pages: a model of hundreds of megabytes then costs hundreds of page faults
// instead of a hundred thousand. Where huge pages are off, they are ordinary
// pages, faulted in as they are used.
constexpr std::size_t kHugePage = std::size_t{2} << 20;

void* MapChunk(std::size_t bytes) {
    const std::size_t span = bytes + kHugePage;
    void* mapped = mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) {
        throw std::bad_alloc();
    }
    const auto start = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t aligned = (start + kHugePage - 1) & ~(std::uintptr_t{kHugePage} - 1);
    if (aligned > start) {
        munmap(mapped, aligned - start);
    }
    const std::uintptr_t end = start + span;
    if (end > aligned + bytes) {
        munmap(reinterpret_cast<void*>(aligned + bytes), end - (aligned + bytes));
    }
    void* chunk = reinterpret_cast<void*>(aligned);
    (void)madvise(chunk, bytes, MADV_HUGEPAGE);  // a hint: refused, the pages are small
    return chunk;
}

}  // namespace

std::atomic<std::size_t> ModelHeap::live{0};

ModelArena::ModelArena() noexcept = default;

ModelArena::~ModelArena() {
    for (const Chunk& chunk : chunks_) {
        if (chunk.mapped) {
            munmap(chunk.begin, chunk.bytes);
        } else {
            ::operator delete(chunk.begin);
        }
    }
}

void* ModelArena::AllocateSlow(std::size_t size) {
    // A block larger than a quarter chunk gets a chunk of its own, so that
    // the rest of the current chunk stays in use.
    const bool own = size > kChunk / 4;
    const std::size_t bytes = own ? size : kChunk;
    chunks_.reserve(chunks_.size() + 1);
    void* chunk = own ? ::operator new(bytes) : MapChunk(bytes);
    chunks_.push_back({chunk, bytes, !own});
    reserved_ += bytes;
    auto* begin = static_cast<std::byte*>(chunk);
    if (own) {
        return begin;
    }
    // Recycled blocks belong to the chunk before.
    std::fill(std::begin(recycled_), std::end(recycled_), nullptr);
    chunkBegin_ = begin;
    next_ = begin + size;
    end_ = begin + bytes;
    return begin;
}

ModelArena* ModelArena::Current() noexcept {
    return currentArena;
}

ArenaScope::ArenaScope(ModelArena& arena) noexcept : previous_(currentArena) {
    currentArena = &arena;
}

ArenaScope::~ArenaScope() {
    currentArena = previous_;
}

}  // namespace vantreel
