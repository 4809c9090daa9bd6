#include "StationCommands.h"

#include <optional>
#include "components/FileSystemPart.h"
#include "dmis/ConversionDriver.h"
#include "shared/AtomicFile.h"
#include "shared/Configuration.h"
#include "shared/IniFile.h"
#include "shared/InstallLayout.h"
#include "shared/RegFile.h"
#include "shared/RegistryStore.h"
#include "shared/Resources.h"
#include "shared/RunTimeError.h"
#include "vantreel/Error.h"

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <ostream>

namespace vantreel::cli {
namespace {

namespace fs = std::filesystem;

// The legacy part program of the sample station.
constexpr const char* kLegacyProgram =
    "$$ Legacy program of the sample station: a plate with one bore\r\n"
    "DMISMN/'BRACKET 12',05.2\r\n"
    "UNITS/MM,ANGDEC\r\n"
    "DECL/INTGR,I\r\n"
    "F(PLN1)=FEAT/PLANE,CART,0,0,0,0,0,1\r\n"
    "F(BORE1)=FEAT/CIRCLE,INNER,CART,20,30,0,0,0,1,12\r\n"
    "MEAS/PLANE,F(PLN1),3\r\n"
    "  PTMEAS/CART,5,5,0,0,0,1\r\n"
    "  PTMEAS/CART,45,5,0,0,0,1\r\n"
    "  PTMEAS/CART,25,45,0,0,0,1\r\n"
    "ENDMES\r\n"
    "DO/I,1,2\r\n"
    "  MEAS/CIRCLE,F(BORE1),4\r\n"
    "    PTMEAS/CART,26,30,-2,-1,0,0\r\n"
    "    PTMEAS/CART,20,36,-2,0,-1,0\r\n"
    "    PTMEAS/CART,14,30,-2,1,0,0\r\n"
    "    PTMEAS/CART,20,24,-2,0,1,0\r\n"
    "  ENDMES\r\n"
    "ENDDO\r\n"
    "OUTPUT/FA(BORE1)\r\n"
    "ENDFIL\r\n";

// Stands in for the Visual Basic 6 development environment in make mode on a
// station without it: it checks the project and its modules, writes a build
// log and a small program in place of the built one. A station runs the real
// environment under Wine, or points ProductDir at its own build script.
constexpr const char* kBuildStandIn = R"(#!/bin/sh
# Stand-in for "Vb6.exe /m PROJECT.vbp" (see vantreel demo-station).
[ "$1" = "/m" ] && [ -n "$2" ] || { echo "usage: Vb6.exe /m PROJECT.vbp" >&2; exit 2; }
project=$2
dir=$(dirname "$project")
name=$(basename "$project" .vbp)
log="$dir/$name.log"
fail() { echo "$1" >>"$log"; exit 1; }
: >"$log"
[ -f "$project" ] || fail "Project not found: $project"
grep -q '^Startup="Sub Main"' "$project" || fail "The project does not start with Sub Main"
for module in ModMain.bas ModSupport.bas; do
    [ -f "$dir/$module" ] || fail "Module missing: $module"
done
grep -q '^Sub Main()' "$dir/ModMain.bas" || fail "ModMain.bas has no Sub Main"
echo "Build of $name succeeded" >>"$log"
printf '#!/bin/sh\necho "%s: the built part would run here"\n' "$name" >"$dir/$name.exe"
chmod +x "$dir/$name.exe"
)";

void WriteText(const fs::path& path, const std::string& text) {
    AtomicFile::WriteFile(path.string(), text, RunTimeError::PathFileAccessError, "demo-station");
}

#ifdef VANTREEL_EXAMPLE_ADDON
// The example add-on of this tool: installed beside an installed tool, else
// where the build made it.
std::string ExampleAddonPath() {
    if (!InstalledDataDirectory().empty()) {
        std::error_code error;
        const fs::path installed = fs::weakly_canonical(
            fs::path(LoadedFromPath()).parent_path() / VANTREEL_EXAMPLE_ADDON_INSTALLED, error);
        if (!error && fs::is_regular_file(installed, error)) {
            return installed.string();
        }
    }
    return VANTREEL_EXAMPLE_ADDON;
}
#endif

// The example add-on built with the tool, registered as a settings editor of
// the part information dialog.
std::string ExampleAddonText() {
#ifdef VANTREEL_EXAMPLE_ADDON
    constexpr const char* kClassId = "{5A3C1E00-7A11-4E0D-9C4B-2F1D00000001}";
    return std::string(
               "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Korvessa\\Common\\Addons\\RunCounter]\n"
               "\"Name\"=\"Run counter\"\n"
               "\"PIFProgID\"=\"Example.RunCounter\"\n\n"
               "[HKEY_CLASSES_ROOT\\Example.RunCounter\\Clsid]\n"
               "@=\"") +
           kClassId +
           "\"\n\n"
           "[HKEY_CLASSES_ROOT\\CLSID\\" +
           kClassId +
           "\\InprocServer32]\n"
           "@=\"" +
           ExampleAddonPath() + "\"\n\n";
#else
    return {};
#endif
}

std::string RegistryText(const fs::path& station) {
    const std::string repository = (station / "repository").string();
    const std::string install = (station / "install").string();
    const std::string vb6 = (station / "vb6").string();
    return "Windows Registry Editor Version 5.00\n\n"
           "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Korvessa\\Common]\n"
           "\"RepositoryRoot\"=\"" +
           repository +
           "\"\n"
           "\"StartupApp\"=\"Tellurim\"\n"
           "\"DefaultLanguage\"=\"1033\"\n"
           "\"InstallDirectory\"=\"" +
           install +
           "\"\n\n"
           "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Korvessa\\Common\\Addons]\n\n" +
           ExampleAddonText() +
           "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Korvessa\\Tellurim\\Settings]\n"
           "\"RepositoryRoot\"=\"" +
           repository +
           "\"\n"
           "\"InstallDirectory\"=\"" +
           install +
           "\"\n\n"
           "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Korvessa\\Users]\n"
           "\"LastUser\"=\"anna\"\n\n"
           "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Korvessa\\Users\\anna]\n"
           "\"AccessDefaultRepositoryOnly\"=\"false\"\n\n"
           "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Korvessa\\Machines\\Bridge1]\n"
           "\"Name\"=\"Bridge CMM, hall 2\"\n"
           "\"DEUName\"=\"Portalmessger\xc3\xa4t, Halle 2\"\n\n"
           "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Korvessa\\Machines\\Gantry1]\n"
           "\"Name\"=\"Gantry CMM\"\n\n"
           "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Korvessa\\StandardMachines\\Bridge]\n"
           "\"Name\"=\"Bridge CMM\"\n\n"
           "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Korvessa\\StandardMachines\\Gantry]\n"
           "\"Name\"=\"Gantry CMM\"\n\n"
           "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\VisualStudio\\6.0\\Setup\\Microsoft Visual "
           "Basic]\n"
           "\"ProductDir\"=\"" +
           vb6 + "\"\n";
}

// A finished part: project, modules, information file and an extra file.
void MakePart(const fs::path& folder, const std::string& name) {
    FileSystemPart part;
    std::string partName = name;
    part.CreateProject(0, folder.string(), partName, true);
    const fs::path directory = part.FullPath();
    WriteText(directory / FileSystemPart::kMainModule,
              "Attribute VB_NAME = \"modMain\"\r\nOption Explicit\r\n\r\nSub Main()\r\n"
              "Startup\r\n    DmsUNITS \"MM\", \"ANGDEC\"\r\nShutdown\r\nEnd Sub\r\n");
    WriteText(directory / FileSystemPart::kSupportModule,
              "Attribute VB_NAME = \"modSupport\"\r\nOption Explicit\r\n");
    WriteText(directory / "fixture.txt", "Fixture: vice, 40 mm jaws\n");
    part.AdditionalFileAdd((directory / "fixture.txt").string());
    WriteIniString(part.informationfile(), "Part", "Description", "Sample part " + name);
}

}  // namespace

