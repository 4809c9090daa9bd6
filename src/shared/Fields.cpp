#include "shared/Fields.h"
#include "shared/Text.h"

#include "shared/RunTimeError.h"
#include "vantreel/Error.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace vantreel {
namespace {

template <class Integer>
Integer ToWholeNumber(std::string_view text, const char* source) {
    text = Trim(text, kBlanksAndTabs);
    if (text.empty()) {
        throw MakeError(RunTimeError::TypeMismatch, source, "Type mismatch");
    }
    if (text.starts_with('+')) {
        text.remove_prefix(1);
    }
    double value = 0;
    const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc::result_out_of_range) {
        throw MakeError(RunTimeError::Overflow, source, "Overflow");
    }
    if (error != std::errc() || stop != text.data() + text.size() || !std::isfinite(value)) {
        throw MakeError(RunTimeError::TypeMismatch, source, "Type mismatch");
    }
    const double rounded = std::nearbyint(value);  // the default mode rounds half to even
    if (rounded < static_cast<double>(std::numeric_limits<Integer>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<Integer>::max())) {
        throw MakeError(RunTimeError::Overflow, source, "Overflow");
    }
    return static_cast<Integer>(rounded);
}

}  // namespace

std::string GetField(std::string_view sList, int32_t iIndex, std::string_view vDefault) {
    if (iIndex < 0) {
        return std::string(vDefault);
    }
    for (int32_t index = 0;; ++index) {
        const std::size_t separator = sList.find('|');
        if (index == iIndex) {
            const std::string_view field = sList.substr(0, separator);
            return std::string(field.empty() ? vDefault : field);
        }
        if (separator == std::string_view::npos) {
            return std::string(vDefault);
        }
        sList.remove_prefix(separator + 1);
    }
}

int16_t GetFieldInteger(std::string_view sList, int32_t iIndex, int16_t vDefault) {
    const std::string field = GetField(sList, iIndex, {});
    return field.empty() ? vDefault : ToWholeNumber<int16_t>(field, "GetFieldInteger");
}

int32_t GetFieldLong(std::string_view sList, int32_t iIndex, int32_t vDefault) {
    const std::string field = GetField(sList, iIndex, {});
    return field.empty() ? vDefault : ToWholeNumber<int32_t>(field, "GetFieldLong");
}

}  // namespace vantreel
