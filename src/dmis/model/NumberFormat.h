#pragma once

#include <string>

namespace vantreel {

class Variant;

// A Double as Visual Basic turns it into text: at most 15 significant digits,
// "." as decimal point, no trailing zeros and no trailing point (0.5, 1, 12.25).
// Magnitudes from 1E-5 up to below 1E15 print in positional notation, others
// in the E notation VB uses (1E+15, 1.5E-07).
std::string FormatDouble(double value);

// A Single in the same way, with at most 7 significant digits (1E+07 and up,
// and below 1E-5, in E notation).
std::string FormatSingle(float value);

// The same texts appended to out, without a string of their own.
void AppendDouble(std::string& out, double value);
void AppendSingle(std::string& out, float value);

// Appends value.ToText() to out: the writers print plain values this way, so
// that a number costs no allocation. An object or an array raises error 13.
void AppendValueText(std::string& out, const Variant& value);

}  // namespace vantreel
