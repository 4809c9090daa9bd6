#include "operator/SecretText.h"

#include "shared/RunTimeError.h"
#include "vantreel/Error.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>

namespace vantreel {
namespace {

// Zeros that the compiler may not leave out because the memory dies next.
void Wipe(char* data, std::size_t size) noexcept {
    volatile char* bytes = data;
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = 0;
    }
}

}  // namespace

SecretText& SecretText::operator=(const SecretText& other) {
    if (this != &other) {
        Assign(other.View());
    }
    return *this;
}

void SecretText::Assign(std::string_view text) {
    if (text.empty()) {
        Release();
        return;
    }
    const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    const std::size_t needed = (text.size() + page) / page * page;
    void* memory =
        mmap(nullptr, needed, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED) {
        throw MakeError(RunTimeError::OutOfMemory, "SecretText");
    }
    // Best effort: a system that refuses either still gets a working text.
    (void)madvise(memory, needed, MADV_DONTDUMP);
    (void)mlock(memory, needed);
    std::memcpy(memory, text.data(), text.size());
    Release();
    data_ = static_cast<char*>(memory);
    size_ = text.size();
    mapped_ = needed;
}

void SecretText::Release() noexcept {
    if (data_ != nullptr) {
        Wipe(data_, mapped_);
        (void)munlock(data_, mapped_);
        (void)munmap(data_, mapped_);
    }
    data_ = nullptr;
    size_ = 0;
    mapped_ = 0;
}

}  // namespace vantreel
