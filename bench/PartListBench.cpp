#include "partselect/FormPartSelect.h"
#include "partselect/PartListing.h"
#include "partselect/PartSelectState.h"
#include "shared/RegEntry.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>

namespace vantreel::bench {
namespace {

namespace fs = std::filesystem;

// A repository whose root holds `parts` parts (each a directory with its
// project file), 20 folders and 20 legacy files, with a registry that points
// at it. Made once per size and kept for every benchmark of that size.
class Repository {
  public:
    explicit Repository(int parts) {
        char pattern[] = "/tmp/vantreel-bench-parts-XXXXXX";
        directory_ = mkdtemp(pattern);
        root_ = directory_ / "parts";
        for (int i = 0; i < parts; ++i) {
            const std::string name = "PART_" + std::to_string(100000 + i);
            fs::create_directories(root_ / name);
            std::ofstream(root_ / name / (name + ".vbp")) << "Type=Exe\r\n";
        }
        for (int i = 0; i < 20; ++i) {
            fs::create_directories(root_ / ("Folder " + std::to_string(i)));
            std::ofstream(root_ / ("LEGACY_" + std::to_string(i) + ".DMS")) << "ENDFIL\n";
        }
        registry_ = (directory_ / "registry.db").string();
    }
    ~Repository() {
        std::error_code ignored;
        fs::remove_all(directory_, ignored);
    }

    // Makes this repository the one the library lists.
    void Use() const {
        setenv("VANTREEL_REGISTRY", registry_.c_str(), 1);
        RegEntry registry;
        registry.CreateKey("Common");
        registry.SetString("RepositoryRoot", root_.string());
        registry.CreateKey("Users");
    }

    static Repository& OfSize(int parts) {
        static std::map<int, std::unique_ptr<Repository>> made;
        auto& repository = made[parts];
        if (!repository) {
            repository = std::make_unique<Repository>(parts);
        }
        repository->Use();
        return *repository;
    }

  private:
    fs::path directory_;
    fs::path root_;
    std::string registry_;
};

// One listing of the root as the dialog and `vantreel parts list` make it:
// open the root, ask the part manager for folders, parts and files, filter,
// build the entries. Warm: the file system's caches hold the directories.
void ListRoot(benchmark::State& state, bool details) {
    const int parts = static_cast<int>(state.range(0));
    Repository::OfSize(parts);
    std::size_t entries = 0;
    for (auto _ : state) {
        PartSelectState listing;
        listing.ListMode = !details;
        if (!ResetView(listing, "")) {
            state.SkipWithError("the repository cannot be listed");
            return;
        }
        entries = listing.Items.size();
        benchmark::DoNotOptimize(listing.Items.data());
    }
    state.counters["entries"] = static_cast<double>(entries);
    state.counters["entries/s"] = benchmark::Counter(static_cast<double>(entries),
                                                     benchmark::Counter::kIsIterationInvariantRate);
    state.SetComplexityN(parts);
}

void BM_ListRepositoryRoot(benchmark::State& state) {
    ListRoot(state, false);
}
BENCHMARK(BM_ListRepositoryRoot)
    ->RangeMultiplier(10)
    ->Range(100, 10000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

void BM_ListRepositoryRootWithDates(benchmark::State& state) {
    ListRoot(state, true);
}
BENCHMARK(BM_ListRepositoryRootWithDates)
    ->RangeMultiplier(10)
    ->Range(100, 10000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// The dialog's loading as a host call makes it, offscreen: the listing and
// the list widget filled with every entry and its icon.
void BM_LoadPartSelectDialog(benchmark::State& state) {
    const int parts = static_cast<int>(state.range(0));
    Repository::OfSize(parts);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "vantreel_bench";
    static char* argv[] = {name, nullptr};
    static QApplication* application = new QApplication(argc, argv);
    (void)application;
    PartSelectState listing;
    listing.SelectExisting = true;
    FormPartSelect form(listing);
    for (auto _ : state) {
        if (!form.Load()) {
            state.SkipWithError("the dialog cannot be loaded");
            return;
        }
    }
    state.counters["entries/s"] = benchmark::Counter(static_cast<double>(listing.Items.size()),
                                                     benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_LoadPartSelectDialog)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantreel::bench
