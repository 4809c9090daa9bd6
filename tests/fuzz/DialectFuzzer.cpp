// libFuzzer target: any bytes as a DMIS file read by the extended dialect,
// through line preparation, scanner, parser, listing, Basic modules and
// teardown. Nothing may crash, hang or leak, whatever the warnings.
#include "dmis/DmisFile.h"
#include "dmis/model/CProgram.h"
#include "shared/Resources.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool languageSet = [] {
        vantreel::InitResources();
        int32_t english = 1033;
        return vantreel::SetLanguage(english);
    }();
    (void)languageSet;

    const std::string_view text(reinterpret_cast<const char*>(data), size);
    vantreel::CProgram program;
    const vantreel::DmisFileResult result =
        vantreel::ParseDmisText(text, "fuzz.dmi", program, vantreel::DmisDialect::Extended);
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
