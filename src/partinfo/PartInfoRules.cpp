#include "partinfo/PartInfoRules.h"

#include "components/ComponentFactory.h"
#include "partinfo/PartInfoFile.h"
#include "shared/Paths.h"
#include "shared/RegEntry.h"
#include "shared/Resources.h"
#include "vantreel/Error.h"

#include <algorithm>

namespace vantreel {
namespace {

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

}  // namespace

PartInfoControls ControlsFromSettings(const PartInfoSettings& s, const PrinterList& printers) {
    PartInfoControls c;
    c.LibName = s.LibraryName;
    c.SerialNum = s.SerialNumber;
    c.Print = s.PrintMode >= 0 && s.PrintMode <= 2 ? s.PrintMode : 0;
    c.Graphics = s.Graphics;
    // The stored printer is searched from the second entry; none found, the first.
    c.Printer = printers.Names.empty() ? -1 : 0;
    for (std::size_t i = 1; i < printers.Names.size(); ++i) {
        if (printers.Names[i] == s.DefaultPrinter) {
            c.Printer = static_cast<int>(i);
            break;
        }
    }
    c.Report = s.ReportStatus >= 1 && s.ReportStatus <= 3 ? s.ReportStatus : 1;
    if (c.Print == 1 && c.Report == 2) {
        c.Report = 1;  // no report per part while printing continuously
    }
    c.ReportFile = s.ReportFile;
    c.Log = s.LogStatus >= 0 && s.LogStatus <= 2 ? s.LogStatus : 0;
    c.LogFull = s.LogMode;
    c.LogFile = s.LogFile;
    c.Csv = s.CSVStatus == 1 ? 1 : 0;
    c.CSVRecord = std::to_string(s.CSVMaxRecord);
    c.CSVFile = s.CSVFile;
    for (const DatabaseLabelSlot& slot : s.Labels) {
        c.LabelValues.push_back(slot.Value);
    }
    c.PartialRun = s.PartialRun && !s.SkipFiles.empty();
    c.SkipFile = s.SkipFile;
    c.WriteProtected = s.WriteProtect;
    return c;
}

void SettingsFromControls(const PartInfoControls& c, const PrinterList& printers,
                          PartInfoSettings& s) {
    s.PrintMode = static_cast<int16_t>(c.Print);
    s.Graphics = c.Graphics;
    if (c.Printer >= 1 && static_cast<std::size_t>(c.Printer) < printers.Names.size()) {
        s.DefaultPrinter = printers.Names[static_cast<std::size_t>(c.Printer)];
    }
    if (std::find(printers.Names.begin(), printers.Names.end(), s.DefaultPrinter) ==
        printers.Names.end()) {
        s.DefaultPrinter = printers.Current;
    }
    s.ReportStatus = static_cast<int16_t>(c.Report);
    s.ReportFile = c.ReportFile;
    s.LogStatus = static_cast<int16_t>(c.Log);
    s.LogMode = c.LogFull;
    s.LogFile = c.LogFile;
    s.CSVStatus = static_cast<int16_t>(c.Csv);
    s.CSVMaxRecord = ReadLongText("0" + c.CSVRecord, 0);
    s.CSVFile = c.CSVFile;
    s.LibraryName = c.LibName;
    s.SerialNumber = c.SerialNum;
    for (std::size_t i = 0; i < s.Labels.size() && i < c.LabelValues.size(); ++i) {
        s.Labels[i].Value = c.LabelValues[i];
    }
    s.PartialRun = c.PartialRun;
    s.SkipFile = c.PartialRun ? c.SkipFile : -1;
}

void SelectPrintOption(PartInfoControls& c, int print) {
    c.Print = print;
    if (print == 1 && c.Report == 2) {
        c.Report = 1;
    }
}

void SetPartialRun(PartInfoControls& c, bool checked, std::size_t skipFiles) {
    c.PartialRun = checked && skipFiles > 0;
    if (c.PartialRun && c.SkipFile < 0) {
        c.SkipFile = 0;
    } else if (!c.PartialRun) {
        c.SkipFile = -1;
    }
}

void LeaveLabelValue(PartInfoControls& c, const PartInfoSettings& s, std::size_t slot) {
    if (slot >= c.LabelValues.size() || slot >= s.Labels.size() || !c.LabelValues[slot].empty()) {
        return;
    }
    const std::size_t number = static_cast<std::size_t>(s.Labels[slot].LabelNumber);
    if (number < s.LabelDefaults.size()) {
        c.LabelValues[slot] = s.LabelDefaults[number];
    }
}

std::map<std::string, bool> ControlEnabling(const PartInfoControls& c,
                                            const PartInfoEnablingInput& in) {
    const bool open = !c.WriteProtected;
    std::map<std::string, bool> e;
    for (const char* name :
         {"OptRptNormal", "OptRptFeature", "txtRptFileName", "optLogNone", "optLogNormal",
          "optLogPart", "optLogFull", "optLogPartial", "optPrtNone", "optPrtContinuous",
          "optPrtProgram", "chkGraphics", "cboCurrentPrinter", "optCSVNone", "optCSVNormal",
          "txtLibName", "lstAddons"}) {
        e[name] = open;
    }
    e["OptRptPart"] = open && c.Print != 1;
    e["txtLogFileName"] = open && c.Log != 0;
    e["txtCSVFile"] = open && c.Csv == 1;
    e["txtCSVRecord"] = open && c.Csv == 1;
    e["chkPartialRun"] = open && in.skipFiles > 0;
    e["cboSkipFiles"] = open && in.skipFiles > 0 && c.PartialRun;
    e["cmdProperties"] = open && in.addonSelected;
    for (std::size_t i = 0; i < static_cast<std::size_t>(kDatabaseLabels); ++i) {
        e["txtDBValue" + std::to_string(i)] = open && i < c.LabelValues.size();
    }
    e["txtSerialNum"] = true;
    e["chkWriteProtected"] = in.administrator;
    e["cmdOK"] = c.Csv != 1 || !c.CSVFile.empty();
    return e;
}

std::optional<PartInfoMessage> RefuseTabLeave(int tab, const PartInfoControls& c) {
    if (tab == 4 && c.Csv == 1 && c.CSVFile.empty()) {
        return PartInfoMessage{125102, GetResString(125102), 0, GetResString(125081)};
    }
    return std::nullopt;
}

std::optional<PartInfoMessage> ValidateControls(const PartInfoControls& c) {
    if (c.Csv == 1) {
        if (DirectoryExists(c.CSVFile)) {
            return PartInfoMessage{
                125075,
                FormatResString(125075, Quoted(c.CSVFile)) + "\r\n\n" + GetResString(125102), 0,
                GetResString(125066)};
        }
        const std::string folder = DirectoryPart(c.CSVFile);
        if (folder.empty() || !DirectoryExists(folder)) {
            return PartInfoMessage{
                125117, FormatResString(125117, Quoted(folder)) + "\r\n\n" + GetResString(125102),
                0, GetResString(125066)};
        }
    }
    const std::pair<int32_t, const std::string*> texts[] = {
        {125059, &c.ReportFile}, {125088, &c.LogFile}, {125094, &c.CSVFile},
        {125093, &c.CSVRecord},  {125050, &c.LibName}, {125051, &c.SerialNum}};
    for (const auto& [caption, text] : texts) {
        if (text->size() > kMaxValueLength) {
            return PartInfoMessage{125141,
                                   FormatResString(125141, Quoted(GetResString(caption)),
                                                   static_cast<int32_t>(kMaxValueLength)),
                                   0, GetResString(125081)};
        }
    }
    for (const std::string& value : c.LabelValues) {
        if (value.size() > kMaxValueLength) {
            return PartInfoMessage{125141,
                                   FormatResString(125141, Quoted(GetResString(125097)),
                                                   static_cast<int32_t>(kMaxValueLength)),
                                   0, GetResString(125081)};
        }
    }
    return std::nullopt;
}

bool IsAdministrator() {
    try {
        RegEntry registry;
        std::string startupApp;
        if (registry.TestKey("Common")) {
            registry.OpenKey("Common");
            startupApp = registry.GetString("StartupApp");
        }
        if (startupApp != "Sobrel") {
            registry.OpenKey("Users");
            const std::string user = registry.GetString("LastUser");
            if (user.empty() || !registry.TestKey("Users\\" + user)) {
                return false;
            }
            registry.OpenKey("Users\\" + user);
            return registry.GetBoolean("Administrator");
        }
        if (!registry.TestKey("Sobrel\\User")) {
            return false;
        }
        registry.OpenKey("Sobrel\\User");
        return registry.GetBoolean("Administrator");
    } catch (const Error&) {
        return false;
    }
}

std::vector<AddonEntry> ReadAddons() {
    std::vector<AddonEntry> addons;
    RegEntry registry;
    registry.CreateKey("Common\\Addons");
    std::vector<std::string> names;
    registry.Query(names);
    for (const std::string& name : names) {
        RegEntry addon;
        addon.OpenKey("Common\\Addons\\" + name);
        addons.push_back({addon.GetString("Name"), addon.GetString("PIFProgID")});
    }
    return addons;
}

void EditAddonSettings(const std::string& progId, const std::string& fullPath,
                       const std::string& informationFile, int32_t language) {
    const std::unique_ptr<AutomationObject> editor = CreateObject(progId);
    std::vector<AutomationValue> args{fullPath, informationFile, language};
    editor->Invoke("EditPIF", args);
}

}  // namespace vantreel
