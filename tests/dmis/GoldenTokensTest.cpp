#include "GoldenFiles.h"

#include "dmis/DmisFile.h"
#include "dmis/model/CProgram.h"
#include "dmis/scan/Scanner.h"
#include "dmis/scan/TokenDump.h"
#include "shared/Resources.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace vantreel::test {
namespace {

const std::filesystem::path kDataDirectory = std::filesystem::path(VANTREEL_TEST_DATA) / "dmis";

// The token dump of a file, followed by the scan failure, if any, with the
// file's directory left out so the text is the same on every machine.
std::string DumpOf(const std::filesystem::path& source) {
    CProgram program;
    Scanner scanner;
    const bool ok = scanner.ScanFile(source.string(), program);
    std::ostringstream out;
    WriteTokenDump(scanner, program.objComments.get(), out);
    if (!ok) {
        std::string error = scanner.LastError();
        const std::string directory = source.parent_path().string() + "/";
        if (const std::size_t at = error.find(directory); at != std::string::npos) {
            error.erase(at, directory.size());
        }
        out << "failed\t" << error << '\n';
    }
    return out.str();
}

TEST(GoldenTokens, EveryDmisFileMatchesItsDump) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kDataDirectory)) {
        if (entry.path().extension() != ".dmi") {
            continue;
        }
        ++files;
        SCOPED_TRACE(entry.path().filename().string());
        std::filesystem::path golden = entry.path();
        golden.replace_extension(".tokens");
        ExpectMatchesGolden(golden, DumpOf(entry.path()));
    }
    EXPECT_GE(files, 5);
}

// The listing of each program in parse/, or its first error.
TEST(GoldenListings, EveryProgramMatchesItsListing) {
    InitResources();
    int32_t english = 1033;
    SetLanguage(english);
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kDataDirectory / "parse")) {
        if (entry.path().extension() != ".dmi") {
            continue;
        }
        ++files;
        SCOPED_TRACE(entry.path().filename().string());
        CProgram program;
        const DmisFileResult result = ParseDmisFile(entry.path().string(), program);
        std::ostringstream out;
        if (result.ok) {
            program.PrettyPrint(out);
            // The Basic modules of the program, both in one golden file.
            std::ostringstream modMain, modSupport;
            program.WriteToBas(modMain, modSupport);
            std::filesystem::path modules = entry.path();
            modules.replace_extension(".bas");
            ExpectMatchesGolden(modules,
                                modMain.str() + "---- support module ----\r\n" + modSupport.str());
        } else {
            out << "failed\t" << result.message << '\n';
        }
        std::filesystem::path golden = entry.path();
        golden.replace_extension(".listing");
        ExpectMatchesGolden(golden, out.str());
    }
    EXPECT_GE(files, 4);
}

}  // namespace
}  // namespace vantreel::test
