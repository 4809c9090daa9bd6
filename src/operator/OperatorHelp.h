#pragma once

#include <cstdint>
#include <string_view>

namespace vantreel {

// The help file every dialog of the library shares (<CODE>VT.chm), and the
// help contexts of the logon and machine selection dialogs.
inline constexpr std::string_view kHelpBaseName = "VT";
inline constexpr int32_t kLogonHelpContext = 11005;
inline constexpr int32_t kSelectMachineHelpContext = 11010;

}  // namespace vantreel
