#pragma once

#include "partinfo/PartInfoSettings.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vantreel {

// What the dialog's controls hold: the selected option of each group, the
// check boxes, list selections and texts. The dialog keeps its widgets in
// step with this; the rules below work on it alone.
struct PartInfoControls {
    int Report = 1;  // 1 OptRptNormal, 2 OptRptPart, 3 OptRptFeature
    int Log = 0;     // 0 optLogNone, 1 optLogNormal, 2 optLogPart
    bool LogFull = false;
    int Print = 0;  // 0 optPrtNone, 1 optPrtContinuous, 2 optPrtProgram
    bool Graphics = false;
    int Printer = -1;  // entry of cboCurrentPrinter; -1 for none
    int Csv = 0;       // 0 optCSVNone, 1 optCSVNormal
    std::string CSVRecord;
    std::string CSVFile;
    std::string ReportFile;
    std::string LogFile;
    std::string LibName;
    std::string SerialNum;
    std::vector<std::string> LabelValues;  // txtDBValue of the visible slots
    bool PartialRun = false;
    int SkipFile = -1;  // entry of cboSkipFiles; -1 for none
    bool WriteProtected = false;
};

// A message for the operator: its text, message-box style and title.
struct PartInfoMessage {
    int32_t Id = 0;  // the message's string ID
    std::string Text;
    int32_t Style = 0;
    std::string Title;
};

// The controls showing the settings.
PartInfoControls ControlsFromSettings(const PartInfoSettings& settings,
                                      const PrinterList& printers);
// The settings read back from the controls.
void SettingsFromControls(const PartInfoControls& controls, const PrinterList& printers,
                          PartInfoSettings& settings);

// Option changes with their side effects.
void SelectPrintOption(PartInfoControls& controls, int print);
void SetPartialRun(PartInfoControls& controls, bool checked, std::size_t skipFiles);
// A value box left empty gets its label's default back.
void LeaveLabelValue(PartInfoControls& controls, const PartInfoSettings& settings,
                     std::size_t slot);

// Which controls are enabled, by control name ("txtDBValue0" ... for the
// value boxes): the dependent-control rules under write protection.
struct PartInfoEnablingInput {
    std::size_t skipFiles = 0;
    bool addonSelected = false;
    bool administrator = false;
};
std::map<std::string, bool> ControlEnabling(const PartInfoControls& controls,
                                            const PartInfoEnablingInput& input);

// Whether the tab (counted from 1) may be left; the refusal's message when not.
std::optional<PartInfoMessage> RefuseTabLeave(int tab, const PartInfoControls& controls);
// Checks run before saving; the first failure's message. The CSV path (125075,
// 125117), then text too long for the file (125141).
std::optional<PartInfoMessage> ValidateControls(const PartInfoControls& controls);

// The longest value the file returns whole.
inline constexpr std::size_t kMaxValueLength = 4095;

// Whether the station's operator is an administrator (may change the write
// protection).
bool IsAdministrator();

// An installed add-on: its display name and the ProgID of its settings editor.
struct AddonEntry {
    std::string Name;
    std::string ProgID;
};
// The add-ons below Common\Addons (created when missing), in enumeration order.
std::vector<AddonEntry> ReadAddons();
// Makes the add-on's settings editor and calls EditPIF(fullPath,
// informationFile, language); raises the factory's or the add-on's error.
void EditAddonSettings(const std::string& progId, const std::string& fullPath,
                       const std::string& informationFile, int32_t language);

}  // namespace vantreel
