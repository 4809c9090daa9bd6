#include "DmisGenerator.h"

#include "dmis/model/CProgram.h"
#include "dmis/scan/Scanner.h"

#include <benchmark/benchmark.h>

#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace vantreel::bench {
namespace {

constexpr int64_t kLines = 1'000'000;

const std::string& Program() {
    static const std::string program = GenerateDmisProgram(kLines);
    return program;
}

const std::string& ProgramFile() {
    static const std::string path = [] {
        char pattern[] = "/tmp/vantreel-bench-XXXXXX";
        const int fd = mkstemp(pattern);
        if (fd >= 0) {
            close(fd);
        }
        std::ofstream(pattern, std::ios::binary) << Program();
        std::atexit([] { std::remove(ProgramFile().c_str()); });
        return std::string(pattern);
    }();
    return path;
}

// Scanning a file of a million lines from disk (page cache): throughput and
// the token count. Peak memory comes from scripts/bench.sh.
void BM_ScanFile(benchmark::State& state) {
    const std::string& path = ProgramFile();
    int64_t tokens = 0;
    for (auto _ : state) {
        CProgram program;
        Scanner scanner;
        if (!scanner.ScanFile(path, program)) {
            state.SkipWithError(scanner.LastError().c_str());
            return;
        }
        tokens = scanner.TokenCount();
        benchmark::DoNotOptimize(scanner.TokenCount());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(Program().size()));
    state.counters["tokens"] = static_cast<double>(tokens);
    state.counters["lines"] = static_cast<double>(kLines);
}
BENCHMARK(BM_ScanFile)->Unit(benchmark::kMillisecond)->MinTime(3);

// The same text from memory: the lexer without the file reads.
void BM_ScanText(benchmark::State& state) {
    const std::string& text = Program();
    for (auto _ : state) {
        CProgram program;
        Scanner scanner;
        benchmark::DoNotOptimize(scanner.ScanText(text, program, "generated"));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ScanText)->Unit(benchmark::kMillisecond)->MinTime(3);

}  // namespace
}  // namespace vantreel::bench
