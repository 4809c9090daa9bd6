#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace vantreel {

// Bringing a legacy export (a folder with a part's files and a list file
// naming them) into the repository.
//
// The list is read and every line checked before anything is created: a path
// that would leave its folder ("..", absolute, a drive letter), or a source
// reached through a symbolic link, refuses the whole import. The part is built
// beside its target under a hidden name and renamed into place when complete,
// so an import that fails half-way leaves nothing behind.

// Why an import was refused before anything was created; each has its message.
enum class LegacyRefusal : int32_t {
    None = 0,
    NotAList = 125075,      // line 2 is not "VisualBasic"
    TargetExists = 125076,  // the target folder exists
    PartExists = 125077,    // the repository holds a part of that name
};

struct LegacyImportResult {
    LegacyRefusal refusal = LegacyRefusal::None;
    std::string insert;  // the %0% of the refusal's message
    std::string target;  // the imported part's folder
};

// Copies the export and, when its program is there, registers it; with
// bUpgradeProject the part is upgraded. Refusals come back; failures raise
// vantreel::Error and leave nothing behind.
LegacyImportResult CopyLegacyExport(const std::string& sExportFile, const std::string& sTargetDir,
                                    bool bUpgradeProject);

// The message of a refusal, in the current language ("" for None).
std::string LegacyRefusalText(const LegacyImportResult& result);

// CopyLegacyExport with its refusals shown in the message box (title 110089,
// OK only). Failures raise.
void ImportLegacyWithMessages(const std::string& sExportFile, const std::string& sTargetDir,
                              bool bUpgradeProject);

// Starts a command line without waiting for it: by default as a process of
// its own (a program that cannot be started is let be: a Windows program on
// a station without Windows support). Tests install a recorder. Returns the
// previous starter; an empty one restores the default.
using ProgramStarter = std::function<void(const std::string& commandLine)>;
ProgramStarter SetProgramStarter(ProgramStarter starter);

}  // namespace vantreel
