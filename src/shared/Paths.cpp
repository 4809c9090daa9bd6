#include "shared/Paths.h"
#include "shared/Text.h"

#include "shared/RunTimeError.h"
#include "vantreel/Error.h"

#include <glob.h>
#include <sys/stat.h>
#include <filesystem>

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
    const std::string_view trimmed = TrimRight(sPath);
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
    if (end <= 2 && sPath.size() >= 2 && sPath[1] == ':') {
        // Nothing above the drive: its root ("C:\", "C:A" and "C:\A" give "C:\").
        return std::string(sPath.substr(0, 2)) + "\\";
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

std::string FindFileIgnoringCase(const std::string& directory, const std::string& name) {
    const std::string exact = CombinePath(directory, name);
    std::error_code error;
    if (directory.empty() || std::filesystem::exists(exact, error)) {
        return exact;
    }
    std::string found;
    for (const auto& entry : std::filesystem::directory_iterator(directory, error)) {
        const std::string candidate = entry.path().filename().string();
        if (EqualsIgnoringCase(candidate, name) && (found.empty() || candidate < found)) {
            found = candidate;
        }
    }
    return found.empty() ? exact : CombinePath(directory, found);
}

std::string FileNameProblem(std::string_view name, std::size_t roomBytes) {
    constexpr std::size_t kMaxNameBytes = 255;
    if (name.empty()) {
        return "a name is needed";
    }
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            return "it holds a control character";
        }
        if (std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos) {
            return std::string("it holds the character ") + c + ", which a file name cannot hold";
        }
    }
    if (name.back() == '.' || name.back() == ' ') {
        return name.back() == '.' ? "it ends in a dot" : "it ends in a blank";
    }
    // The device names are reserved before any extension and trailing blanks.
    std::string_view stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ') {
        stem.remove_suffix(1);
    }
    const std::string upper = ToUpperAscii(stem);
    const bool numbered = upper.size() == 4 &&
                          (upper.starts_with("COM") || upper.starts_with("LPT")) &&
                          upper[3] >= '1' && upper[3] <= '9';
    if (upper == "CON" || upper == "PRN" || upper == "AUX" || upper == "NUL" || numbered) {
        return "it is the reserved device name " + std::string(stem);
    }
    if (name.size() + roomBytes > kMaxNameBytes) {
        return "it has " + std::to_string(name.size()) + " bytes; at most " +
               std::to_string(kMaxNameBytes - roomBytes) + " fit";
    }
    return {};
}

}  // namespace vantreel
