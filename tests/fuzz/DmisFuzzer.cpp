// libFuzzer target: any bytes as a DMIS file through scanner, parser, listing
// and teardown. Nothing may crash, hang or leak. The same bytes read from a
// file, whose tokens are made as the parser reads them, must give the same
// answer and the same listing as when they are scanned whole from memory.
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

struct Outcome {
    bool ok = false;
    std::string message;
    std::string listing;
};

Outcome Listed(const vantreel::DmisFileResult& result, vantreel::CProgram& program) {
    Outcome outcome{result.ok, result.message, {}};
    if (result.ok) {
        std::ostringstream listing;
        program.PrettyPrint(listing);
        outcome.listing = listing.str();
    }
    return outcome;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool languageSet = [] {
        vantreel::InitResources();
        int32_t english = 1033;
        return vantreel::SetLanguage(english);
    }();
    (void)languageSet;
    static const std::string path = "/tmp/vantreel-fuzz-" + std::to_string(getpid()) + ".dmi";

    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Outcome fromText;
    {
        vantreel::CProgram program;
        fromText = Listed(vantreel::ParseDmisText(text, path, program), program);
    }
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(text.data(), static_cast<std::streamsize>(text.size()));
    Outcome fromFile;
    {
        vantreel::CProgram program;
        fromFile = Listed(vantreel::ParseDmisFile(path, program), program);
    }
    std::remove(path.c_str());
    if (fromText.ok != fromFile.ok || fromText.message != fromFile.message ||
        fromText.listing != fromFile.listing) {
        std::fprintf(stderr, "file and memory differ:\n%s\n---\n%s\n", fromText.message.c_str(),
                     fromFile.message.c_str());
        std::abort();
    }
    return 0;
}
