#pragma once

#include <cstdio>
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

    // The next physical line, seen in place: it stays valid until the next
    // call. False when no line is left. A read error raises vantreel::Error.
    bool NextLine(std::string_view& line);

  private:
    // Moves the unread bytes to the front of the buffer and reads more after
    // them, growing the buffer when a line fills it; false at the end of the file.
    bool Fill();
    void SkipByteOrderMark();

    std::FILE* file_ = nullptr;
    bool endOfFile_ = false;
    std::vector<char> buffer_;
    const char* next_ = nullptr;  // the first unread byte
    const char* end_ = nullptr;   // the end of the bytes read
    // The next CR and LF at or after next_, end_ when the window holds none,
    // null when not yet looked for.
    const char* carriageReturn_ = nullptr;
    const char* lineFeed_ = nullptr;
    bool skipLineFeed_ = false;
};

}  // namespace vantreel
