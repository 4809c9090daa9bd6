#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vantreel {

// Fields of a list separated by "|", counted from 0. A field that is missing
// or empty gives the default.
std::string GetField(std::string_view sList, int32_t iIndex, std::string_view vDefault);

// The same converted as Basic converts text to a number: blanks ignored, a
// fraction rounded half to even; error 13 "Type mismatch" for text that is no
// number and error 6 "Overflow" for a number out of range.
int16_t GetFieldInteger(std::string_view sList, int32_t iIndex, int16_t vDefault);
int32_t GetFieldLong(std::string_view sList, int32_t iIndex, int32_t vDefault);

}  // namespace vantreel
