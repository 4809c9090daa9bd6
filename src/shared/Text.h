#pragma once

#include <string>
#include <string_view>

namespace vantreel {

// Small text helpers shared by the library. Letter case is ASCII letter case:
// bytes beyond ASCII (UTF-8 or Latin-1) are left as they are.

// What the trimming functions remove: blanks only, blanks and tabs, or the
// white space of text files (blanks, tabs, carriage returns).
inline constexpr std::string_view kBlanks = " ";
inline constexpr std::string_view kBlanksAndTabs = " \t";
inline constexpr std::string_view kWhitespace = " \t\r";

constexpr std::string_view TrimLeft(std::string_view text, std::string_view chars = kBlanks) {
    const std::size_t begin = text.find_first_not_of(chars);
    return begin == std::string_view::npos ? std::string_view() : text.substr(begin);
}

constexpr std::string_view TrimRight(std::string_view text, std::string_view chars = kBlanks) {
    const std::size_t end = text.find_last_not_of(chars);
    return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

constexpr std::string_view Trim(std::string_view text, std::string_view chars = kBlanks) {
    return TrimLeft(TrimRight(text, chars), chars);
}

constexpr char UpperAscii(char c) noexcept {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

inline void MakeUpperAscii(std::string& text) noexcept {
    for (char& c : text) {
        c = UpperAscii(c);
    }
}

inline std::string ToUpperAscii(std::string_view text) {
    std::string upper(text);
    MakeUpperAscii(upper);
    return upper;
}

constexpr bool HasLowerAscii(std::string_view text) noexcept {
    for (const char c : text) {
        if (c >= 'a' && c <= 'z') {
            return true;
        }
    }
    return false;
}

constexpr bool EqualsIgnoringCase(std::string_view a, std::string_view b) noexcept {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (UpperAscii(a[i]) != UpperAscii(b[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace vantreel
