#include "shared/Paths.h"
#include "shared/Text.h"

#include "shared/RunTimeError.h"
#include "vantreel/Error.h"

#include <glob.h>
#include <sys/stat.h>

namespace vantreel {
namespace {

bool StandsAlone(std::string_view path) {
    return (!path.empty() && IsPathSeparator(path[0])) || (path.size() >= 2 && path[1] == ':');
}

bool IsRegularFile(const char* path) {
    struct stat info {};
    return stat(path, &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

bool IsPathSeparator(char c) noexcept {
    return c == '/' || c == '\\';
}

void AddPathSeparator(std::string& sPath) {
    const std::size_t end = sPath.find_last_not_of(' ');
    const std::string_view trimmed =
        end == std::string::npos ? std::string_view() : std::string_view(sPath).substr(0, end + 1);
    if (trimmed.empty() || !IsPathSeparator(trimmed.back())) {
        // A path written with backslashes only goes on with a backslash.
        const bool windowsPath = trimmed.find('\\') != std::string_view::npos &&
                                 trimmed.find('/') == std::string_view::npos;
        sPath = std::string(trimmed) + (windowsPath ? "\\" : "/");
    }
}

std::string CombinePath(std::string_view sBase, std::string_view sRelative) {
    std::string base(Trim(sBase));
    std::string_view relative = Trim(sRelative);
    if (StandsAlone(relative)) {
        return std::string(relative);
    }
    while (relative.starts_with('.')) {
        if (relative.size() >= 2 && IsPathSeparator(relative[1])) {
            relative.remove_prefix(2);
        } else if (relative.size() >= 3 && relative[1] == '.' && IsPathSeparator(relative[2])) {
            relative.remove_prefix(3);
            base = ParentDirectory(base);
        } else {
            relative.remove_prefix(1);
        }
    }
    AddPathSeparator(base);
    return base + std::string(relative);
}

std::string ParentDirectory(std::string_view sPath) {
    std::size_t end = sPath.size();
    while (end > 0 && IsPathSeparator(sPath[end - 1])) {
        --end;
    }
    while (end > 0 && !IsPathSeparator(sPath[end - 1])) {
        --end;
    }
    return std::string(sPath.substr(0, end));
}

std::string StripAtNul(std::string_view s) {
    return std::string(s.substr(0, s.find('\0')));
}

std::string GetShortPath(const std::string& sPath) {
    struct stat info {};
    if (sPath.empty() || stat(sPath.c_str(), &info) != 0) {
        throw MakeError(RunTimeError::FileNotFound, "GetShortPath", "File not found");
    }
    return sPath;
}

bool FileExists(const std::string& sPath) {
    if (sPath.empty()) {
        return false;
    }
    if (sPath.find_first_of("*?") == std::string::npos) {
        return IsRegularFile(sPath.c_str());
    }
    glob_t matches{};
    bool found = false;
    if (glob(sPath.c_str(), GLOB_NOSORT, nullptr, &matches) == 0) {
        for (std::size_t i = 0; i < matches.gl_pathc && !found; ++i) {
            found = IsRegularFile(matches.gl_pathv[i]);
        }
    }
    globfree(&matches);
    return found;
}

bool DirectoryExists(const std::string& sPath) {
    struct stat info {};
    return !sPath.empty() && stat(sPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace vantreel
