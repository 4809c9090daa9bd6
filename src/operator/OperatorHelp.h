#pragma once

#include <cstdint>

namespace vantreel {

// The help contexts of the logon and machine selection dialogs; the help
// file is the one every dialog shares (kHelpBaseName, shared/Resources.h).
inline constexpr int32_t kLogonHelpContext = 11005;
inline constexpr int32_t kSelectMachineHelpContext = 11010;

}  // namespace vantreel
