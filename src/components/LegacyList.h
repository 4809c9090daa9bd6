#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vantreel {

// The list file of a legacy export: line 1 the part's name, line 2
// "VisualBasic", then one line per folder ("F:" + path) and file ("D:" +
// path), paths relative to the list file's folder. Folders come before what
// they hold.
struct LegacyList {
    static constexpr const char* kKind = "VisualBasic";
    static constexpr const char* kExtension = ".lst";
    static constexpr std::size_t kMaxSize = 4 * 1024 * 1024;

    std::vector<std::string> lines;  // every line, as read

    // Reads a list file. Lines end at CR, LF or CRLF; a file larger than
    // kMaxSize, or one that cannot be read, raises an error naming it.
    static LegacyList Read(const std::string& path);

    // The list as Windows stations write it: CRLF line ends, backslashes.
    // folders and files are relative paths with "/" separators.
    static std::string Write(const std::string& partName, const std::vector<std::string>& folders,
                             const std::vector<std::string>& files);

    std::string PartName() const { return lines.empty() ? std::string() : lines[0]; }
    // Line 2 is "VisualBasic" in any letter case.
    bool IsVisualBasic() const;
    // The dialog's stricter test: also every further line starts with "D:" or
    // "F:" in any letter case (blank lines aside).
    bool IsWellFormed() const;
};

}  // namespace vantreel
