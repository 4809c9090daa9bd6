#pragma once

#include <string>

namespace vantreel {

// The root directory of the part repository for an application ("Tellurim",
// "Fennick", "Quessa", "Sobrel" or another; "" means Common\StartupApp) and
// its current user. Raises error 5001 when a key it must open is missing.
std::string GetRepositoryRoot(const std::string& sApplication);

// Tellurim\Settings\InstallDirectory without surrounding blanks; error 5001
// when the key is missing.
std::string GetInstallDirectory();

// GetInstallDirectory() + "/Bin".
std::string GetBinDirectory();

}  // namespace vantreel
