#include "DmisGenerator.h"

#include "dmis/DmisFile.h"
#include "dmis/model/CProgram.h"
#include "shared/Resources.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace vantreel::bench {
namespace {

void UseEnglish() {
    static const bool done = [] {
        InitResources();
        int32_t english = 1033;
        return SetLanguage(english);
    }();
    (void)done;
}

// Scan and parse of a generated program of state.range(0) lines, and with
// writeBasic both Basic modules too. Repeated runs in one process are warm;
// cold figures and peak memory come from scripts/bench.sh.
void ConvertGenerated(benchmark::State& state, bool writeBasic) {
    UseEnglish();
    const std::string text = GenerateDmisProgram(state.range(0));
    for (auto _ : state) {
        CProgram program;
        const DmisFileResult result = ParseDmisText(text, "generated", program);
        if (!result.ok) {
            state.SkipWithError(result.message.c_str());
            return;
        }
        if (writeBasic) {
            std::ostringstream modMain, modSupport;
            program.WriteToBas(modMain, modSupport);
            benchmark::DoNotOptimize(modMain.str().size());
        }
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}

void BM_ScanAndParse(benchmark::State& state) {
    ConvertGenerated(state, false);
}
BENCHMARK(BM_ScanAndParse)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->MinTime(2);

// The listing of the parsed million-line program.
void BM_Listing(benchmark::State& state) {
    UseEnglish();
    const std::string text = GenerateDmisProgram(1'000'000);
    CProgram program;
    const DmisFileResult result = ParseDmisText(text, "generated", program);
    if (!result.ok) {
        state.SkipWithError(result.message.c_str());
        return;
    }
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::ostringstream listing;
        program.PrettyPrint(listing);
        bytes = listing.str().size();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes));
}
BENCHMARK(BM_Listing)->Unit(benchmark::kMillisecond)->MinTime(2);

// The whole conversion chain: scan, parse and write both Basic modules.
void BM_Convert(benchmark::State& state) {
    ConvertGenerated(state, true);
}
BENCHMARK(BM_Convert)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->MinTime(2);

// A real program when VANTREEL_DMIS_FILE names one (the corpus is not part of
// the repository): scan and parse up to its first error.
void BM_ScanAndParseFile(benchmark::State& state) {
    UseEnglish();
    const char* path = std::getenv("VANTREEL_DMIS_FILE");
    if (path == nullptr) {
        state.SkipWithError("set VANTREEL_DMIS_FILE to a DMIS file");
        return;
    }
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    const std::string text = content.str();
    for (auto _ : state) {
        CProgram program;
        benchmark::DoNotOptimize(ParseDmisText(text, path, program).ok);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ScanAndParseFile)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantreel::bench
