#include "dmis/ConversionDriver.h"

#include "components/ComponentFactory.h"
#include "dmis/basic/BasicWriter.h"
#include "dmis/model/CProgram.h"
#include "dmis/model/DmisTables.h"
#include "dmis/parse/Analyzer.h"
#include "dmis/parse/Lookup.h"
#include "dmis/parse/ParseContext.h"
#include "dmis/scan/Scanner.h"
#include "shared/Configuration.h"
#include "shared/MessageBox.h"
#include "shared/Paths.h"
#include "shared/Process.h"
#include "shared/RegEntry.h"
#include "shared/Resources.h"
#include "vantreel/Error.h"

#include <filesystem>
#include <fstream>

namespace vantreel {
namespace {

constexpr const char* kSetupRoot = "SOFTWARE\\Microsoft\\VisualStudio\\6.0\\Setup";
constexpr const char* kMakeTitle = "Vantreel - CommandPartMake";
constexpr const char* kPaginateTitle = "Vantreel - CommandPartPaginate";
constexpr int32_t kErrorTitle = 110089;

}  // namespace

bool ConvertLegacyPart(LegacyConversion& conversion) {
    std::string createdDirectory;
    try {
        std::unique_ptr<Part> part = CreatePart("Ulmaret.Part");
        InitLabelTypes();
        InitDmisTables();
        ParseContext context;  // empty registries for this conversion
        CProgram program;
        Scanner scanner;
        if (!scanner.ScanFile(conversion.SourceFile, program)) {
            MsgBoxEx("[Error scanning: ]" + scanner.LastError(), vbOKOnly + vbExclamation, "");
            return false;
        }
        StatementParser parser(scanner, context);
        if (!parser.ParseProgram(program)) {
            MsgBoxEx("[Error parsing: ]" + scanner.Message(), vbOKOnly + vbExclamation, "");
            return false;
        }
        const std::string requestedName = conversion.Name;
        part->CreateProject(conversion.WindowHandle, GetRepositoryRoot(""), conversion.Name, true);
        createdDirectory = part->FullPath();
        if (conversion.Name != requestedName || conversion.Directory.empty()) {
            // Another name was free: the directory follows, so that the new
            // part (not the one holding the name) is repaginated and built.
            conversion.Directory = createdDirectory;
        }
        WriteBasicModules(program, createdDirectory);
        createdDirectory.clear();  // the part is complete; it stays whatever follows
        RepaginateProject(conversion.Directory);
        BuildProject(conversion.Directory, conversion.BuildTimeoutMs);
        program.Terminate();
        scanner.Terminate();
        return true;
    } catch (const Error& error) {
        if (!createdDirectory.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(createdDirectory, ignored);  // nothing half-made stays
        }
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
        MsgBoxEx(error.Description(), vbInformation, kPaginateTitle);
    }
}

void BuildProject(const std::string& directory, int32_t timeoutMs) {
    try {
        std::unique_ptr<Part> part = CreatePart("Ulmaret.Part");
        std::string opened = directory;
        part->OpenProject(opened);
        const std::string projectFile = part->ProjectFile();
        RegEntry registry;
        registry.SetDefaultRoot(kSetupRoot);
        registry.OpenKey("Microsoft Visual Basic");
        const std::string productDirectory = registry.GetString("ProductDir");
        const std::string commandLine = CombinePath(productDirectory, "Vb6.exe") + " /m \"" +
                                        CombinePath(directory, projectFile + ".vbp") + "\"";
        // The build runs in the library's own folder, when there is one.
        const std::string libraryDirectory =
            DirectoryExists(LibraryDirectory()) ? LibraryDirectory() : std::string();
        const WaitResult result = RunAndWait(commandLine, timeoutMs, libraryDirectory);
        if (result.outcome != WaitResult::Outcome::Ended) {
            MsgBoxEx("The operation timed out before completion", vbOKOnly,
                     GetResString(kErrorTitle));
        }
    } catch (const Error& error) {
        MsgBoxEx(error.Description(), vbInformation, kMakeTitle);
    }
}

}  // namespace vantreel
