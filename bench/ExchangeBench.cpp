// Exporting and importing parts: the part manager's export object against the
// zip and unzip commands on the same files, with the peak memory of each.
//
//   vantreel_bench --benchmark_filter=Exchange
//
// Each part holds its project file and 1 MB of measurement text (compresses
// about as well as real point data). The counter peak_rss_MB is the process's
// high-water mark after the run (the program's own for the commands); it stays
// flat from 50 to 200 parts when the work streams.

#include "components/FileSystemExport.h"
#include "components/FileSystemPart.h"

#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace vantreel {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kPartBytes = 1024 * 1024;

// Parts made once per count, written line by line (never held in memory).
class Station {
  public:
    explicit Station(int parts) {
        char pattern[] = "/tmp/vantreel-exchange-bench-XXXXXX";
        directory_ = mkdtemp(pattern);
        std::mt19937 random(static_cast<unsigned>(parts));
        std::uniform_real_distribution<double> coordinate(-500.0, 500.0);
        for (int i = 0; i < parts; ++i) {
            const std::string name = "PART_" + std::to_string(i);
            const fs::path folder = directory_ / "parts" / name;
            fs::create_directories(folder);
            std::ofstream(folder / (name + ".vbp")) << "Type=Exe\r\nName=\"" << name << "\"\r\n";
            std::ofstream data(folder / "points.txt", std::ios::binary);
            std::size_t written = 0;
            char line[96];
            while (written < kPartBytes) {
                const int length =
                    std::snprintf(line, sizeof line, "X=%.4f Y=%.4f Z=%.4f\r\n", coordinate(random),
                                  coordinate(random), coordinate(random));
                data.write(line, length);
                written += static_cast<std::size_t>(length);
            }
            names_.push_back(name);
            auto part = std::make_unique<FileSystemPart>();
            std::string path = folder.string();
            part->OpenProject(path);
            parts_.push_back(std::move(part));
        }
    }
    ~Station() {
        std::error_code ignored;
        fs::remove_all(directory_, ignored);
    }

    std::vector<const Part*> Parts() const {
        std::vector<const Part*> list;
        for (const auto& part : parts_) {
            list.push_back(part.get());
        }
        return list;
    }
    const std::vector<std::string>& Names() const { return names_; }
    fs::path Path(const std::string& relative) const { return directory_ / relative; }

  private:
    fs::path directory_;
    std::vector<std::string> names_;
    std::vector<std::unique_ptr<FileSystemPart>> parts_;
};

Station& StationOf(int parts) {
    static std::unique_ptr<Station> station;
    static int made = 0;
    if (made != parts) {
        station.reset();
        station = std::make_unique<Station>(parts);
        made = parts;
    }
    return *station;
}

// This process's high-water mark.
double PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// Runs a program in a folder under /usr/bin/time and gives the program's peak
// memory in MB. (The rusage of a child started from this process would count
// this process's own high-water mark, inherited across exec.) The benchmark
// fails when the program does.
double Run(benchmark::State& state, const fs::path& folder, std::vector<std::string> arguments) {
    const std::string report = (fs::temp_directory_path() / "vantreel-bench-time.txt").string();
    arguments.insert(arguments.begin(), {"/usr/bin/time", "-f", "%M", "-o", report});
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    pid_t pid = 0;
    const int error = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (error != 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        state.SkipWithError(("failed: " + arguments[6]).c_str());
        return 0;
    }
    double kilobytes = 0;
    std::ifstream(report) >> kilobytes;
    return kilobytes / 1024.0;
}

void Report(benchmark::State& state, int parts, double peakMegabytes) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * parts *
                            static_cast<int64_t>(kPartBytes));
    state.counters["peak_rss_MB"] = peakMegabytes;
}

void BM_ExchangeExportProjects(benchmark::State& state) {
    const int parts = static_cast<int>(state.range(0));
    Station& station = StationOf(parts);
    const std::string file = station.Path("export.zip").string();
    FileSystemExport exporter;
    for (auto _ : state) {
        exporter.ExportProjects(file, "Bench", "bench", "", station.Parts(), true, true, true);
    }
    Report(state, parts, PeakMegabytes());
}

void BM_ExchangeZipCommand(benchmark::State& state) {
    const int parts = static_cast<int>(state.range(0));
    Station& station = StationOf(parts);
    const fs::path file = station.Path("zip.zip");
    double peak = 0;
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove(file);
        state.ResumeTiming();
        peak = Run(state, station.Path("parts"), {"zip", "-q", "-r", file.string(), "."});
    }
    Report(state, parts, peak);
}

void BM_ExchangeImportProjects(benchmark::State& state) {
    const int parts = static_cast<int>(state.range(0));
    Station& station = StationOf(parts);
    const std::string file = station.Path("import.zip").string();
    FileSystemExport exporter;
    exporter.ExportProjects(file, "Bench", "bench", "", station.Parts(), true, true, true);
    const fs::path target = station.Path("imported");
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(target);
        fs::create_directories(target);
        state.ResumeTiming();
        exporter.ImportProjects(file, station.Names(), target.string(), false);
    }
    Report(state, parts, PeakMegabytes());
}

void BM_ExchangeUnzipCommand(benchmark::State& state) {
    const int parts = static_cast<int>(state.range(0));
    Station& station = StationOf(parts);
    const fs::path file = station.Path("unzip.zip");
    fs::remove(file);
    Run(state, station.Path("parts"), {"zip", "-q", "-r", file.string(), "."});
    const fs::path target = station.Path("unzipped");
    double peak = 0;
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(target);
        state.ResumeTiming();
        peak = Run(state, station.Path(""), {"unzip", "-q", file.string(), "-d", target.string()});
    }
    Report(state, parts, peak);
}

// 50 parts first: peak_rss_MB of the 200-part runs shows whether memory grew.
// Rates are by wall time: the commands spend their CPU time in a child.
BENCHMARK(BM_ExchangeExportProjects)
    ->Arg(50)
    ->Arg(200)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK(BM_ExchangeImportProjects)
    ->Arg(200)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK(BM_ExchangeZipCommand)
    ->Arg(200)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK(BM_ExchangeUnzipCommand)
    ->Arg(200)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

}  // namespace
}  // namespace vantreel
