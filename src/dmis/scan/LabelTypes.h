#pragma once

#include <span>
#include <string_view>

namespace vantreel {

// The two closed lists of label-type prefixes (F, DA, SW, ...). Membership is
// the only question asked of them; it ignores ASCII letter case.

// The scanner's 50 prefixes (ScannerLabelTypes.def).
std::span<const std::string_view> ScannerLabelTypeWords() noexcept;
bool IsScannerLabelType(std::string_view word) noexcept;

// The expression parser's 38 prefixes (LookupLabelTypes.def).
std::span<const std::string_view> LookupLabelTypeWords() noexcept;
bool IsLookupLabelType(std::string_view word) noexcept;

}  // namespace vantreel
