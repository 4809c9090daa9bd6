#include "dmis/model/NumberFormat.h"

#include "dmis/model/Variant.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string_view>

namespace vantreel {
namespace {

constexpr int kSmallestPositionalExponent = -5;
constexpr int kDoubleDigits = 15;

// At most 1 + 15 digits + 1 + 5 zeros + "E-308": a text fits in 48 bytes.
constexpr std::size_t kTextSize = 48;

// The significant digits of |value| rounded to digits places, without
// trailing zeros, and the decimal exponent after rounding (9.9999999999999999
// gives "1" and 1). Returns the number of digits written to mantissa.
std::size_t RoundedDigits(double value, int digits, char (&mantissa)[32], int& exponent) {
    char scientific[64];
    const double magnitude = std::fabs(value);
    std::to_chars_result written{};
    // The shortest text that reads back as the value has the same digits as
    // the value rounded to 15 places whenever it has no more than 15: a normal
    // double lies much closer to that text than half a unit of the 15th digit.
    // It is far cheaper to find than a rounding to a fixed number of places.
    bool shortest = false;
    if (digits == kDoubleDigits && std::isnormal(value)) {
        written = std::to_chars(scientific, scientific + sizeof scientific, magnitude,
                                std::chars_format::scientific);
        // "de+x" or "d.ddde+x": at most 15 digits put the 'e' at place 16 or
        // before. The exponent has two or three digits.
        const char* e = written.ptr - 4;
        while (*e != 'e') {
            --e;
        }
        shortest = e - scientific <= kDoubleDigits + 1;
    }
    if (!shortest) {
        // Scientific notation with a precision rounds to the wanted number of
        // significant digits and tells the decimal exponent after rounding.
        written = std::to_chars(scientific, scientific + sizeof scientific, magnitude,
                                std::chars_format::scientific, digits - 1);
    }
    std::size_t size = 0;
    const char* p = scientific;
    for (; p < written.ptr && *p != 'e'; ++p) {
        if (*p != '.') {
            mantissa[size++] = *p;
        }
    }
    exponent = 0;
    std::from_chars(p + 1 + (p[1] == '+' ? 1 : 0), written.ptr, exponent);
    while (size > 1 && mantissa[size - 1] == '0') {
        --size;
    }
    return size;
}

// Numbers of a part program mostly have a few decimals: whole / 10^k for a
// whole number of at most 15 digits. When the double nearest to that quotient
// is the value, the quotient is also the value rounded to 15 digits, and its
// text is written straight from whole and k. Returns the size written, or 0
// when the value is not such a quotient (or is outside 0.001 to 1E15).
std::size_t FormatShortDecimal(double value, char (&text)[kTextSize]) {
    static constexpr double kPowers[] = {1e0, 1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,
                                         1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17};
    constexpr double kLimit = 1e15;  // whole numbers below it have at most 15 digits
    const double magnitude = std::fabs(value);
    if (!(magnitude >= 1e-3 && magnitude < kLimit)) {
        return 0;
    }
    for (int places = 0; places < static_cast<int>(std::size(kPowers)); ++places) {
        const double scaled = magnitude * kPowers[places];
        if (scaled >= kLimit) {
            return 0;
        }
        const auto whole = static_cast<int64_t>(scaled + 0.5);
        const double wholeValue = static_cast<double>(whole);
        // The division is exact to the last bit (both operands are exact), so
        // it tells whether the value is the double nearest to the quotient.
        if (std::fabs(scaled - wholeValue) > scaled * 1e-12 || wholeValue >= kLimit ||
            wholeValue / kPowers[places] != magnitude) {
            continue;
        }
        char digits[24];
        const auto count = static_cast<std::size_t>(
            std::to_chars(digits, digits + sizeof digits, whole).ptr - digits);
        std::size_t decimals = static_cast<std::size_t>(places);
        std::size_t used = count;
        while (decimals > 0 && digits[used - 1] == '0') {
            --used;
            --decimals;
        }
        std::size_t size = 0;
        if (value < 0) {
            text[size++] = '-';
        }
        if (decimals == 0) {
            std::memcpy(text + size, digits, used);
            return size + used;
        }
        if (used > decimals) {
            std::memcpy(text + size, digits, used - decimals);
            size += used - decimals;
        } else {
            text[size++] = '0';
        }
        text[size++] = '.';
        if (decimals > used) {
            std::memset(text + size, '0', decimals - used);
            size += decimals - used;
        }
        const std::size_t fraction = std::min(used, decimals);
        std::memcpy(text + size, digits + used - fraction, fraction);
        return size + fraction;
    }
    return 0;
}

// Writes the text of value with at most digits significant digits to text;
// returns its size.
std::size_t FormatSignificant(double value, int digits, char (&text)[kTextSize]) {
    auto literal = [&](std::string_view word) {
        std::memcpy(text, word.data(), word.size());
        return word.size();
    };
    if (std::isnan(value)) {
        return literal("NaN");
    }
    if (std::isinf(value)) {
        return literal(value < 0 ? "-Infinity" : "Infinity");
    }
    if (value == 0) {
        return literal("0");  // also for -0
    }
    if (digits == kDoubleDigits) {
        if (const std::size_t size = FormatShortDecimal(value, text); size > 0) {
            return size;
        }
    }
    char mantissa[32];
    int exponent = 0;
    const std::size_t mantissaSize = RoundedDigits(value, digits, mantissa, exponent);

    std::size_t size = 0;
    auto append = [&](const char* from, std::size_t count) {
        std::memcpy(text + size, from, count);
        size += count;
    };
    auto appendZeros = [&](std::size_t count) {
        std::memset(text + size, '0', count);
        size += count;
    };
    if (value < 0) {
        text[size++] = '-';
    }
    if (exponent >= digits || exponent < kSmallestPositionalExponent) {
        text[size++] = mantissa[0];
        if (mantissaSize > 1) {
            text[size++] = '.';
            append(mantissa + 1, mantissaSize - 1);
        }
        text[size++] = 'E';
        text[size++] = exponent < 0 ? '-' : '+';
        const int magnitude = exponent < 0 ? -exponent : exponent;
        if (magnitude < 10) {
            text[size++] = '0';
        }
        return static_cast<std::size_t>(
            std::to_chars(text + size, text + kTextSize, magnitude).ptr - text);
    }
    if (exponent < 0) {
        append("0.", 2);
        appendZeros(static_cast<std::size_t>(-exponent - 1));
        append(mantissa, mantissaSize);
        return size;
    }
    const std::size_t integerDigits = static_cast<std::size_t>(exponent) + 1;
    if (mantissaSize <= integerDigits) {
        append(mantissa, mantissaSize);
        appendZeros(integerDigits - mantissaSize);
    } else {
        append(mantissa, integerDigits);
        text[size++] = '.';
        append(mantissa + integerDigits, mantissaSize - integerDigits);
    }
    return size;
}

template <typename Integer>
void AppendInteger(std::string& out, Integer value) {
    char text[24];
    out.append(text,
               static_cast<std::size_t>(std::to_chars(text, text + sizeof text, value).ptr - text));
}

}  // namespace

std::string FormatDouble(double value) {
    char text[kTextSize];
    return std::string(text, FormatSignificant(value, kDoubleDigits, text));
}

std::string FormatSingle(float value) {
    char text[kTextSize];
    return std::string(text, FormatSignificant(static_cast<double>(value), 7, text));
}

void AppendDouble(std::string& out, double value) {
    char text[kTextSize];
    out.append(text, FormatSignificant(value, kDoubleDigits, text));
}

void AppendSingle(std::string& out, float value) {
    char text[kTextSize];
    out.append(text, FormatSignificant(static_cast<double>(value), 7, text));
}

void AppendValueText(std::string& out, const Variant& value) {
    switch (value.Type()) {
        case VariantType::Empty:
        case VariantType::Null:
            return;
        case VariantType::String:
            out += value.String();
            return;
        case VariantType::Double:
            AppendDouble(out, value.Double());
            return;
        case VariantType::Single:
            AppendSingle(out, value.Single());
            return;
        case VariantType::Integer:
            AppendInteger(out, value.Integer());
            return;
        case VariantType::Long:
            AppendInteger(out, value.Long());
            return;
        case VariantType::Byte:
            AppendInteger(out, static_cast<unsigned>(value.Byte()));
            return;
        default:
            out += value.ToText();  // the rare types, and the error for the others
            return;
    }
}

}  // namespace vantreel
