#include "shared/Configuration.h"
#include "shared/Text.h"

#include "shared/RegEntry.h"

namespace vantreel {
namespace {

// Replaces root with the key's RepositoryRoot when that is not empty.
void TakeRepositoryRoot(RegEntry& registry, const std::string& key, std::string& root) {
    registry.OpenKey(key);
    const std::string value = registry.GetString("RepositoryRoot");
    if (!value.empty()) {
        root = value;
    }
}

}  // namespace

std::string GetRepositoryRoot(const std::string& sApplication) {
    RegEntry registry;
    registry.OpenKey("Common");
    std::string root = registry.GetString("RepositoryRoot");
    const std::string application =
        sApplication.empty() ? registry.GetString("StartupApp") : sApplication;

    if (application == "Tellurim" || application == "Fennick") {
        TakeRepositoryRoot(registry, "Tellurim\\Settings", root);
        registry.OpenKey("Users");
        const std::string userKey = "Users\\" + registry.GetString("LastUser");
        if (registry.TestKey(userKey)) {
            TakeRepositoryRoot(registry, userKey, root);
        }
    } else if (application == "Quessa") {
        registry.OpenKey("Brevant");
        const std::string userKey = registry.GetString("BrevantUser");
        if (registry.TestKey(userKey)) {
            TakeRepositoryRoot(registry, userKey, root);
        }
    } else if (application == "Sobrel") {
        if (registry.TestKey("Sobrel\\Settings")) {
            TakeRepositoryRoot(registry, "Sobrel\\Settings", root);
        }
    }
    return root;
}

std::string GetInstallDirectory() {
    RegEntry registry;
    registry.OpenKey("Tellurim\\Settings");
    return std::string(Trim(registry.GetString("InstallDirectory")));
}

std::string GetBinDirectory() {
    return GetInstallDirectory() + "/Bin";
}

}  // namespace vantreel
