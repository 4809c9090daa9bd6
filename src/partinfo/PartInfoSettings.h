#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantreel {

// The keys of the information file, generated from PartInfoKeys.def.
enum class PartInfoKey {
#define PARTINFO_KEY(id, section, key, encoding) id,
#include "partinfo/PartInfoKeys.def"
#undef PARTINFO_KEY
};

enum class PartInfoEncoding { String, Boolean, Integer, Long };

struct PartInfoKeyInfo {
    PartInfoKey id;
    std::string_view section;
    std::string_view key;
    PartInfoEncoding encoding;
};

// Every key, in reading order.
const std::vector<PartInfoKeyInfo>& PartInfoKeys();

// The number of database-label slots and label numbers.
inline constexpr int kDatabaseLabels = 10;

// One visible database-label slot: the label text, the label number it shows
// and the operator's value.
struct DatabaseLabelSlot {
    std::string Label;
    int LabelNumber = 0;
    std::string Value;
};

// A part's run settings as the dialog holds them.
struct PartInfoSettings {
    std::string Name;
    bool WriteProtect = false;
    std::string LibraryName;
    std::string SerialNumber;
    bool Graphics = false;
    int16_t PrintMode = 0;
    std::string DefaultPrinter;
    int16_t ReportStatus = 1;
    std::string ReportFile;
    int16_t LogStatus = 0;
    bool LogMode = false;
    std::string LogFile;
    int16_t CSVStatus = 0;
    int32_t CSVMaxRecord = 4096;
    std::string CSVFile;

    std::vector<DatabaseLabelSlot> Labels;                   // the visible slots, in slot order
    std::array<std::string, kDatabaseLabels> LabelDefaults;  // by label number

    bool PartialRun = false;
    std::vector<std::string> SkipFiles;  // "*.skp" of the part's directory
    int SkipFile = -1;                   // index into SkipFiles; -1 for none
};

// The printers of the system: device names in the system's order and the
// current (default) printer's name, "" when there is none.
struct PrinterList {
    std::vector<std::string> Names;
    std::string Current;
};

}  // namespace vantreel
