#include "shared/RegEntry.h"
#include "shared/RegistryStore.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace vantreel::bench {
namespace {

// A station registry in a temporary file with the keys a dialog reads.
class StationRegistry {
  public:
    StationRegistry() {
        char pattern[] = "/tmp/vantreel-bench-registry-XXXXXX";
        directory_ = mkdtemp(pattern);
        setenv("VANTREEL_REGISTRY", (directory_ / "registry.db").c_str(), 1);
        RegEntry registry;
        registry.CreateKey("Common");
        registry.SetString("RepositoryRoot", "/srv/parts");
        registry.SetString("DefaultLanguage", "1031");
        for (int machine = 0; machine < 50; ++machine) {
            registry.CreateKey("Machines\\M" + std::to_string(machine));
            registry.SetString("Name", "Machine " + std::to_string(machine));
        }
    }
    ~StationRegistry() {
        std::error_code ignored;
        std::filesystem::remove_all(directory_, ignored);
    }

  private:
    std::filesystem::path directory_;
};

// What a dialog does for one setting: a RegEntry, OpenKey, GetString.
void BM_OpenKeyAndReadValue(benchmark::State& state) {
    StationRegistry station;
    for (auto _ : state) {
        RegEntry registry;
        registry.OpenKey("Machines\\M25");
        benchmark::DoNotOptimize(registry.GetString("Name"));
    }
}
BENCHMARK(BM_OpenKeyAndReadValue)->Repetitions(5)->ReportAggregatesOnly(true);

// One write: a RegEntry, CreateKey and SetString, each write its own
// transaction on disk.
void BM_WriteValue(benchmark::State& state) {
    StationRegistry station;
    int64_t i = 0;
    for (auto _ : state) {
        RegEntry registry;
        registry.CreateKey("Users\\bench");
        registry.SetString("LastPart", "/srv/parts/P" + std::to_string(i++ % 100));
    }
}
BENCHMARK(BM_WriteValue)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
}  // namespace vantreel::bench
