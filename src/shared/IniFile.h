#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vantreel {

// Profile (INI) files with the semantics Windows gives them: sections and
// keys compare without regard to letter case, blanks around names and values
// are ignored, a value in matching quotes is read without them, lines starting
// with ";" are comments, and the first of duplicate sections or keys counts.
// A UTF-8 byte order mark at the start of the file (Notepad writes one) is
// skipped when reading and kept when writing.

// The value of sKey in sSection (at most 4095 characters); "" when the file,
// section or key is missing, and for anything but a regular file of at most
// 16 MiB (a FIFO or a device is never opened for reading).
std::string ReadIniString(const std::string& sFile, const std::string& sSection,
                          const std::string& sKey);

// Sets sKey in sSection to sValue, creating the file, section and key as
// needed and keeping every other line of the file as it was; a key that is
// there keeps its own spelling. The write holds an advisory lock (waiting for
// other writers, up to a minute), re-reads the file and replaces it atomically
// with its mode kept. A section, key or value that does not fit on one line
// is refused and nothing is written, and so is a file larger than 16 MiB.
// Non-zero on success, 0 on failure.
int32_t WriteIniString(const std::string& sFile, const std::string& sSection,
                       const std::string& sKey, const std::string& sValue);

// Whether text can stand in one line of an INI or project file: no carriage
// return, line feed or NUL, any of which would end the line early and let
// the rest be read as a key or section of its own.
bool FitsOnOneLine(std::string_view text) noexcept;

}  // namespace vantreel
