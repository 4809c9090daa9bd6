#pragma once

#include <string_view>

namespace vantreel {

// Prepares the expression parser's label-type table. The table is an immutable
// list built once, so this has nothing left to do; the conversion driver calls
// it before scanning as it always did.
void InitLabelTypes() noexcept;

// True when key is one of the expression parser's 38 label-type prefixes,
// whatever its letter case. An unknown or empty key is false, not an error.
bool IsLabelType(std::string_view key) noexcept;

}  // namespace vantreel
