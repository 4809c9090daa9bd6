#include "dmis/parse/Lookup.h"

#include "dmis/scan/LabelTypes.h"

namespace vantreel {

void InitLabelTypes() noexcept {}

bool IsLabelType(std::string_view key) noexcept {
    return IsLookupLabelType(key);
}

}  // namespace vantreel
