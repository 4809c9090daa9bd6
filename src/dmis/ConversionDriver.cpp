#include "dmis/ConversionDriver.h"

#include "components/ComponentFactory.h"
#include "components/FileSystemPart.h"
#include "dmis/basic/BasicWriter.h"
#include "dmis/dialect/ExtendedRules.h"
#include "dmis/dialect/ExtendedScan.h"
#include "dmis/model/CProgram.h"
#include "dmis/model/DmisTables.h"
#include "dmis/model/ModelArena.h"
#include "dmis/parse/Analyzer.h"
#include "dmis/parse/Lookup.h"
#include "dmis/parse/ParseContext.h"
#include "dmis/scan/Scanner.h"
#include "shared/Configuration.h"
#include "shared/ErrorReport.h"
#include "shared/MessageBox.h"
#include "shared/Paths.h"
#include "shared/Process.h"
#include "shared/RegEntry.h"
#include "shared/Resources.h"
#include "shared/RunTimeError.h"
#include "shared/StagingDirectory.h"
#include "vantreel/Error.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <new>

namespace vantreel {
namespace {

constexpr const char* kSetupRoot = "SOFTWARE\\Microsoft\\VisualStudio\\6.0\\Setup";
constexpr const char* kMakeTitle = "Vantreel - CommandPartMake";
constexpr const char* kPaginateTitle = "Vantreel - CommandPartPaginate";
constexpr const char* kTimedOut = "The operation timed out before completion";
constexpr int32_t kNotStarted = 167100;
constexpr int32_t kLeftRunning = 167101;
constexpr int32_t kBuildFailed = 167102;

// At most this many warnings are listed in the message box; the rest are counted.
constexpr std::size_t kWarningsShown = 20;

void ReportDialectWarnings(const LegacyConversion& conversion) {
    std::string text = conversion.SourceFile + ":";
    for (std::size_t i = 0; i < conversion.Warnings.size() && i < kWarningsShown; ++i) {
        const DialectWarning& warning = conversion.Warnings[i];
        text += "\n" + std::to_string(warning.line) + ": " + warning.Text();
    }
    if (conversion.Warnings.size() > kWarningsShown) {
        text += "\n(+" + std::to_string(conversion.Warnings.size() - kWarningsShown) + ")";
    }
    MsgBoxEx("[" + text + "]", vbOKOnly + vbInformation, "");
}

}  // namespace

bool ConvertLegacyPart(LegacyConversion& conversion) {
    conversion.Built = false;
    try {
        std::unique_ptr<Part> part = CreatePart("Ulmaret.Part");
        InitLabelTypes();
        InitDmisTables();
        ParseContext context;  // empty registries for this conversion
        CProgram program;
        Scanner scanner;
        const DmisDialect dialect = conversion.Dialect.value_or(DmisDialectFromRegistry());
        DialectWarnings warnings;
        ExtendedRules rules(warnings);
        conversion.Warnings.clear();
        if (dialect == DmisDialect::Extended) {
            context.extended = &rules;
        }
        // The tokens are made as the parser reads them.
        const bool scanned =
            dialect == DmisDialect::Extended
                ? OpenExtendedFile(scanner, conversion.SourceFile, program, warnings)
                : scanner.OpenFile(conversion.SourceFile, program);
        if (!scanned) {
            MsgBoxEx("[Error scanning: ]" + scanner.LastError(), vbOKOnly + vbExclamation, "");
            return false;
        }
        bool parsed = false;
        {
            // What the parse builds goes into the program's arena; the
            // parser's own spare nodes go with the parser, before the program.
            const ArenaScope arenaScope(program.Arena());
            StatementParser parser(scanner, context);
            parsed = parser.ParseProgram(program);
        }
        // A scan failure anywhere in the file is the answer, wherever the
        // parse stopped.
        if (!scanner.FinishScan(false)) {
            MsgBoxEx("[Error scanning: ]" + scanner.LastError(), vbOKOnly + vbExclamation, "");
            return false;
        }
        conversion.Warnings = warnings.Sorted();
        if (!parsed) {
            MsgBoxEx("[Error parsing: ]" + scanner.Message(), vbOKOnly + vbExclamation, "");
            return false;
        }
        if (context.extended != nullptr) {
            CompleteExtendedProgram(program, rules);
        }
        // The part is made and written in a working folder beside its place
        // and renamed in when complete: an interrupted conversion never
        // leaves a part that is listed, and its leftover is removed here.
        const std::string root = GetRepositoryRoot("");
        if (!DirectoryExists(root)) {
            throw MakeError(RunTimeError::PathNotFound, "ConvertLegacyPart",
                            "The part repository '" + root + "' does not exist");
        }
        StagingDirectory::CleanLeftovers(root);
        StagingDirectory staging(root);
        const std::string requestedName = conversion.Name;
        std::string name = FileSystemPart::FreePartName(root, conversion.Name);
        part->CreateProject(conversion.WindowHandle, staging.Path(), name, true);
        WriteBasicModules(program, part->FullPath());
        const std::string finalDirectory = (std::filesystem::path(root) / name).string();
        if (!StagingDirectory::MoveInPlace(part->FullPath(), finalDirectory)) {
            throw MakeError(RunTimeError::PathFileAccessError, "ConvertLegacyPart",
                            "The part cannot be put in place at '" + finalDirectory +
                                "': " + std::strerror(errno));
        }
        conversion.Name = name;
        if (conversion.Name != requestedName) {
            // Another name was free: the directory follows, so that the new
            // part (not the one holding the name) is repaginated and built.
            // An empty directory stays empty: repagination is skipped and the
            // build reports that it has no project.
            conversion.Directory = finalDirectory;
        }
        if (conversion.ReportWarnings && !conversion.Warnings.empty()) {
            ReportDialectWarnings(conversion);
        }
        RepaginateProject(conversion.Directory);
        conversion.Built = BuildProject(conversion.Directory, conversion.BuildTimeoutMs);
        program.Terminate();
        scanner.Terminate();
        return true;
    } catch (const Error& error) {
        MsgBoxEx(std::to_string(error.Number()) + ": " + error.Description(), vbOKOnly, "");
        return false;
    } catch (const std::bad_alloc&) {
        // Memory or the file system failing below the part manager are
        // reported like every other error of the conversion.
        const Error error = MakeError(RunTimeError::OutOfMemory, "ConvertLegacyPart");
        MsgBoxEx(std::to_string(error.Number()) + ": " + error.Description(), vbOKOnly, "");
        return false;
    } catch (const std::filesystem::filesystem_error& failure) {
        const Error error =
            MakeError(RunTimeError::PathFileAccessError, "ConvertLegacyPart", failure.what());
        MsgBoxEx(std::to_string(error.Number()) + ": " + error.Description(), vbOKOnly, "");
        return false;
    }
}

void RepaginateProject(const std::string& directory) {
    if (directory.empty()) {
        return;
    }
    try {
        std::unique_ptr<Part> part = CreatePart("Ulmaret.Part");
        std::string opened = directory;
        part->OpenProject(opened);
        part->RePaginateCode();
    } catch (const Error& error) {
        ShowErrorReport(error.Description(), kPaginateTitle);
    }
}

bool BuildProject(const std::string& directory, int32_t timeoutMs) {
    try {
        std::unique_ptr<Part> part = CreatePart("Ulmaret.Part");
        std::string opened = directory;
        part->OpenProject(opened);
        const std::string projectFile = part->ProjectFile();
        RegEntry registry;
        registry.SetDefaultRoot(kSetupRoot);
        registry.OpenKey("Microsoft Visual Basic");
        const std::string productDirectory = registry.GetString("ProductDir");
        const std::string program = FindFileIgnoringCase(productDirectory, "Vb6.exe");
        // A plain join: the project's name may begin with a dot, which
        // CombinePath would drop.
        const std::string project =
            (std::filesystem::path(directory) / (projectFile + ".vbp")).string();
        // The build runs in the library's own folder, when there is one.
        const std::string libraryDirectory =
            DirectoryExists(LibraryDirectory()) ? LibraryDirectory() : std::string();
        const WaitResult result = RunAndWait({program, "/m", project}, timeoutMs, libraryDirectory);
        switch (result.outcome) {
            case WaitResult::Outcome::Ended:
                if (result.exitCode == 0) {
                    return true;
                }
                MsgBoxEx(FormatResString(kBuildFailed, project, program, result.exitCode), vbOKOnly,
                         GetResString(kErrorReportTitle));
                return false;
            case WaitResult::Outcome::NotStarted:
                MsgBoxEx(std::string(kTimedOut) + "\n\n" +
                             FormatResString(kNotStarted, program, result.error),
                         vbOKOnly, GetResString(kErrorReportTitle));
                return false;
            case WaitResult::Outcome::TimedOut:
                MsgBoxEx(
                    std::string(kTimedOut) + "\n\n" +
                        FormatResString(kLeftRunning, program, std::to_string(timeoutMs / 1000)),
                    vbOKOnly, GetResString(kErrorReportTitle));
                return false;
        }
    } catch (const Error& error) {
        ShowErrorReport(error.Description(), kMakeTitle);
    }
    return false;
}

}  // namespace vantreel
