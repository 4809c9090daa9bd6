#include "dmis/model/DmisTables.h"

#include <charconv>

namespace vantreel {
namespace {

struct OperatorEntry {
    int32_t code;
    std::string_view text;
};

constexpr OperatorEntry kOperators[] = {
#define OPERATOR_TEXT(code, text) {code, text},
#include "dmis/model/OperatorTexts.def"
#undef OPERATOR_TEXT
};

}  // namespace

void InitDmisTables() noexcept {}

std::string_view OperatorText(int32_t expressionType) noexcept {
    for (const OperatorEntry& entry : kOperators) {
        if (entry.code == expressionType) {
            return entry.text;
        }
    }
    return {};
}

std::string_view OperatorText(std::string_view key) noexcept {
    // Keys are written without sign or leading zeros, so "01" and "+1" are absent.
    if (key.empty() || key.size() > 9 || key[0] < '1' || key[0] > '9') {
        return {};
    }
    int32_t code = 0;
    const auto [end, error] = std::from_chars(key.data(), key.data() + key.size(), code);
    if (error != std::errc() || end != key.data() + key.size()) {
        return {};
    }
    return OperatorText(code);
}

int32_t OperatorTextCount() noexcept {
    return static_cast<int32_t>(sizeof(kOperators) / sizeof(kOperators[0]));
}

}  // namespace vantreel
