#include "shared/InstallLayout.h"

#include <dlfcn.h>
#include <link.h>

#include <array>
#include <filesystem>
#include <system_error>

// Where the data directory lies from the directories the executables and the
// shared library are installed to (set by the build from its install layout).
#ifndef VANTREEL_DATA_FROM_BINDIR
#define VANTREEL_DATA_FROM_BINDIR "../share/vantreel"
#endif
#ifndef VANTREEL_DATA_FROM_LIBDIR
#define VANTREEL_DATA_FROM_LIBDIR "../share/vantreel"
#endif

namespace vantreel {
namespace {

void Anchor() {}

}  // namespace

std::string LoadedFromPath() {
    Dl_info info{};
    link_map* map = nullptr;
    if (dladdr1(reinterpret_cast<void*>(&Anchor), &info, reinterpret_cast<void**>(&map),
                RTLD_DL_LINKMAP) == 0) {
        return {};
    }
    // The main program has an empty name in the loader's list; dladdr then
    // reports argv[0], which need not be a path at all.
    std::filesystem::path path = map != nullptr && map->l_name != nullptr && *map->l_name != '\0'
                                     ? std::filesystem::path(map->l_name)
                                     : std::filesystem::path("/proc/self/exe");
    std::error_code error;
    path = std::filesystem::canonical(path, error);
    return error ? std::string() : path.string();
}

std::string InstalledDataDirectory() {
    const std::string loaded = LoadedFromPath();
    if (loaded.empty()) {
        return {};
    }
    const std::filesystem::path directory = std::filesystem::path(loaded).parent_path();
    for (const char* relative : std::array{VANTREEL_DATA_FROM_LIBDIR, VANTREEL_DATA_FROM_BINDIR}) {
        std::error_code error;
        const std::filesystem::path candidate =
            std::filesystem::weakly_canonical(directory / relative, error);
        if (!error && std::filesystem::is_regular_file(candidate / "ENU110000.rc", error)) {
            return candidate.string();
        }
    }
    return {};
}

}  // namespace vantreel
