// libFuzzer target: any bytes as a model stream. Loading must end in a model
// or a clear error, never a crash, a hang or a huge allocation; a loaded
// model must list, convert to Basic and stream again.
#include "dmis/model/CProgram.h"
#include "dmis/stream/Datastream.h"
#include "shared/Resources.h"
#include "vantreel/Error.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "/tmp/vantreel-stream-fuzz-" + std::to_string(getpid());
    static const bool languageSet = [] {
        vantreel::InitResources();
        int32_t english = 1033;
        return vantreel::SetLanguage(english);
    }();
    (void)languageSet;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return 0;
    }
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    vantreel::CProgram program;
    try {
        vantreel::Datastream stream;
        stream.ReadOpen(path);
        program.ReadStream(stream);
    } catch (const vantreel::Error&) {
        return 0;
    }
    std::ostringstream listing;
    program.PrettyPrint(listing);
    try {
        vantreel::Datastream stream;
        stream.WriteOpen(path);
        program.WriteStream(stream);
        stream.WriteClose();
        std::ostringstream modMain, modSupport;
        program.WriteToBas(modMain, modSupport);
    } catch (const vantreel::Error&) {
        // a value the loaded model cannot hold in Basic or in a stream
    }
    return 0;
}