int RunConvert(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    // FILE, then --name NAME and --dialect strict|extended, each at most once.
    std::optional<std::string> name;
    std::optional<DmisDialect> dialect;
    bool usable = !args.empty() && args.size() % 2 == 1;
    for (std::size_t i = 1; usable && i + 1 < args.size(); i += 2) {
        if (args[i] == "--name" && !name) {
            name = args[i + 1];
        } else if (args[i] == "--dialect" && !dialect) {
            dialect = ParseDmisDialect(args[i + 1]);
            usable = dialect.has_value();
        } else {
            usable = false;
        }
    }
    if (!usable) {
        err << "usage: vantreel convert FILE [--name NAME] [--dialect strict|extended]\n";
        return 2;
    }
    InitResources();
    int32_t language = 0;
    SetLanguage(language);
    LegacyConversion conversion;
    conversion.SourceFile = args[0];
    conversion.Name = name ? *name : fs::path(args[0]).stem().string();
    // The tool lists the warnings itself; without --dialect the registry decides.
    conversion.Dialect = dialect;
    conversion.ReportWarnings = false;
    try {
        conversion.Directory = (fs::path(GetRepositoryRoot("")) / conversion.Name).string();
    } catch (const Error& error) {
        err << "ERROR: " << error.Description() << '\n';
        return 1;
    }
    const bool converted = ConvertLegacyPart(conversion);
    for (const DialectWarning& warning : conversion.Warnings) {
        err << warning.line << '\t' << warning.id << '\t' << warning.Text() << '\n';
    }
    if (!converted) {
        return 1;
    }
    // The part stands even when its build failed; the status says so.
    out << conversion.Directory << '\n';
    return conversion.Built ? 0 : 3;
}

int RunDemoStation(const std::string& directory, std::ostream& out, std::ostream& err) {
    try {
        const fs::path station = fs::absolute(directory);
        fs::create_directories(station);
        for (const char* folder :
             {"repository/Plates", "repository/Housings", "install/Bin", "vb6"}) {
            fs::create_directories(station / folder);
        }
        const std::string database = (station / "registry.db").string();
        RegFile(std::make_shared<RegistryStore>(database))
            .ImportBytes(RegistryText(station), "sample station");
        MakePart(station / "repository" / "Plates", "PLATE_4711");
        MakePart(station / "repository" / "Housings", "HOUSING_12");
        WriteText(station / "repository" / "BRACKET.DMS", kLegacyProgram);
        const fs::path standIn = station / "vb6" / "Vb6.exe";
        WriteText(standIn, kBuildStandIn);
        fs::permissions(standIn, fs::perms::owner_all | fs::perms::group_read |
                                     fs::perms::group_exec | fs::perms::others_read |
                                     fs::perms::others_exec);
        out << "Sample station in " << station.string() << ":\n"
            << "  registry    " << database << "  (export VANTREEL_REGISTRY=" << database << ")\n"
            << "  repository  " << (station / "repository").string() << "\n"
            << "  legacy file " << (station / "repository" / "BRACKET.DMS").string() << "\n"
            << "  Vb6.exe     " << standIn.string() << "  (a stand-in build script)\n";
    } catch (const Error& error) {
        err << "ERROR: " << error.Description() << '\n';
        return 1;
    } catch (const fs::filesystem_error& error) {
        err << "ERROR: " << error.what() << '\n';
        return 1;
    }
    return 0;
}

}  // namespace vantreel::cli
