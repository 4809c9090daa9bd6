#include "dmis/Lookup.h"

#include "dmis/LabelTypes.h"

namespace vantreel {

void InitLabelTypes() noexcept {}

bool IsLabelType(std::string_view key) noexcept {
    return IsLookupLabelType(key);
}

}  // namespace vantreel
