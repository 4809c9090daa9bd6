#include "dmis/model/NumberFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace vantreel {
namespace {

struct DoubleCase {
    double value;
    const char* text;
};

TEST(FormatDouble, PrintsAsBasicPrintsADouble) {
    const DoubleCase cases[] = {
        {0.5, "0.5"},
        {1, "1"},
        {12.25, "12.25"},
        {0, "0"},
        {-0.0, "0"},
        {-1.5, "-1.5"},
        {0.1 + 0.2, "0.3"},
        {1.0 / 3, "0.333333333333333"},
        {2.0 / 3, "0.666666666666667"},
        {-2.0 / 3, "-0.666666666666667"},
        {100, "100"},
        {123456789012345, "123456789012345"},
        {99999999999999.99, "100000000000000"},
        {1e15, "1E+15"},
        {123456789012345678.0, "1.23456789012346E+17"},
        {0.00001, "0.00001"},
        {0.0000123, "0.0000123"},
        {1.5e-7, "1.5E-07"},
        {-2.5e-100, "-2.5E-100"},
        {1.7976931348623157e308, "1.79769313486232E+308"},
        {std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324"},
    };
    for (const DoubleCase& c : cases) {
        EXPECT_EQ(FormatDouble(c.value), c.text) << c.value;
    }
}

TEST(FormatSingle, KeepsSevenDigits) {
    EXPECT_EQ(FormatSingle(0.1f), "0.1");
    EXPECT_EQ(FormatSingle(1.0f / 3), "0.3333333");
    EXPECT_EQ(FormatSingle(1234567.0f), "1234567");
    EXPECT_EQ(FormatSingle(1e7f), "1E+07");
}

}  // namespace
}  // namespace vantreel

namespace vantreel {
namespace {

// The digits kept are those C's "%.*e" keeps: for values across the whole
// range, the text reads back as the same number printf's rounding gives.
TEST(FormatDouble, RoundsAsPrintfRounds) {
    std::mt19937_64 random(20261206);
    std::uniform_real_distribution<double> mantissa(1.0, 10.0);
    std::uniform_int_distribution<int> exponent(-320, 308);
    for (int i = 0; i < 20000; ++i) {
        const double value = (i % 2 == 0 ? 1 : -1) * mantissa(random) *
                             std::pow(10.0, exponent(random) % (i % 3 == 0 ? 20 : 400));
        if (!std::isfinite(value) || value == 0) {
            continue;
        }
        for (const int digits : {15, 7}) {
            char expected[64];
            std::snprintf(expected, sizeof expected, "%.*e", digits - 1, value);
            const std::string text =
                digits == 15 ? FormatDouble(value) : FormatSingle(static_cast<float>(value));
            const double printed = digits == 15 ? std::strtod(expected, nullptr) : [&] {
                char single[64];
                std::snprintf(single, sizeof single, "%.*e", digits - 1,
                              static_cast<double>(static_cast<float>(value)));
                return std::strtod(single, nullptr);
            }();
            EXPECT_EQ(std::strtod(text.c_str(), nullptr), printed) << value << " " << text;
        }
    }
}

}  // namespace
}  // namespace vantreel

namespace vantreel {
namespace {

// A part program's numbers have few digits. Whatever their count (up to 17,
// where the text no longer tells the double), the digits printed are those
// printf rounds to, also next to a power of ten.
TEST(FormatDouble, ShortDecimalsRoundAsPrintfRounds) {
    std::mt19937_64 random(12061742);
    std::uniform_int_distribution<int> digitCount(1, 17);
    std::uniform_int_distribution<int> digit(0, 9);
    std::uniform_int_distribution<int> exponent(-300, 300);
    std::vector<double> values = {
        9.99999999999999e22,    9.999999999999995, 99999999999999.95,       0.1 + 0.2,
        123456789012345.6,      1.00000000000001,  2.2250738585072014e-308, 1e-5,
        0.000099999999999999995};
    for (int i = 0; i < 30000; ++i) {
        std::string text(1, static_cast<char>('1' + digit(random) % 9));
        text += '.';
        for (int n = digitCount(random) - 1; n > 0; --n) {
            text += static_cast<char>('0' + digit(random));
        }
        text += 'e' + std::to_string(i % 4 == 0 ? exponent(random) : exponent(random) % 8);
        values.push_back((i % 2 == 0 ? 1 : -1) * std::strtod(text.c_str(), nullptr));
    }
    const DoubleCase texts[] = {
        {0.0025, "0.0025"},
        {-18.5025, "-18.5025"},
        {999999999999999, "999999999999999"},
        {0.001, "0.001"},
        {100.5, "100.5"},
        {1e14, "100000000000000"},
        {0.1234567890123, "0.1234567890123"},
        {-0.00099, "-0.00099"},
        {12.005, "12.005"},
    };
    for (const DoubleCase& c : texts) {
        EXPECT_EQ(FormatDouble(c.value), c.text) << c.value;
        values.push_back(c.value);
    }
    for (const double value : values) {
        char expected[64];
        std::snprintf(expected, sizeof expected, "%.14e", value);
        const std::string text = FormatDouble(value);
        EXPECT_EQ(std::strtod(text.c_str(), nullptr), std::strtod(expected, nullptr))
            << value << " " << text;
    }
}

}  // namespace
}  // namespace vantreel
