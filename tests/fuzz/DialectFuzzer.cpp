// libFuzzer target: any bytes as a DMIS file read by the extended dialect,
// through line preparation, scanner, parser, listing, Basic modules and
// teardown. Nothing may crash, hang or leak, whatever the warnings. The same
// bytes read from a file, whose tokens are made as the parser reads them, must
// give the same answer, warnings and listing.
#include "dmis/DmisFile.h"
#include "dmis/model/CProgram.h"
#include "shared/Resources.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

namespace {

// The answer, the warnings and the listing of one parse, as one text.
std::string Outcome(const vantreel::DmisFileResult& result, vantreel::CProgram& program) {
    std::string text = (result.ok ? "ok\n" : "failed\n") + result.message + '\n';
    for (const vantreel::DialectWarning& warning : result.warnings) {
        text += std::to_string(warning.line) + ' ' + std::to_string(warning.id) + ' ' +
                warning.Text() + '\n';
    }
    if (result.ok) {
        std::ostringstream listing;
        program.PrettyPrint(listing);
        text += listing.str();
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool languageSet = [] {
        vantreel::InitResources();
        int32_t english = 1033;
        return vantreel::SetLanguage(english);
    }();
    (void)languageSet;

    static const std::string path =
        "/tmp/vantreel-dialect-fuzz-" + std::to_string(getpid()) + ".dmi";

    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(text.data(), static_cast<std::streamsize>(text.size()));
    std::string fromFile;
    {
        vantreel::CProgram program;
        fromFile = Outcome(vantreel::ParseDmisFile(path, program, vantreel::DmisDialect::Extended),
                           program);
    }
    std::remove(path.c_str());

    vantreel::CProgram program;
    const vantreel::DmisFileResult result =
        vantreel::ParseDmisText(text, path, program, vantreel::DmisDialect::Extended);
    if (Outcome(result, program) != fromFile) {
        std::fprintf(stderr, "file and memory differ:\n%s\n---\n%s\n",
                     Outcome(result, program).c_str(), fromFile.c_str());
        std::abort();
    }
    for (const vantreel::DialectWarning& warning : result.warnings) {
        if (warning.line < 0 || warning.Text().empty()) {
            __builtin_trap();  // every warning has a line and a text
        }
    }
    if (result.ok) {
        std::ostringstream listing;
        program.PrettyPrint(listing);
        std::ostringstream modMain;
        std::ostringstream modSupport;
        program.WriteToBas(modMain, modSupport);
    }
    return 0;
}
