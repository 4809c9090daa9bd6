#include "components/PartContent.h"

#include "components/ArchivePath.h"
#include "components/PartManager.h"
#include "shared/Text.h"
#include "vantreel/Error.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <filesystem>
#include <set>
#include <string_view>

namespace vantreel {
namespace {

namespace fs = std::filesystem;

constexpr const char* kSource = "Ulmaret.Export";

constexpr std::array<std::string_view, 9> kSourceExtensions = {
    ".BAS", ".CLS", ".FRM", ".FRX", ".CTL", ".CTX", ".DSR", ".DSX", ".RES"};
constexpr std::array<std::string_view, 3> kProgramExtensions = {".EXE", ".DLL", ".OCX"};

template <std::size_t N>
bool HasExtension(const std::string& relative, const std::array<std::string_view, N>& list) {
    const std::string extension = ToUpperAscii(fs::path(relative).extension().string());
    return std::find(list.begin(), list.end(), extension) != list.end();
}

bool Selected(const std::string& relative, bool fix, bool source, bool executable) {
    const std::string top = relative.substr(0, relative.find('/'));
    if (EqualsIgnoringCase(top, "Fixture")) {
        return fix;
    }
    if (HasExtension(relative, kSourceExtensions)) {
        return source;
    }
    if (HasExtension(relative, kProgramExtensions)) {
        return executable;
    }
    return true;
}

// lstat, refusing everything but folders and regular files.
struct stat Inspect(const std::string& path, const std::string& partName) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0) {
        throw Error(53, kSource,
                    "'" + path + "' of the part '" + partName +
                        (errno == ENOENT ? "' does not exist" : "' cannot be read"));
    }
    if (S_ISLNK(info.st_mode)) {
        throw Error(75, kSource,
                    "'" + path + "' of the part '" + partName +
                        "' is a symbolic link; links are not exported, copy the file instead");
    }
    if (!S_ISDIR(info.st_mode) && !S_ISREG(info.st_mode)) {
        throw Error(75, kSource,
                    "'" + path + "' of the part '" + partName +
                        "' is neither a file nor a folder (a device, pipe or socket)");
    }
    return info;
}

}  // namespace

PartContent PartContent::Collect(const Part& part, bool fix, bool source, bool executable) {
    PartContent content;
    content.name = part.PartName();
    if (!IsSafePartName(content.name)) {
        throw Error(52, kSource, "'" + content.name + "' cannot name a part in an export");
    }
    const std::string root = part.FullPath();
    const struct stat rootInfo = Inspect(root, content.name);
    if (!S_ISDIR(rootInfo.st_mode)) {
        throw Error(76, kSource, "The part folder '" + root + "' does not exist");
    }

    std::vector<std::string> relatives;
    std::error_code error;
    fs::recursive_directory_iterator walk(root, fs::directory_options::none, error);
    for (; !error && walk != fs::recursive_directory_iterator(); walk.increment(error)) {
        relatives.push_back(walk->path().lexically_relative(root).generic_string());
    }
    if (error) {
        throw Error(75, kSource,
                    "The part folder '" + root + "' cannot be read: " + error.message());
    }
    std::sort(relatives.begin(), relatives.end());

    // The extra files first: they decide what else must travel.
    std::set<std::string> wanted;
    std::vector<Entry> outside;
    std::set<std::string> outsideNames;
    for (int16_t i = 1; i <= part.AdditionalFilesCount(); ++i) {
        const std::string file = part.AdditionalFiles(i);
        const struct stat info = Inspect(file, content.name);
        if (!S_ISREG(info.st_mode)) {
            throw Error(
                75, kSource,
                "The extra file '" + file + "' of the part '" + content.name + "' is not a file");
        }
        std::string relative;
        if (IsBelowDirectory(fs::absolute(file).string(), root, &relative)) {
            wanted.insert(relative);
        } else {
            const fs::path name = fs::path(file).filename();
            std::string candidate = std::string(kAdditionalFolder) + "/" + name.string();
            for (int n = 2; outsideNames.count(candidate) != 0 ||
                            std::binary_search(relatives.begin(), relatives.end(), candidate);
                 ++n) {
                candidate = std::string(kAdditionalFolder) + "/" + name.stem().string() + " (" +
                            std::to_string(n) + ")" + name.extension().string();
            }
            outsideNames.insert(candidate);
            outside.push_back({file, candidate, false, info.st_mode & 07777u,
                               static_cast<uint64_t>(info.st_size)});
            relative = candidate;
        }
        content.additional.push_back(relative);
    }

    std::set<std::string> folders;
    for (const std::string& relative : relatives) {
        const std::string path = root + "/" + relative;
        const struct stat info = Inspect(path, content.name);
        if (S_ISDIR(info.st_mode)) {
            const bool fixture =
                EqualsIgnoringCase(relative.substr(0, relative.find('/')), "Fixture");
            if (!fixture || fix) {
                content.entries.push_back({path, relative, true, info.st_mode & 07777u, 0});
                folders.insert(relative);
            }
            continue;
        }
        if (!Selected(relative, fix, source, executable) && wanted.count(relative) == 0) {
            continue;
        }
        // A wanted file in a folder left out brings its folders along.
        for (std::size_t slash = relative.find('/'); slash != std::string::npos;
             slash = relative.find('/', slash + 1)) {
            const std::string folder = relative.substr(0, slash);
            if (folders.insert(folder).second) {
                content.entries.push_back({root + "/" + folder, folder, true, 0755, 0});
            }
        }
        content.entries.push_back(
            {path, relative, false, info.st_mode & 07777u, static_cast<uint64_t>(info.st_size)});
    }
    for (const std::string& relative : wanted) {
        if (!std::binary_search(relatives.begin(), relatives.end(), relative)) {
            throw Error(53, kSource,
                        "The extra file '" + root + "/" + relative + "' of the part '" +
                            content.name + "' is missing");
        }
    }
    if (!outside.empty()) {
        if (folders.insert(kAdditionalFolder).second) {
            content.entries.push_back({root, kAdditionalFolder, true, 0755, 0});
        }
        for (Entry& entry : outside) {
            content.entries.push_back(std::move(entry));
        }
    }
    return content;
}

}  // namespace vantreel
