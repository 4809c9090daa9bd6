#pragma once

#include "partinfo/PartInfoRules.h"
#include "partinfo/PartInfoSettings.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vantreel {

// The settings as text, for the command line: "Section.Key" and the value the
// dialog would show (and save), in reading order, the database labels
// ("Report.<label>") before section "Skip".
std::vector<std::pair<std::string, std::string>> DescribeSettings(const PartInfoSettings& settings,
                                                                  const PrinterList& printers,
                                                                  const std::string& partDir);

// One "Section.Key=VALUE" for the command line.
struct SettingAssignment {
    std::string Name;                // "Section.Key" as given
    std::optional<PartInfoKey> Key;  // nullopt for a database label
    std::size_t LabelSlot = 0;
    std::string Value;
};

// Parses an assignment against the settings; the refusal's message when the
// text names no setting or a setting that cannot be set.
std::optional<PartInfoMessage> ParseAssignment(const std::string& text,
                                               const PartInfoSettings& settings,
                                               SettingAssignment& assignment);
// Applies an assignment (other than "Part.WriteProtect") to the controls as
// the dialog would take it; the refusal's message for a value the dialog
// cannot hold.
std::optional<PartInfoMessage> ApplyAssignment(const SettingAssignment& assignment,
                                               const PartInfoSettings& settings,
                                               const PrinterList& printers,
                                               PartInfoControls& controls);
// Booleans on the command line: true/false, yes/no, 1/0 (any letter case).
std::optional<bool> ParseBooleanArgument(const std::string& text);

}  // namespace vantreel
