#pragma once

#include <string>
#include <string_view>

namespace vantreel {

// Whether text is well-formed UTF-8 (ASCII included).
bool IsUtf8(std::string_view text) noexcept;

// Whether text holds a byte above 127.
bool HasBytesBeyondAscii(std::string_view text) noexcept;

// Appends UTF-8 text to out in Windows-1252, the encoding the development
// environment reads. A character without a Windows-1252 form becomes "?";
// returns how many did. Text that is not UTF-8 is the caller's to avoid.
int CopyUtf8AsWindows1252(std::string_view text, std::string& out);

}  // namespace vantreel
