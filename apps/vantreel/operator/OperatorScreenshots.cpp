// Screenshots of the logon and machine selection dialogs, in English and German.
#include "CommandRegistry.h"
#include "ScratchStation.h"

#include "operator/FormLogon.h"
#include "operator/FormSelectMachine.h"
#include "operator/LogonState.h"
#include "operator/MachineSelectionState.h"
#include "shared/Resources.h"
#include "vantreel/Error.h"

#include <QLineEdit>
#include <QListWidget>

#include <ostream>
#include <string>

namespace vantreel::cli {
namespace {

// Sample machines in a station of their own, for the time of the screenshots.
void AddSampleMachines(const ScratchStation& station) {
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
        station.Set(key, "Name", name);
    }
}

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

        ScratchStation station("shots");
        AddSampleMachines(station);
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
