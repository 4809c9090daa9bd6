#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vantreel {

// A text that must not outlive its use: a password. Its bytes live in pages
// of their own that are left out of core dumps and kept out of swap where the
// system allows it, and they are overwritten with zeros whenever the text is
// replaced, cleared or destroyed. Nothing here ever prints or logs it.
class SecretText {
  public:
    SecretText() = default;
    explicit SecretText(std::string_view text) { Assign(text); }
    SecretText(const SecretText& other) { Assign(other.View()); }
    SecretText& operator=(const SecretText& other);
    ~SecretText() { Release(); }

    // Replaces the text; error 7 "Out of memory" when no page can be had.
    void Assign(std::string_view text);
    void Clear() noexcept { Release(); }

    bool Empty() const noexcept { return size_ == 0; }
    std::size_t Size() const noexcept { return size_; }
    std::string_view View() const noexcept { return {data_ != nullptr ? data_ : "", size_}; }
    // A copy for the caller, who then owns what happens to it.
    std::string Text() const { return std::string(View()); }

    // Where the bytes are (for checking the pages' protection).
    const void* Storage() const noexcept { return data_; }

  private:
    void Release() noexcept;

    char* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t mapped_ = 0;
};

}  // namespace vantreel
