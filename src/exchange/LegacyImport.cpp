#include "exchange/LegacyImport.h"

#include "components/ArchivePath.h"
#include "components/ComponentFactory.h"
#include "components/LegacyList.h"
#include "components/StagedFolder.h"
#include "shared/MessageBox.h"
#include "shared/Paths.h"
#include "shared/Process.h"
#include "shared/Resources.h"
#include "shared/Text.h"
#include "vantreel/Error.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <mutex>
#include <utility>
#include <vector>

namespace vantreel {
namespace {

namespace fs = std::filesystem;

constexpr const char* kSource = "ImportLegacy";

std::mutex starterMutex;
ProgramStarter starter;

void StartProgram(const std::string& commandLine) {
    ProgramStarter start;
    {
        std::lock_guard lock(starterMutex);
        start = starter;
    }
    if (start) {
        start(commandLine);
    } else {
        RunAndWait(commandLine, 0);  // a time-out of 0: started, not waited for
    }
}

// The folder of the list file, without a trailing separator.
std::string SourceFolderOf(const std::string& listFile) {
    std::string folder = ParentDirectory(listFile);
    while (folder.size() > 1 && IsPathSeparator(folder.back())) {
        folder.pop_back();
    }
    return folder.empty() ? std::string(".") : folder;
}

struct Step {
    bool folder = false;
    std::string path;    // relative, "/" separators, as the list spells it
    std::string source;  // the same path as the files below the list spell it
};

// relative (with "/" separators) below base as Windows finds it: each name as
// written when it exists, else the one entry of its folder that differs from
// it only in letter case. A name with no such entry, or with several, stays as
// written (and is then not found).
std::string MatchingCase(const std::string& base, const std::string& relative) {
    std::string found;
    std::size_t start = 0;
    while (start <= relative.size()) {
        const std::size_t end = std::min(relative.find('/', start), relative.size());
        const std::string name = relative.substr(start, end - start);
        const std::string folder = found.empty() ? base : base + "/" + found;
        std::string match = name;
        struct stat info {};
        std::error_code error;
        if (lstat((folder + "/" + name).c_str(), &info) != 0) {
            int matches = 0;
            for (fs::directory_iterator it(folder, error), last; !error && it != last;
                 it.increment(error)) {
                const std::string entry = it->path().filename().string();
                if (EqualsIgnoringCase(entry, name)) {
                    match = entry;
                    ++matches;
                }
            }
            if (matches != 1) {
                match = name;
            }
        }
        found += (found.empty() ? "" : "/") + match;
        start = end + 1;
    }
    return found;
}

}  // namespace

ProgramStarter SetProgramStarter(ProgramStarter next) {
    std::lock_guard lock(starterMutex);
    return std::exchange(starter, std::move(next));
}

LegacyImportResult CopyLegacyExport(const std::string& sExportFile, const std::string& sTargetDir,
                                    bool bUpgradeProject) {
    LegacyImportResult result;
    const std::string sourceDir = SourceFolderOf(sExportFile);
    const LegacyList list = LegacyList::Read(sExportFile);
    if (!list.IsVisualBasic()) {
        result.refusal = LegacyRefusal::NotAList;
        result.insert = sExportFile;
        return result;
    }
    const std::string name = list.PartName();
    if (!IsSafePartName(name)) {
        throw Error(
            321, kSource,
            "'" + sExportFile + "' names the part '" + name + "', which cannot be a folder name");
    }
    std::unique_ptr<PartFolder> repository = CreatePartFolder();
    repository->OpenFolder("");
    if (repository->ContainsPart(name)) {
        result.refusal = LegacyRefusal::PartExists;
        result.insert = name;
        return result;
    }
    std::string parent = sTargetDir;
    const std::string target = CombinePath(parent, name);
    struct stat info {};
    if (lstat(target.c_str(), &info) == 0) {
        result.refusal = LegacyRefusal::TargetExists;
        result.insert = target;
        return result;
    }

    // Every line is checked before anything is created.
    std::vector<Step> steps;
    for (std::size_t i = 2; i < list.lines.size(); ++i) {
        const std::string& line = list.lines[i];
        if (line.empty()) {
            continue;  // a blank line, often the last
        }
        const std::string where =
            "'" + sExportFile + "', line " + std::to_string(i + 1) + " (\"" + line + "\"): ";
        Step step;
        step.folder = line.starts_with("F:");  // only "F:" exactly makes a folder
        std::string why;
        step.path = SafeRelativePath(line.size() > 2 ? line.substr(2) : "", true, &why);
        if (step.path.empty()) {
            throw Error(321, kSource, where + why);
        }
        if (!step.folder) {
            // Lists written on Windows need not spell names as the files do.
            step.source = MatchingCase(sourceDir, step.path);
            if (HasLinkBelow(sourceDir, step.source)) {
                throw Error(75, kSource, where + "the file is reached through a symbolic link");
            }
        }
        steps.push_back(std::move(step));
    }

    StagedFolder staged(fs::path(target).parent_path().string(), name);
    for (const Step& step : steps) {
        // The folders come from earlier lines, as on Windows, where a later
        // line may spell them in other letter cases.
        const std::string to = staged.Path() + "/" + MatchingCase(staged.Path(), step.path);
        if (step.folder) {
            MakeFolder(to);
        } else {
            CopyRegularFile(sourceDir + "/" + step.source, to, 0);
        }
    }
    staged.Commit();
    result.target = target;

    // The name is taken literally: a "?" or "*" in it is no pattern here.
    const std::string program = CombinePath(target, name + ".exe");
    struct stat programInfo {};
    if (stat(program.c_str(), &programInfo) == 0 && S_ISREG(programInfo.st_mode)) {
        StartProgram("\"" + GetShortPath(program) + "\" /REGSERVER");
    }
    if (bUpgradeProject) {
        std::unique_ptr<Part> part = CreatePart();
        std::string directory = target;
        part->OpenProject(directory);
        part->UpgradeProject();
    }
    return result;
}

std::string LegacyRefusalText(const LegacyImportResult& result) {
    if (result.refusal == LegacyRefusal::None) {
        return {};
    }
    return FormatResString(static_cast<int32_t>(result.refusal), result.insert);
}

void ImportLegacyWithMessages(const std::string& sExportFile, const std::string& sTargetDir,
                              bool bUpgradeProject) {
    const LegacyImportResult result = CopyLegacyExport(sExportFile, sTargetDir, bUpgradeProject);
    if (result.refusal != LegacyRefusal::None) {
        MsgBoxEx(LegacyRefusalText(result), vbOKOnly, GetResString(110089));
    }
}

}  // namespace vantreel
