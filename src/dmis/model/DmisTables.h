#pragma once

#include <cstdint>
#include <string_view>

namespace vantreel {

// Prepares the operator-text table. The table is an immutable list built once,
// so this has nothing left to do; the conversion driver calls it after
// InitLabelTypes as it always did.
void InitDmisTables() noexcept;

// The DMIS spelling of an operator or constant node kind, looked up by the kind
// written as decimal text ("1" -> "+", "19" -> ".EQ."). Empty for a key that is
// not in the table.
std::string_view OperatorText(std::string_view key) noexcept;

// The same lookup by the kind itself.
std::string_view OperatorText(int32_t expressionType) noexcept;

// Number of entries in the table (17).
int32_t OperatorTextCount() noexcept;

}  // namespace vantreel
