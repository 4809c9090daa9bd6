#pragma once

#include "vantreel/Error.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantreel {

// Every run-time error number the library raises (RunTimeErrors.def).
enum class RunTimeError : int32_t {
#define RUN_TIME_ERROR(name, number, text) name = number,
#define RUN_TIME_ERROR_ALIAS(name, other) name = other,
#include "shared/RunTimeErrors.def"
#undef RUN_TIME_ERROR_ALIAS
#undef RUN_TIME_ERROR
};

constexpr int32_t ErrorNumberOf(RunTimeError error) noexcept {
    return static_cast<int32_t>(error);
}

// The error a number stands for; nothing for a number not in the list.
std::optional<RunTimeError> FindRunTimeError(int32_t number) noexcept;

// The name and the standard text of an error ("Overflow", "Overflow").
std::string_view RunTimeErrorName(RunTimeError error) noexcept;
std::string_view RunTimeErrorText(RunTimeError error) noexcept;

// The error to throw: its number, the raising routine and a description; the
// standard text when the description is left out.
Error MakeError(RunTimeError error, std::string source, std::string description);
Error MakeError(RunTimeError error, std::string source);

}  // namespace vantreel
