#include "components/FileSystemPart.h"

#include "shared/AtomicFile.h"
#include "shared/FileUtil.h"
#include "shared/IniFile.h"
#include "shared/Paths.h"
#include "shared/RegEntry.h"
#include "shared/RunTimeError.h"
#include "shared/StagingDirectory.h"
#include "shared/Text.h"
#include "vantreel/Error.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace vantreel {
namespace {

namespace fs = std::filesystem;

constexpr const char* kSource = "Ulmaret.Part";
constexpr const char* kProjectExtension = ".vbp";
constexpr const char* kLorimetSection = "Part";
constexpr const char* kLorimetKey = "Lorimet";
constexpr const char* kFilesSection = "AdditionalFiles";

[[noreturn]] void Fail(RunTimeError number, const std::string& what) {
    throw MakeError(number, kSource, what);
}

std::string ReadAll(const std::string& path) {
    // Only a regular file is opened: a FIFO in its place would block the open.
    std::error_code error;
    if (!fs::is_regular_file(path, error)) {
        Fail(RunTimeError::FileNotFound, "The file '" + path + "' cannot be read");
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        Fail(RunTimeError::FileNotFound, "The file '" + path + "' cannot be read");
    }
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Replaces the file whole or not at all (a regular file or nothing).
void WriteAll(const std::string& path, const std::string& text) {
    AtomicFile::WriteFile(path, text, RunTimeError::PathFileAccessError, kSource);
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(line);
            line.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else {
            line += c;
        }
    }
    if (!line.empty()) {
        lines.push_back(line);
    }
    return lines;
}

std::string JoinCrLf(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

std::vector<std::string> ProjectLines(const std::string& name) {
    return {
        "Type=Exe",
        "Module=modMain; " + std::string(FileSystemPart::kMainModule),
        "Module=modSupport; " + std::string(FileSystemPart::kSupportModule),
        "Startup=\"Sub Main\"",
        "Title=\"" + name + "\"",
        "ExeName32=\"" + name + ".exe\"",
        "Name=\"" + name + "\"",
    };
}

// The longest file named after a part: <name>.vbp, <name>.exe, <name>.log.
constexpr std::size_t kNameRoom = 4;

}  // namespace

bool FileSystemPart::IsPartDirectory(const std::string& directory) {
    return !ProjectNameIn(directory).empty();
}

std::string FileSystemPart::ProjectNameIn(const std::string& directory) {
    std::error_code error;
    // A working folder of a writer, or its leftover, is never a part.
    if (AtomicFile::IsTemporaryName(fs::path(directory).filename().string())) {
        return {};
    }
    // The project named like its directory wins; otherwise the first by name.
    // The usual case is settled by one look-up, without reading the directory.
    const std::string preferred = fs::path(directory).filename().string();
    if (!preferred.empty() &&
        fs::is_regular_file(fs::path(directory) / (preferred + kProjectExtension), error)) {
        return preferred;
    }
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory, error)) {
        if (entry.path().extension() == kProjectExtension && entry.is_regular_file(error)) {
            names.push_back(entry.path().stem().string());
        }
    }
    if (names.empty()) {
        return {};
    }
    if (std::find(names.begin(), names.end(), preferred) != names.end()) {
        return preferred;
    }
    return *std::min_element(names.begin(), names.end());
}

void FileSystemPart::RequireOpen() const {
    if (directory_.empty()) {
        Fail(RunTimeError::ObjectNotSet, "No part is open");
    }
}

std::string FileSystemPart::PathOf(const std::string& file) const {
    return (fs::path(directory_) / file).string();
}

void FileSystemPart::OpenProject(std::string& sDirectory) {
    const std::string directory(TrimRight(Trim(sDirectory), "/"));
    const std::string name = ProjectNameIn(directory);
    if (name.empty()) {
        Fail(RunTimeError::FileNotFound, "'" + sDirectory + "' holds no part (no project file " +
                                             std::string(kProjectExtension) + ")");
    }
    directory_ = directory.empty() ? sDirectory : directory;
    name_ = name;
}

std::string FileSystemPart::FreePartName(const std::string& sRoot, const std::string& sName) {
    const std::string base(Trim(sName));
    if (const std::string problem = FileNameProblem(base, kNameRoom); !problem.empty()) {
        Fail(RunTimeError::BadFileName, "'" + sName + "' cannot name a part: " + problem);
    }
    // A taken name gets a number: OLD, OLD_2, OLD_3 ...
    std::error_code error;
    std::string name = base;
    for (int number = 2; fs::exists(fs::symlink_status(fs::path(sRoot) / name, error)); ++number) {
        name = base + "_" + std::to_string(number);
    }
    if (const std::string problem = FileNameProblem(name, kNameRoom); !problem.empty()) {
        Fail(RunTimeError::BadFileName,
             "'" + sName + "' is taken, and '" + name + "' cannot name a part: " + problem);
    }
    return name;
}

