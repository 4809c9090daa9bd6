#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

namespace vantreel {

// Text on its way to a stream: the writers append their lines to Text() and
// the buffer hands them to the stream in large writes instead of one small
// write per piece. The writer flushes at its end; what is left when an error
// cuts the writing short goes when the buffer does.
class OutputBuffer {
  public:
    static constexpr std::size_t kFlushSize = std::size_t{1} << 16;

    explicit OutputBuffer(std::ostream& out) : out_(out) { text_.reserve(kFlushSize + 4096); }
    ~OutputBuffer() {
        try {
            Flush();
        } catch (...) {
            // a stream that raises on a failed write: the failure stays with the stream
        }
    }
    OutputBuffer(const OutputBuffer&) = delete;
    OutputBuffer& operator=(const OutputBuffer&) = delete;

    std::string& Text() noexcept { return text_; }

    // count blanks (none for a count below one).
    void Indent(int32_t count) {
        if (count > 0) {
            text_.append(static_cast<std::size_t>(count), ' ');
        }
    }

    // Hands the text over once a large write's worth has gathered.
    void FlushIfFull() {
        if (text_.size() >= kFlushSize) {
            Flush();
        }
    }

    void Flush() {
        if (!text_.empty()) {
            out_.write(text_.data(), static_cast<std::streamsize>(text_.size()));
            text_.clear();
        }
    }

  private:
    std::ostream& out_;
    std::string text_;
};

}  // namespace vantreel
