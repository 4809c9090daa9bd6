#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace vantreel {

// Splits a file, or text held in memory, into physical lines. A line ends at
// CR, CR LF or LF; the end itself is not part of the line. A UTF-8 byte-order
// mark at the very start is skipped. A final line without an end still counts,
// while an end at the very end of the input does not start another line.
class PhysicalLineReader {
  public:
    // Reads an open file in large chunks; the caller keeps the file open.
    explicit PhysicalLineReader(std::FILE* file);
    explicit PhysicalLineReader(std::string_view text);

    // Appends the next physical line to line; false when no line is left.
    // A read error raises vantreel::Error.
    bool AppendLine(std::string& line);

  private:
    bool Refill();
    bool EnsureData();
    void SkipByteOrderMark();

    std::FILE* file_ = nullptr;
    std::vector<char> buffer_;
    std::string_view window_;
    bool skipLineFeed_ = false;
};

}  // namespace vantreel