void FileSystemPart::CreateProject(int32_t, const std::string& sRoot, std::string& sName, bool) {
    std::error_code error;
    if (!fs::is_directory(sRoot, error)) {
        Fail(RunTimeError::PathNotFound, "The part repository '" + sRoot + "' does not exist");
    }
    // The part is made in a working folder beside its place and renamed in
    // when complete, so an interrupted run never leaves half a part.
    StagingDirectory staging(sRoot);
    const fs::path building = fs::path(staging.Path()) / "part";
    if (!fs::create_directory(building, error)) {
        Fail(RunTimeError::PathFileAccessError,
             "The part directory cannot be created in '" + sRoot + "': " + error.message());
    }
    for (int attempt = 0;; ++attempt) {
        const std::string name = FreePartName(sRoot, sName);
        directory_ = building.string();
        name_ = name;
        try {
            for (const auto& entry : fs::directory_iterator(building)) {
                fs::remove(entry.path());  // what an earlier attempt wrote under another name
            }
            WriteAll(PathOf(name + kProjectExtension), JoinCrLf(ProjectLines(name)));
            if (WriteIniString(informationfile(), "Part", "Name", name) == 0) {
                Fail(RunTimeError::PathFileAccessError,
                     "The information file '" + informationfile() + "' cannot be written");
            }
        } catch (...) {
            directory_.clear();
            name_.clear();
            throw;
        }
        const fs::path target = fs::path(sRoot) / name;
        if (StagingDirectory::MoveInPlace(building.string(), target.string())) {
            directory_ = target.string();
            sName = name;
            return;
        }
        const int reason = errno;
        if (reason != EEXIST || attempt >= 100) {
            directory_.clear();
            name_.clear();
            Fail(RunTimeError::PathFileAccessError,
                 "The part directory '" + target.string() +
                     "' cannot be created: " + std::strerror(reason));
        }
        // Another writer took the name in the meantime: the next number is tried.
    }
}

double FileSystemPart::PartDate() const {
    RequireOpen();
    struct stat info {};
    if (stat(PathOf(name_ + kProjectExtension).c_str(), &info) != 0) {
        Fail(RunTimeError::FileNotFound, "The project file of '" + directory_ + "' cannot be read");
    }
    return FileUtil::DateFromTime(static_cast<long long>(info.st_mtim.tv_sec));
}

bool FileSystemPart::HasSource() const {
    std::error_code error;
    return !directory_.empty() && fs::is_regular_file(PathOf(name_ + kProjectExtension), error) &&
           fs::is_regular_file(PathOf(kMainModule), error) &&
           fs::is_regular_file(PathOf(kSupportModule), error);
}

bool FileSystemPart::HasExecutable() const {
    std::error_code error;
    return !directory_.empty() && fs::is_regular_file(PathOf(name_ + ".exe"), error);
}

bool FileSystemPart::IsLorimet() const {
    return !directory_.empty() &&
           RegistryTextIsTrue(ReadIniString(informationfile(), kLorimetSection, kLorimetKey));
}

std::string FileSystemPart::informationfile() const {
    return directory_.empty() ? std::string() : PathOf(kInformationFile);
}

void FileSystemPart::RePaginateCode() {
    RequireOpen();
    for (const auto& [file, module] :
         {std::pair{kMainModule, "modMain"}, std::pair{kSupportModule, "modSupport"}}) {
        std::vector<std::string> lines = SplitLines(ReadAll(PathOf(file)));
        for (std::string& line : lines) {
            line = std::string(TrimRight(line, " \t"));
        }
        const std::string header = "Attribute VB_NAME = \"" + std::string(module) + "\"";
        if (!lines.empty() && lines.front().starts_with("Attribute VB_NAME")) {
            lines.front() = header;
        } else {
            lines.insert(lines.begin(), header);
        }
        WriteAll(PathOf(file), JoinCrLf(lines));
    }
}

void FileSystemPart::UpgradeProject() {
    RequireOpen();
    std::vector<std::string> lines = SplitLines(ReadAll(PathOf(name_ + kProjectExtension)));
    // Every line a current project needs is there once; other lines stay.
    for (const std::string& needed : ProjectLines(name_)) {
        const std::string key = needed.substr(0, needed.find('=') + 1);
        const bool module = key == "Module=";
        const bool present = std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
            return module ? line == needed : line.starts_with(key);
        });
        if (!present) {
            lines.push_back(needed);
        }
    }
    WriteAll(PathOf(name_ + kProjectExtension), JoinCrLf(lines));
}

int16_t FileSystemPart::AdditionalFilesCount() const {
    RequireOpen();
    const std::string count = ReadIniString(informationfile(), kFilesSection, "Count");
    return static_cast<int16_t>(std::clamp(std::atoi(count.c_str()), 0, 32767));
}

std::string FileSystemPart::AdditionalFiles(int16_t i) const {
    if (i < 1 || i > AdditionalFilesCount()) {
        throw MakeError(RunTimeError::SubscriptOutOfRange, kSource, "Subscript out of range");
    }
    return ReadIniString(informationfile(), kFilesSection, "File" + std::to_string(i));
}

void FileSystemPart::AdditionalFileAdd(const std::string& sPath) {
    const int16_t count = AdditionalFilesCount();
    if (count == 32767) {
        throw MakeError(RunTimeError::Overflow, kSource, "Overflow");
    }
    const std::string file = informationfile();
    if (WriteIniString(file, kFilesSection, "File" + std::to_string(count + 1), sPath) == 0 ||
        WriteIniString(file, kFilesSection, "Count", std::to_string(count + 1)) == 0) {
        Fail(RunTimeError::PathFileAccessError,
             "The information file '" + file + "' cannot be written");
    }
}

void FileSystemPart::AdditionalFileRemove(int16_t i) {
    const int16_t count = AdditionalFilesCount();
    if (i < 1 || i > count) {
        throw MakeError(RunTimeError::SubscriptOutOfRange, kSource, "Subscript out of range");
    }
    const std::string file = informationfile();
    for (int16_t k = i; k < count; ++k) {
        WriteIniString(file, kFilesSection, "File" + std::to_string(k),
                       AdditionalFiles(static_cast<int16_t>(k + 1)));
    }
    WriteIniString(file, kFilesSection, "File" + std::to_string(count), "");
    if (WriteIniString(file, kFilesSection, "Count", std::to_string(count - 1)) == 0) {
        Fail(RunTimeError::PathFileAccessError,
             "The information file '" + file + "' cannot be written");
    }
}

}  // namespace vantreel
