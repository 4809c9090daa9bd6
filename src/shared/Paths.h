#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vantreel {

// Path helpers. Paths use "/"; the functions that take a path apart also
// accept "\" (paths written on Windows). An absolute path, or one with a
// drive colon as its second character, stands on its own.

bool IsPathSeparator(char c) noexcept;

// Appends a separator to the right-trimmed path unless it already ends in one:
// "\" for a path written with backslashes only, "/" otherwise.
void AddPathSeparator(std::string& sPath);

// sRelative resolved against sBase: "./" dropped, each "../" moves sBase up
// one level, any other leading "." is dropped; an absolute sRelative is
// returned as it is. Both are trimmed of blanks first.
std::string CombinePath(std::string_view sBase, std::string_view sRelative);

// The path up to and including the separator before its last component
// (trailing separators skipped); "" when there is none, and the drive's root
// for a drive and what stands directly on it ("C:\", "C:A" give "C:\").
std::string ParentDirectory(std::string_view sPath);

// The text before the first NUL.
std::string StripAtNul(std::string_view s);

// The path itself when it exists (Linux has no short names); error 53
// "File not found" otherwise.
std::string GetShortPath(const std::string& sPath);

// Whether sPath names a regular file; wildcards (* ?) match like a directory
// listing. False for "" and on any error.
bool FileExists(const std::string& sPath);

// Whether sPath names a directory. False for "" and on any error.
bool DirectoryExists(const std::string& sPath);

// Why name cannot be a file name on Windows (and so cannot name a part or a
// folder of the repository), or "" when it can: it must not be empty, hold
// one of \ / : * ? " < > | or a control character, end in a dot or a blank,
// or be a reserved device name (CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9, in
// any case, alone or before an extension: "con.txt", "Com1 .x"); with
// roomBytes more bytes for the longest file named after it, it must fit the
// 255 bytes a file name may have.
std::string FileNameProblem(std::string_view name, std::size_t roomBytes = 0);

// The file of directory whose name equals name ignoring ASCII case, as
// Windows finds it: the exact spelling when it exists, else the first match
// in name order; CombinePath(directory, name) when there is none.
std::string FindFileIgnoringCase(const std::string& directory, const std::string& name);

}  // namespace vantreel
