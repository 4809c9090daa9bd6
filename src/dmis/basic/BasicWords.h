#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vantreel {

// The closed lists Basic generation consults.

// True for the 54 DMIS intrinsic functions (DmisFunctions.def), which Basic
// calls as "Dms" + name.
bool IsDmisFunction(std::string_view name) noexcept;

// True for the DMIS minor words (DmisMinorWords.def), which Basic receives as
// quoted strings.
bool IsDmisMinorWord(std::string_view word) noexcept;

// The Basic operator placed between the operands of a binary node (" + ",
// " ^ ", ">=" ...); empty for other kinds.
std::string_view BasicOperator(int32_t expressionType) noexcept;

// The DMIS operators in the text of an IF line replaced by Basic ones.
std::string MapOperators(std::string text);

// A text between single quotes becomes the bare text + " As String".
std::string DeclareAsString(std::string_view text);

// A double quote added at either end where missing.
std::string EnsureDoubleQuotes(std::string_view text);

}  // namespace vantreel
