#pragma once

#include <string>
#include <string_view>

namespace vantreel {

// Paths read from an archive or a list file are relative paths below a folder
// of ours and nothing else. SafeRelativePath gives the path with "/"
// separators, or "" with the reason in *reason when it could leave its folder
// or is not a usable name: empty, absolute, a drive letter ("C:..."), a ".."
// or "." component, an empty component, a NUL or other control character,
// or a component longer than 255 bytes. Backslashes separate components when
// backslashIsSeparator (lists written on Windows); otherwise they are refused.
// A trailing separator (a directory entry) is dropped.
std::string SafeRelativePath(std::string_view path, bool backslashIsSeparator,
                             std::string* reason = nullptr);

// Whether name can be a part's name: one safe path component.
bool IsSafePartName(std::string_view name);

// Whether a path (with "/" separators) lies strictly below the directory dir,
// compared lexically after both are normalised; the relative rest goes to
// *relative.
bool IsBelowDirectory(const std::string& path, const std::string& dir, std::string* relative);

}  // namespace vantreel
