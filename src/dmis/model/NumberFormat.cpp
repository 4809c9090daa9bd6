#include "dmis/model/NumberFormat.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace vantreel {
namespace {

constexpr int kSmallestPositionalExponent = -5;

std::string FormatSignificant(double value, int digits) {
    if (std::isnan(value)) {
        return "NaN";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-Infinity" : "Infinity";
    }
    if (value == 0) {
        return "0";  // also for -0
    }
    // Scientific notation rounds to the wanted number of significant digits
    // and tells the decimal exponent after rounding (9.9999999999999999
    // becomes 1e+01).
    char scientific[64];
    const std::to_chars_result written =
        std::to_chars(scientific, scientific + sizeof scientific, std::fabs(value),
                      std::chars_format::scientific, digits - 1);
    char mantissa[32];
    std::size_t mantissaSize = 0;
    const char* p = scientific;
    for (; p < written.ptr && *p != 'e'; ++p) {
        if (*p != '.') {
            mantissa[mantissaSize++] = *p;
        }
    }
    int exponent = 0;
    std::from_chars(p + 1 + (p[1] == '+' ? 1 : 0), written.ptr, exponent);
    while (mantissaSize > 1 && mantissa[mantissaSize - 1] == '0') {
        --mantissaSize;
    }

    // At most 1 + 15 digits + 1 + 5 zeros + "E-308": the text fits in 48 bytes.
    char text[48];
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
        size = static_cast<std::size_t>(
            std::to_chars(text + size, text + sizeof text, magnitude).ptr - text);
        return std::string(text, size);
    }
    if (exponent < 0) {
        append("0.", 2);
        appendZeros(static_cast<std::size_t>(-exponent - 1));
        append(mantissa, mantissaSize);
        return std::string(text, size);
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
    return std::string(text, size);
}

}  // namespace

std::string FormatDouble(double value) {
    return FormatSignificant(value, 15);
}

std::string FormatSingle(float value) {
    return FormatSignificant(static_cast<double>(value), 7);
}

}  // namespace vantreel
