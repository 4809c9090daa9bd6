#pragma once

#include <cstdint>
#include <string>

namespace vantreel {

// Profile (INI) files with the semantics Windows gives them: sections and
// keys compare without regard to letter case, blanks around names and values
// are ignored, a value in matching quotes is read without them, lines starting
// with ";" are comments, and the first of duplicate sections or keys counts.

// The value of sKey in sSection (at most 4095 characters); "" when the file,
// section or key is missing.
std::string ReadIniString(const std::string& sFile, const std::string& sSection,
                          const std::string& sKey);

// Sets sKey in sSection to sValue, creating the file, section and key as
// needed and keeping every other line of the file as it was. The write holds
// an advisory lock, re-reads the file and replaces it atomically with its
// mode kept. Non-zero on success, 0 on failure.
int32_t WriteIniString(const std::string& sFile, const std::string& sSection,
                       const std::string& sKey, const std::string& sValue);

}  // namespace vantreel
