#include "dmis/model/ModelArena.h"

#include <algorithm>
#include <iterator>
#include <new>

namespace vantreel {
namespace {

thread_local ModelArena* currentArena = nullptr;

}  // namespace

std::atomic<std::size_t> ModelHeap::live{0};

ModelArena::ModelArena() noexcept = default;

ModelArena::~ModelArena() {
    for (void* chunk : chunks_) {
        ::operator delete(chunk);
    }
}

void* ModelArena::AllocateSlow(std::size_t size) {
    // A block larger than a quarter chunk gets a chunk of its own, so that
    // the rest of the current chunk stays in use.
    const bool own = size > kChunk / 4;
    const std::size_t bytes = own ? size : kChunk;
    chunks_.reserve(chunks_.size() + 1);
    void* chunk = ::operator new(bytes);
    chunks_.push_back(chunk);
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
