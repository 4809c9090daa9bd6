#include "partinfo/PartInfoText.h"

#include "partinfo/PartInfoFile.h"
#include "shared/Resources.h"
#include "shared/Text.h"

#include <algorithm>
#include <charconv>

namespace vantreel {
namespace {

PartInfoMessage Refusal(int32_t id, const std::string& first, const std::string& second = {}) {
    return PartInfoMessage{id, FormatResString(id, first, second), 0, GetResString(125081)};
}

std::optional<int32_t> ParseNumber(const std::string& text, int32_t low, int32_t high) {
    int32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end || value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

std::string Bool(bool value) {
    return value ? "true" : "false";
}

}  // namespace

const std::vector<PartInfoKeyInfo>& PartInfoKeys() {
    static const std::vector<PartInfoKeyInfo> keys{
#define PARTINFO_KEY(id, section, key, encoding) \
    {PartInfoKey::id, section, key, PartInfoEncoding::encoding},
#include "partinfo/PartInfoKeys.def"
#undef PARTINFO_KEY
    };
    return keys;
}

std::optional<bool> ParseBooleanArgument(const std::string& text) {
    const std::string upper = ToUpperAscii(text);
    if (upper == "TRUE" || upper == "YES" || upper == "1") {
        return true;
    }
    if (upper == "FALSE" || upper == "NO" || upper == "0") {
        return false;
    }
    return std::nullopt;
}

std::vector<std::pair<std::string, std::string>> DescribeSettings(const PartInfoSettings& stored,
                                                                  const PrinterList& printers,
                                                                  const std::string& partDir) {
    PartInfoSettings s = stored;  // what a save of the unchanged dialog would write
    SettingsFromControls(ControlsFromSettings(stored, printers), printers, s);
    const PartInfoFile file({}, partDir);
    std::vector<std::pair<std::string, std::string>> lines;
    for (const PartInfoKeyInfo& info : PartInfoKeys()) {
        const std::string name = std::string(info.section) + "." + std::string(info.key);
        std::string value;
        switch (info.id) {
            case PartInfoKey::Name:
                value = s.Name;
                break;
            case PartInfoKey::WriteProtect:
                value = Bool(s.WriteProtect);
                break;
            case PartInfoKey::LibraryName:
                value = s.LibraryName;
                break;
            case PartInfoKey::SerialNumber:
                value = s.SerialNumber;
                break;
            case PartInfoKey::Graphics:
                value = Bool(s.Graphics);
                break;
            case PartInfoKey::PrintMode:
                value = std::to_string(s.PrintMode);
                break;
            case PartInfoKey::DefaultPrinter:
                value = s.DefaultPrinter;
                break;
            case PartInfoKey::ReportStatus:
                value = std::to_string(s.ReportStatus);
                break;
            case PartInfoKey::ReportFile:
                value = s.ReportFile;
                break;
            case PartInfoKey::LogStatus:
                value = std::to_string(s.LogStatus);
                break;
            case PartInfoKey::LogMode:
                value = Bool(s.LogMode);
                break;
            case PartInfoKey::LogFile:
                value = s.LogFile;
                break;
            case PartInfoKey::CSVStatus:
                value = std::to_string(s.CSVStatus);
                break;
            case PartInfoKey::CSVMaxRecord:
                value = std::to_string(s.CSVMaxRecord);
                break;
            case PartInfoKey::CSVFile:
                value = s.CSVFile;
                break;
            case PartInfoKey::PartialRun:
                value = Bool(s.PartialRun);
                break;
            case PartInfoKey::SkipFile:
                value = s.PartialRun && s.SkipFile >= 0
                            ? file.SkipFilePath(s.SkipFiles[static_cast<std::size_t>(s.SkipFile)])
                            : "";
                break;
        }
        if (info.id == PartInfoKey::PartialRun) {
            for (const DatabaseLabelSlot& slot : s.Labels) {
                lines.emplace_back("Report." + slot.Label, slot.Value);
            }
        }
        lines.emplace_back(name, value);
    }
    return lines;
}

std::optional<PartInfoMessage> ParseAssignment(const std::string& text,
                                               const PartInfoSettings& settings,
                                               SettingAssignment& a) {
    const std::size_t equals = text.find('=');
    const std::size_t dot = text.find('.');
    if (equals == std::string::npos || dot == std::string::npos || dot > equals) {
        return Refusal(125147, "\"" + text.substr(0, equals) + "\"");
    }
    a = SettingAssignment{};
    a.Name = text.substr(0, equals);
    a.Value = text.substr(equals + 1);
    const std::string section = ToUpperAscii(text.substr(0, dot));
    const std::string key = ToUpperAscii(text.substr(dot + 1, equals - dot - 1));
    for (const PartInfoKeyInfo& info : PartInfoKeys()) {
        if (ToUpperAscii(std::string(info.section)) == section &&
            ToUpperAscii(std::string(info.key)) == key) {
            a.Key = info.id;
            if (info.id == PartInfoKey::Name) {
                return Refusal(125146, "\"" + a.Name + "\"");
            }
            return std::nullopt;
        }
    }
    if (section == "REPORT") {
        for (std::size_t i = 0; i < settings.Labels.size(); ++i) {
            if (ToUpperAscii(settings.Labels[i].Label) == key) {
                a.LabelSlot = i;
                return std::nullopt;
            }
        }
    }
    return Refusal(125147, "\"" + a.Name + "\"");
}

std::optional<PartInfoMessage> ApplyAssignment(const SettingAssignment& a,
                                               const PartInfoSettings& settings,
                                               const PrinterList& printers, PartInfoControls& c) {
    const auto invalid = [&a] { return Refusal(125145, "\"" + a.Value + "\"", a.Name); };
    if (a.Value.find_first_of("\r\n") != std::string::npos) {
        return invalid();
    }
    if (!a.Key) {
        if (a.LabelSlot >= c.LabelValues.size()) {
            return invalid();
        }
        c.LabelValues[a.LabelSlot] = a.Value;
        return std::nullopt;
    }
    const auto number = [&](int32_t low, int32_t high) { return ParseNumber(a.Value, low, high); };
    switch (*a.Key) {
        case PartInfoKey::LibraryName:
            c.LibName = a.Value;
            return std::nullopt;
        case PartInfoKey::SerialNumber:
            c.SerialNum = a.Value;
            return std::nullopt;
        case PartInfoKey::ReportFile:
        case PartInfoKey::LogFile:
            if (a.Value.find('.') != std::string::npos) {
                return invalid();  // a name with an extension would read as empty
            }
            (*a.Key == PartInfoKey::ReportFile ? c.ReportFile : c.LogFile) = a.Value;
            return std::nullopt;
        case PartInfoKey::CSVFile:
            c.CSVFile = a.Value;
            return std::nullopt;
        case PartInfoKey::Graphics:
        case PartInfoKey::LogMode:
        case PartInfoKey::PartialRun: {
            const std::optional<bool> flag = ParseBooleanArgument(a.Value);
            if (!flag) {
                return invalid();
            }
            if (*a.Key == PartInfoKey::Graphics) {
                c.Graphics = *flag;
            } else if (*a.Key == PartInfoKey::LogMode) {
                c.LogFull = *flag;
            } else {
                if (*flag && settings.SkipFiles.empty()) {
                    return invalid();  // no skip file: the box is disabled
                }
                SetPartialRun(c, *flag, settings.SkipFiles.size());
            }
            return std::nullopt;
        }
        case PartInfoKey::PrintMode:
            if (const auto value = number(0, 2)) {
                SelectPrintOption(c, *value);
                return std::nullopt;
            }
            return invalid();
        case PartInfoKey::ReportStatus:
            if (const auto value = number(1, 3); value && !(*value == 2 && c.Print == 1)) {
                c.Report = *value;
                return std::nullopt;
            }
            return invalid();
        case PartInfoKey::LogStatus:
            if (const auto value = number(0, 2)) {
                c.Log = *value;
                return std::nullopt;
            }
            return invalid();
        case PartInfoKey::CSVStatus:
            if (const auto value = number(0, 1)) {
                c.Csv = *value;
                return std::nullopt;
            }
            return invalid();
        case PartInfoKey::CSVMaxRecord:
            if (number(0, INT32_MAX)) {
                c.CSVRecord = a.Value;
                return std::nullopt;
            }
            return invalid();
        case PartInfoKey::DefaultPrinter: {
            const auto found = std::find(printers.Names.begin(), printers.Names.end(), a.Value);
            if (found == printers.Names.end()) {
                return invalid();
            }
            c.Printer = static_cast<int>(found - printers.Names.begin());
            return std::nullopt;
        }
        case PartInfoKey::SkipFile: {
            const std::string name = ToUpperAscii(FileNamePart(a.Value));
            for (std::size_t i = 0; i < settings.SkipFiles.size(); ++i) {
                if (ToUpperAscii(settings.SkipFiles[i]) == name) {
                    c.SkipFile = static_cast<int>(i);
                    SetPartialRun(c, true, settings.SkipFiles.size());
                    return std::nullopt;
                }
            }
            if (a.Value.empty()) {  // no skip file: no partial run
                SetPartialRun(c, false, settings.SkipFiles.size());
                return std::nullopt;
            }
            return invalid();
        }
        case PartInfoKey::Name:
        case PartInfoKey::WriteProtect:
            break;
    }
    return Refusal(125146, "\"" + a.Name + "\"");
}

}  // namespace vantreel
