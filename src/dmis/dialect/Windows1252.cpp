#include "dmis/dialect/Windows1252.h"

#include <array>
#include <cstdint>

namespace vantreel {
namespace {

// The characters Windows-1252 puts at 0x80..0x9F (0 where it has none).
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The length of the UTF-8 sequence at text[i] and its code point; 0 when it
// is not well formed (overlong forms and surrogates included).
std::size_t Decode(std::string_view text, std::size_t i, char32_t& code) noexcept {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (i + length > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (byte(i + k) & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return 0;
    }
    return length;
}

}  // namespace

bool HasBytesBeyondAscii(std::string_view text) noexcept {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return true;
        }
    }
    return false;
}

bool IsUtf8(std::string_view text) noexcept {
    std::size_t i = 0;
    char32_t code = 0;
    while (i < text.size()) {
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            ++i;
            continue;
        }
        const std::size_t length = Decode(text, i, code);
        if (length == 0) {
            return false;
        }
        i += length;
    }
    return true;
}

int CopyUtf8AsWindows1252(std::string_view text, std::string& out) {
    int lost = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        char32_t code = 0;
        std::size_t length = Decode(text, i, code);
        if (length == 0) {
            length = 1;  // not UTF-8 after all: the byte as it stands
            code = static_cast<unsigned char>(text[i]);
        }
        i += length;
        if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
            out.push_back(static_cast<char>(code));
            continue;
        }
        char mapped = 0;
        for (std::size_t k = 0; k < kHighControls.size(); ++k) {
            if (kHighControls[k] == code && code != 0) {
                mapped = static_cast<char>(0x80 + k);
                break;
            }
        }
        if (mapped == 0) {
            ++lost;
            mapped = '?';
        }
        out.push_back(mapped);
    }
    return lost;
}

}  // namespace vantreel
