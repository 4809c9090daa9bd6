#include "shared/RunTimeError.h"

#include <utility>

namespace vantreel {
namespace {

struct RunTimeErrorEntry {
    RunTimeError error;
    std::string_view name;
    std::string_view text;
};

// Aliases are left out: a number has one entry.
constexpr RunTimeErrorEntry kRunTimeErrors[] = {
#define RUN_TIME_ERROR(name, number, text) {RunTimeError::name, #name, text},
#define RUN_TIME_ERROR_ALIAS(name, other)
#include "shared/RunTimeErrors.def"
#undef RUN_TIME_ERROR_ALIAS
#undef RUN_TIME_ERROR
};

constexpr bool NumbersAscendOnce() {
    for (std::size_t i = 1; i < std::size(kRunTimeErrors); ++i) {
        if (ErrorNumberOf(kRunTimeErrors[i - 1].error) >= ErrorNumberOf(kRunTimeErrors[i].error)) {
            return false;
        }
    }
    return true;
}
static_assert(NumbersAscendOnce(), "RunTimeErrors.def lists each number once, in ascending order");

const RunTimeErrorEntry* Find(int32_t number) noexcept {
    for (const RunTimeErrorEntry& entry : kRunTimeErrors) {
        if (ErrorNumberOf(entry.error) == number) {
            return &entry;
        }
    }
    return nullptr;
}

}  // namespace

std::optional<RunTimeError> FindRunTimeError(int32_t number) noexcept {
    const RunTimeErrorEntry* entry = Find(number);
    return entry != nullptr ? std::optional(entry->error) : std::nullopt;
}

std::string_view RunTimeErrorName(RunTimeError error) noexcept {
    const RunTimeErrorEntry* entry = Find(ErrorNumberOf(error));
    return entry != nullptr ? entry->name : std::string_view();
}

std::string_view RunTimeErrorText(RunTimeError error) noexcept {
    const RunTimeErrorEntry* entry = Find(ErrorNumberOf(error));
    return entry != nullptr ? entry->text : std::string_view();
}

Error MakeError(RunTimeError error, std::string source, std::string description) {
    return Error(ErrorNumberOf(error), std::move(source), std::move(description));
}

Error MakeError(RunTimeError error, std::string source) {
    return Error(ErrorNumberOf(error), std::move(source), std::string(RunTimeErrorText(error)));
}

}  // namespace vantreel
