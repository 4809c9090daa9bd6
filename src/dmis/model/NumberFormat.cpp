#include "dmis/model/NumberFormat.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

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
    // "%.*e" rounds to the wanted number of significant digits and tells the
    // decimal exponent after rounding (9.9999999999999999 becomes 1e+01).
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*e", digits - 1, std::fabs(value));
    std::string mantissa;
    const char* p = buffer;
    for (; *p != 'e'; ++p) {
        if (*p != '.') {
            mantissa += *p;
        }
    }
    const int exponent = std::atoi(p + 1);
    while (mantissa.size() > 1 && mantissa.back() == '0') {
        mantissa.pop_back();
    }

    std::string text = value < 0 ? "-" : "";
    if (exponent >= digits || exponent < kSmallestPositionalExponent) {
        text += mantissa[0];
        if (mantissa.size() > 1) {
            text += '.';
            text.append(mantissa, 1, std::string::npos);
        }
        char exponentText[16];
        std::snprintf(exponentText, sizeof exponentText, "E%c%02d", exponent < 0 ? '-' : '+',
                      std::abs(exponent));
        text += exponentText;
        return text;
    }
    if (exponent < 0) {
        text += "0.";
        text.append(static_cast<std::size_t>(-exponent - 1), '0');
        text += mantissa;
        return text;
    }
    const std::size_t integerDigits = static_cast<std::size_t>(exponent) + 1;
    if (mantissa.size() <= integerDigits) {
        text += mantissa;
        text.append(integerDigits - mantissa.size(), '0');
    } else {
        text.append(mantissa, 0, integerDigits);
        text += '.';
        text.append(mantissa, integerDigits, std::string::npos);
    }
    return text;
}

}  // namespace

std::string FormatDouble(double value) {
    return FormatSignificant(value, 15);
}

std::string FormatSingle(float value) {
    return FormatSignificant(static_cast<double>(value), 7);
}

}  // namespace vantreel
