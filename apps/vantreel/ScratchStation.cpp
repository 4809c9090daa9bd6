#include "ScratchStation.h"

#include "shared/RegEntry.h"
#include "shared/RegistryStore.h"
#include "shared/RunTimeError.h"

#include <cstdlib>
#include <vector>

namespace vantreel::cli {

ScratchStation::ScratchStation(const std::string& tag) {
    std::string pattern = "/tmp/vantreel-" + tag + "-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) {
        throw MakeError(RunTimeError::PathFileAccessError, "screenshots",
                        "no temporary folder for the sample station");
    }
    directory_ = buffer.data();
    if (const char* registry = std::getenv("VANTREEL_REGISTRY")) {
        previousRegistry_ = registry;
    }
    setenv("VANTREEL_REGISTRY", (directory_ / "registry.db").c_str(), 1);
}

ScratchStation::~ScratchStation() {
    RegistryStore::ForgetThreadStores();
    if (previousRegistry_) {
        setenv("VANTREEL_REGISTRY", previousRegistry_->c_str(), 1);
    } else {
        unsetenv("VANTREEL_REGISTRY");
    }
    std::error_code ignored;
    std::filesystem::remove_all(directory_, ignored);
}

void ScratchStation::Set(const std::string& key, const std::string& name,
                         const std::string& value) const {
    RegEntry registry;
    registry.CreateKey(key);
    registry.SetString(name, value);
}

}  // namespace vantreel::cli
