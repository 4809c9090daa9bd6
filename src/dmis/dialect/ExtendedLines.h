#pragma once

#include "dmis/dialect/DialectWarnings.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantreel {

// The logical lines of a DMIS file as the extended dialect reads it, ready
// for the scanner: continuations joined, text in Windows-1252, and every
// construct the scanner would refuse rewritten into the form it takes, with
// a warning each. Lines keep the number of the physical line they end on.
class ExtendedLines {
  public:
    struct Line {
        int32_t number;
        std::size_t offset;
        uint32_t length;
        bool inSource;  // a part of the text as given, else of the rewritten text
    };

    // Prepares text (the whole file), which must outlive this object: lines
    // that need no rewriting are read from it in place. Warnings go to warnings.
    ExtendedLines(std::string_view text, DialectWarnings& warnings);

    std::size_t Count() const noexcept { return lines_.size(); }
    int32_t Number(std::size_t index) const noexcept { return lines_[index].number; }
    std::string_view Text(std::size_t index) const noexcept {
        const Line& line = lines_[index];
        return (line.inSource ? source_ : std::string_view(text_)).substr(line.offset, line.length);
    }

  private:
    void Physical(std::string_view line, int32_t number);
    void Logical(std::string_view line, int32_t number);
    void Statement(std::string_view code, int32_t number);
    // Supplies a missing quote or drops a surplus ")" at the end; true when
    // out differs from code.
    bool Balance(std::string_view code, std::string& out);
    // A comma between a ")" and a label that follows it at once; true when
    // one was supplied.
    bool SupplyCommas(std::string_view code, std::string& out);
    void Emit(std::string_view first, std::string_view second, int32_t number);

    DialectWarnings& warnings_;
    std::string_view source_;
    std::string text_;
    std::vector<Line> lines_;
    std::string joined_;
    std::string scratch_;
    bool continuing_ = false;
    bool utf8_ = false;
    bool endfilSeen_ = false;
    bool anyStatement_ = false;
    int32_t droppedLines_ = 0;
    int32_t firstDropped_ = 0;
    int32_t lineNumber_ = 0;
};

}  // namespace vantreel
