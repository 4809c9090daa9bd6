#pragma once

#include <string>

namespace vantreel {

// A Double as Visual Basic turns it into text: at most 15 significant digits,
// "." as decimal point, no trailing zeros and no trailing point (0.5, 1, 12.25).
// Magnitudes from 1E-5 up to below 1E15 print in positional notation, others
// in the E notation VB uses (1E+15, 1.5E-07).
std::string FormatDouble(double value);

// A Single in the same way, with at most 7 significant digits (1E+07 and up,
// and below 1E-5, in E notation).
std::string FormatSingle(float value);

}  // namespace vantreel
