// libFuzzer target: any bytes as a DMIS file through scanner, parser, listing
// and teardown. Nothing may crash, hang or leak.
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
    if (vantreel::ParseDmisText(text, "fuzz.dmi", program).ok) {
        std::ostringstream listing;
        program.PrettyPrint(listing);
    }
    return 0;
}
