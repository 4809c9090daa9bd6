#include "partinfo/PartInfoFile.h"

#include "partinfo/PartInfoRules.h"

#include "shared/Fields.h"
#include "shared/IniFile.h"
#include "shared/RegEntry.h"
#include "shared/Resources.h"
#include "shared/RunTimeError.h"
#include "shared/Text.h"
#include "vantreel/Error.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace vantreel {
namespace {

namespace fs = std::filesystem;

bool EndsWithSkp(const std::string& name) {
    return name.size() >= 4 &&
           ToUpperAscii(name.substr(name.size() - 4)) == ".SKP";  // "*" may be empty
}

std::string Bool(bool value) {
    return value ? "true" : "false";
}

bool IsInstalled(const PrinterList& printers, const std::string& name) {
    return std::find(printers.Names.begin(), printers.Names.end(), name) != printers.Names.end();
}

// A name that matches no installed printer becomes the current printer's.
std::string CheckedPrinter(const PrinterList& printers, const std::string& name) {
    return IsInstalled(printers, name) ? name : printers.Current;
}

[[noreturn]] void SaveFailed(const std::string& file, const std::string& reason) {
    throw MakeError(RunTimeError::PathFileAccessError, "PartInfoFile.Write",
                    FormatResString(125140, "\"" + file + "\"", reason));
}

// Removes a temporary file unless it was renamed into place.
class TemporaryFile {
  public:
    explicit TemporaryFile(std::string path) : path_(std::move(path)) {}
    ~TemporaryFile() {
        if (!path_.empty()) {
            ::unlink(path_.c_str());
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    const std::string& Path() const noexcept { return path_; }
    void Release() noexcept { path_.clear(); }

  private:
    std::string path_;
};

void SyncFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

bool ReadBooleanText(const std::string& text) {
    return RegistryTextIsTrue(text);
}

int16_t ReadIntegerText(const std::string& text, int16_t defaultValue) {
    try {
        return GetFieldInteger(text, 0, defaultValue);
    } catch (const Error&) {
        return 0;  // not a number, or out of range
    }
}

int32_t ReadLongText(const std::string& text, int32_t defaultValue) {
    try {
        return GetFieldLong(text, 0, defaultValue);
    } catch (const Error&) {
        return 0;
    }
}

std::string FileNamePart(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string DirectoryPart(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

PartInfoFile::PartInfoFile(std::string informationFile, std::string partDirectory)
    : file_(std::move(informationFile)), directory_(std::move(partDirectory)) {}

void PartInfoFile::ReadSettings(PartInfoSettings& s, const PrinterList& printers) const {
    const auto read = [this](const char* section, const char* key) {
        return ReadIniString(file_, section, key);
    };
    s.Name = read("Part", "Name");
    s.WriteProtect = ReadBooleanText(read("Part", "WriteProtect"));
    s.LibraryName = read("Part", "LibraryName");
    s.SerialNumber = read("Part", "SerialNumber");
    s.Graphics = ReadBooleanText(read("Report", "Graphics"));
    s.PrintMode = ReadIntegerText(read("Report", "PrintMode"), 0);
    s.DefaultPrinter = read("Report", "DefaultPrinter");
    if (s.DefaultPrinter.empty()) {
        s.DefaultPrinter = printers.Current;
    }
    s.DefaultPrinter = CheckedPrinter(printers, s.DefaultPrinter);
    s.ReportStatus = ReadIntegerText(read("Report", "ReportStatus"), 1);
    s.ReportFile = read("Report", "ReportFile");
    if (s.ReportFile.find('.') != std::string::npos) {
        s.ReportFile.clear();
    }
    s.LogStatus = ReadIntegerText(read("Report", "LogStatus"), 0);
    s.LogMode = ReadBooleanText(read("Report", "LogMode"));
    s.LogFile = read("Report", "LogFile");
    if (s.LogFile.find('.') != std::string::npos) {
        s.LogFile.clear();
    }
    s.CSVStatus = ReadIntegerText(read("Report", "CSVStatus"), 0);
    s.CSVMaxRecord = ReadLongText(read("Report", "CSVMaxRecord"), 4096);
    s.CSVFile = read("Report", "CSVFile");
}

void PartInfoFile::ReadDatabaseLabels(PartInfoSettings& s, const std::string& userKey,
                                      const std::string& machineKey) const {
    s.Labels.clear();
    s.LabelDefaults.fill({});
    RegEntry machine;
    try {
        machine.OpenKey(machineKey + "\\DatabaseLabels");
    } catch (const Error&) {
        return;  // no labels on this machine
    }
    RegEntry user;
    bool hasRelations = true;
    try {
        user.OpenKey(userKey + "\\DatabaseRelations");
    } catch (const Error&) {
        hasRelations = false;  // empty defaults
    }
    for (int i = 0; i < kDatabaseLabels; ++i) {
        std::string label;
        try {
            label = machine.GetString("DBLabel" + std::to_string(i));
        } catch (const Error&) {
            label.clear();
        }
        if (label.empty()) {
            continue;
        }
        std::string defaultValue;
        if (hasRelations) {
            try {
                defaultValue = user.GetString(label);
            } catch (const Error&) {
                defaultValue.clear();
            }
        }
        s.LabelDefaults[static_cast<std::size_t>(i)] = defaultValue;
        std::string value = IsStorableLabel(label) ? ReadIniString(file_, "Report", label) : "";
        if (value.empty()) {
            value = defaultValue;
        }
        s.Labels.push_back({label, i, value});
    }
}

void PartInfoFile::ReadSkip(PartInfoSettings& s) const {
    s.PartialRun = ReadBooleanText(ReadIniString(file_, "Skip", "PartialRun"));
    const std::string stored = ToUpperAscii(FileNamePart(ReadIniString(file_, "Skip", "SkipFile")));
    s.SkipFiles.clear();
    s.SkipFile = -1;
    std::error_code error;
    for (fs::directory_iterator entry(directory_, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        std::error_code typeError;
        if (EndsWithSkp(name) && entry->is_regular_file(typeError)) {
            if (s.SkipFile < 0 && !stored.empty() && ToUpperAscii(name) == stored) {
                s.SkipFile = static_cast<int>(s.SkipFiles.size());
            }
            s.SkipFiles.push_back(name);
        }
    }
    if (s.SkipFiles.empty()) {
        s.PartialRun = false;
    }
}

std::string PartInfoFile::LabelValueToWrite(const PartInfoSettings& s,
                                            const DatabaseLabelSlot& slot) {
    const std::size_t number = static_cast<std::size_t>(slot.LabelNumber);
    const std::string& defaultValue =
        number < s.LabelDefaults.size() ? s.LabelDefaults[number] : "";
    return slot.Value.empty() || slot.Value == defaultValue ? std::string() : slot.Value;
}

bool PartInfoFile::IsStorableLabel(const std::string& label) {
    const std::size_t first = label.find_first_not_of(" \t");
    return first != std::string::npos && label[first] != ';' && label[first] != '[' &&
           label.find_first_of("=\r\n") == std::string::npos;
}

std::string PartInfoFile::SkipFilePath(const std::string& name) const {
    std::string path = directory_;
    if (path.empty() || path.back() != '/') {
        path += '/';
    }
    return path + name;
}

void PartInfoFile::Write(const PartInfoSettings& s, const PrinterList& printers) const {
    // The keys in the order they are written.
    std::vector<std::array<std::string, 3>> keys;
    for (const DatabaseLabelSlot& slot : s.Labels) {
        if (IsStorableLabel(slot.Label)) {
            keys.push_back({"Report", slot.Label, LabelValueToWrite(s, slot)});
        }
    }
    keys.push_back({"Report", "Graphics", Bool(s.Graphics)});
    keys.push_back({"Report", "DefaultPrinter", CheckedPrinter(printers, s.DefaultPrinter)});
    keys.push_back({"Report", "PrintMode", std::to_string(s.PrintMode)});
    keys.push_back({"Report", "ReportStatus", std::to_string(s.ReportStatus)});
    keys.push_back({"Report", "ReportFile", s.ReportFile});
    keys.push_back({"Report", "LogStatus", std::to_string(s.LogStatus)});
    keys.push_back({"Report", "LogMode", Bool(s.LogMode)});
    keys.push_back({"Report", "LogFile", s.LogFile});
    keys.push_back({"Report", "CSVStatus", std::to_string(s.CSVStatus)});
    keys.push_back({"Report", "CSVMaxRecord", std::to_string(s.CSVMaxRecord)});
    keys.push_back({"Report", "CSVFile", s.CSVFile});
    keys.push_back({"Part", "LibraryName", s.LibraryName});
    keys.push_back({"Part", "SerialNumber", s.SerialNumber});
    const bool skip = s.PartialRun && s.SkipFile >= 0 &&
                      static_cast<std::size_t>(s.SkipFile) < s.SkipFiles.size();
    keys.push_back({"Skip", "PartialRun", Bool(s.PartialRun)});
    keys.push_back(
        {"Skip", "SkipFile",
         skip ? SkipFilePath(s.SkipFiles[static_cast<std::size_t>(s.SkipFile)]) : std::string()});

    if (const std::string problem = Problem(); !problem.empty()) {
        SaveFailed(file_, problem);
    }
    // The file a symbolic link points to is the one replaced.
    std::error_code error;
    fs::path target = fs::path(file_);
    const bool exists = fs::exists(target, error);
    if (exists) {
        target = fs::canonical(target, error);
        if (error) {
            SaveFailed(file_, error.message());
        }
    }
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        SaveFailed(file_, std::strerror(errno));
    }
    TemporaryFile copy(pattern);
    if (exists) {
        std::ifstream in(target, std::ios::binary);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        struct stat info {};
        const bool copied = in.good() || in.eof();
        const bool written =
            ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
        if (::stat(target.c_str(), &info) == 0) {
            ::fchmod(fd, info.st_mode & 07777);
        }
        ::close(fd);
        if (!copied || !written) {
            SaveFailed(file_, "the copy could not be written");
        }
    } else {
        // A new file: made by the first profile write, with its usual line ends.
        ::close(fd);
        ::unlink(copy.Path().c_str());
    }
    for (const auto& [section, key, value] : keys) {
        if (value.size() == kMaxValueLength && ReadIniString(copy.Path(), section, key) == value) {
            continue;  // a longer value, of which only this much can be read: kept whole
        }
        if (WriteIniString(copy.Path(), section, key, value) == 0) {
            SaveFailed(file_, "\"" + section + "\", \"" + key + "\" could not be written");
        }
    }
    SyncFile(copy.Path());
    if (::rename(copy.Path().c_str(), target.c_str()) != 0) {
        SaveFailed(file_, std::strerror(errno));
    }
    copy.Release();
    SyncFile(folder.string());
}

bool PartInfoFile::WriteWriteProtect(bool writeProtect) const {
    return Problem().empty() &&
           WriteIniString(file_, "Part", "WriteProtect", Bool(writeProtect)) != 0;
}

std::string PartInfoFile::Problem() const {
    if (file_.empty()) {
        return "the part has no information file";
    }
    std::error_code error;
    const fs::file_status status = fs::status(file_, error);
    if (status.type() == fs::file_type::not_found) {
        return {};
    }
    if (error) {
        return error.message();
    }
    if (status.type() != fs::file_type::regular) {
        return "it is not a file";
    }
    std::ifstream in(file_, std::ios::binary);
    if (!in) {
        return std::strerror(errno);
    }
    char buffer[65536];
    in.read(buffer, sizeof buffer);
    if (std::find(buffer, buffer + in.gcount(), '\0') != buffer + in.gcount()) {
        return "it is not a text file";
    }
    return {};
}

}  // namespace vantreel
