// Screenshots of the logon and machine selection dialogs, in English and German.
#include "CommandRegistry.h"

#include "operator/FormLogon.h"
#include "operator/FormSelectMachine.h"
#include "operator/LogonState.h"
#include "operator/MachineSelectionState.h"
#include "shared/RegEntry.h"
#include "shared/RegistryStore.h"
#include "shared/Resources.h"
#include "vantreel/Error.h"

#include <QLineEdit>
#include <QListWidget>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

namespace vantreel::cli {
namespace {

// A registry of sample machines for the time of the screenshots; the
// station's own registry is neither read nor changed.
class SampleRegistry {
  public:
    SampleRegistry() {
        if (const char* current = std::getenv("VANTREEL_REGISTRY")) {
            previous_ = current;
        }
        char pattern[] = "/tmp/vantreel-shots-XXXXXX";
        if (mkdtemp(pattern) == nullptr) {
            throw Error(75, "screenshots", "No temporary directory for the sample registry");
        }
        directory_ = pattern;
        setenv("VANTREEL_REGISTRY", (directory_ / "registry.db").c_str(), 1);
        const std::pair<const char*, const char*> machines[] = {
            {"Machines\\CMM1", "Bridge CMM, hall 2"},
            {"Machines\\CMM2", "Gantry 30.40.20"},
            {"Machines\\Lab", "Laboratory horizontal arm"},
            {"StandardMachines\\Bridge", "Bridge 10.7.6"},
            {"StandardMachines\\Gantry", "Gantry 20.30.15"},
            {"StandardMachines\\HorizontalArm", "Horizontal arm 40.15.20"},
            {"StandardMachines\\Shopfloor", "Shop floor 7.7.5"},
        };
        for (const auto& [key, name] : machines) {
            RegEntry registry;
            registry.CreateKey(key);
            registry.SetString("Name", name);
        }
    }
    ~SampleRegistry() {
        RegistryStore::ForgetThreadStores();
        if (previous_) {
            setenv("VANTREEL_REGISTRY", previous_->c_str(), 1);
        } else {
            unsetenv("VANTREEL_REGISTRY");
        }
        std::error_code ignored;
        std::filesystem::remove_all(directory_, ignored);
    }
    SampleRegistry(const SampleRegistry&) = delete;
    SampleRegistry& operator=(const SampleRegistry&) = delete;

  private:
    std::filesystem::path directory_;
    std::optional<std::string> previous_;
};

bool OperatorScreenshots(const std::string& directory, std::ostream& out, std::ostream& err) {
    struct Language {
        const char* suffix;
        int32_t lcid;
    };
    const Language languages[] = {{"en", 1033}, {"de", 1031}};
    try {
        for (const Language& language : languages) {
            const std::string suffix = std::string("-") + language.suffix + ".png";
            LogonState logon;
            logon.language = language.lcid;
            logon.lastUserName = "anna.berger";
            FormLogon form(logon);
            form.Load();
            form.findChild<QLineEdit*>("txtPassword")->setText("s3cret");
            if (!SaveScreenshot(form, directory, "logon" + suffix, out, err)) {
                return false;
            }
            form.hide();
            logon.lastUserName.clear();
            form.Load();
            if (!SaveScreenshot(form, directory, "logon-empty" + suffix, out, err)) {
                return false;
            }
        }

        SampleRegistry registry;
        for (const Language& language : languages) {
            const std::string suffix = std::string("-") + language.suffix + ".png";
            for (const bool standard : {false, true}) {
                MachineSelectionState state;
                state.language = language.lcid;
                state.newMachine = standard;
                FormSelectMachine form(state);
                form.Load();
                form.findChild<QListWidget*>("lstMachines")->setCurrentRow(1);
                const std::string file =
                    std::string(standard ? "machine-standard" : "machine-configured") + suffix;
                if (!SaveScreenshot(form, directory, file, out, err)) {
                    return false;
                }
            }
        }
    } catch (const Error& error) {
        err << "ERROR: logon and machine screenshots: " << error.Description() << '\n';
        return false;
    }
    int32_t english = 1033;
    SetLanguage(english);
    return true;
}

const ScreenshotRegistration registration(OperatorScreenshots);

}  // namespace
}  // namespace vantreel::cli
