#include "components/FileSystemFolder.h"

#include "components/FileSystemPart.h"
#include "shared/AtomicFile.h"
#include "shared/Configuration.h"
#include "shared/Paths.h"
#include "shared/RunTimeError.h"
#include "shared/Text.h"
#include "vantreel/Error.h"

#include <algorithm>
#include <filesystem>
#include <vector>

namespace vantreel {
namespace {

namespace fs = std::filesystem;

constexpr const char* kSource = "Ulmaret.Folder";

class FileSystemPlainFile : public PlainFile {
  public:
    explicit FileSystemPlainFile(fs::path path) : path_(std::move(path)) {}
    std::string FullPath() const override { return path_.string(); }
    std::string ShortName() const override { return path_.filename().string(); }

  private:
    fs::path path_;
};

std::string Normalised(const std::string& path) {
    std::string normalised(TrimRight(Trim(path), "/"));
    return normalised.empty() && !path.empty() ? "/" : normalised;
}

// The entries of a directory, sorted by name, as the dialogs list them.
std::vector<fs::directory_entry> EntriesOf(const std::string& directory) {
    std::error_code error;
    std::vector<fs::directory_entry> entries;
    for (const auto& entry : fs::directory_iterator(directory, error)) {
        entries.push_back(entry);
    }
    if (error) {
        throw MakeError(RunTimeError::PathFileAccessError, kSource,
                        "The folder '" + directory + "' cannot be read: " + error.message());
    }
    // All in one directory: the whole paths order as their names do.
    std::sort(entries.begin(), entries.end(),
              [](const auto& a, const auto& b) { return a.path().native() < b.path().native(); });
    return entries;
}

}  // namespace

void FileSystemFolder::RequireOpen() const {
    if (path_.empty()) {
        throw MakeError(RunTimeError::ObjectNotSet, kSource, "No folder is open");
    }
}

void FileSystemFolder::OpenFolder(const std::string& sPath) {
    const std::string root = Normalised(GetRepositoryRoot(""));
    const std::string path = Trim(sPath).empty() ? root : Normalised(sPath);
    std::error_code error;
    if (path.empty() || !fs::is_directory(path, error)) {
        throw MakeError(RunTimeError::PathNotFound, kSource,
                        "The folder '" + (path.empty() ? sPath : path) + "' does not exist");
    }
    path_ = path;
    root_ = root;
}

std::string FileSystemFolder::ShortName() const {
    return path_ == root_ ? std::string() : fs::path(path_).filename().string();
}

void FileSystemFolder::GetFolders(KeyedCollection<PartFolder>& colFolders, bool) const {
    RequireOpen();
    for (const fs::directory_entry& entry : EntriesOf(path_)) {
        std::error_code error;
        const std::string path = entry.path().string();
        if (entry.is_directory(error) && !FileSystemPart::IsPartDirectory(path) &&
            !AtomicFile::IsTemporaryName(entry.path().filename().string())) {
            auto folder = std::make_unique<FileSystemFolder>();
            folder->path_ = path;
            folder->root_ = root_;
            colFolders.Add(std::move(folder), path);
        }
    }
}

void FileSystemFolder::GetParts(KeyedCollection<Part>& colParts, bool) const {
    RequireOpen();
    for (const fs::directory_entry& entry : EntriesOf(path_)) {
        std::error_code error;
        std::string path = entry.path().string();
        if (!entry.is_directory(error)) {
            continue;
        }
        // Opening tells a part from a folder, with one look at the directory.
        auto part = std::make_unique<FileSystemPart>();
        try {
            part->OpenProject(path);
        } catch (const Error&) {
            continue;
        }
        colParts.Add(std::move(part), path);
    }
}

void FileSystemFolder::GetFiles(KeyedCollection<PlainFile>& colFiles, bool) const {
    RequireOpen();
    for (const fs::directory_entry& entry : EntriesOf(path_)) {
        std::error_code error;
        if (entry.is_regular_file(error) &&
            !AtomicFile::IsTemporaryName(entry.path().filename().string())) {
            colFiles.Add(std::make_unique<FileSystemPlainFile>(entry.path()),
                         entry.path().string());
        }
    }
}

void FileSystemFolder::CreateFolder(const std::string& sParent, const std::string& sName) {
    const std::string name(Trim(sName));
    if (const std::string problem = FileNameProblem(name); !problem.empty()) {
        throw MakeError(RunTimeError::BadFileName, kSource,
                        "'" + sName + "' cannot name a folder: " + problem);
    }
    const fs::path path = fs::path(Normalised(sParent)) / name;
    std::error_code error;
    if (fs::exists(path, error)) {
        throw MakeError(RunTimeError::FileAlreadyExists, kSource,
                        "The folder '" + path.string() + "' already exists");
    }
    if (!fs::create_directory(path, error)) {
        throw MakeError(RunTimeError::PathFileAccessError, kSource,
                        "The folder '" + path.string() + "' cannot be created: " + error.message());
    }
    if (root_.empty()) {
        root_ = Normalised(GetRepositoryRoot(""));
    }
    path_ = path.string();
}

void FileSystemFolder::RenameFolder(const std::string& sNewFullPath) {
    RequireOpen();
    const std::string target = Normalised(sNewFullPath);
    if (const std::string problem = FileNameProblem(fs::path(target).filename().string());
        !target.empty() && !problem.empty()) {
        throw MakeError(RunTimeError::BadFileName, kSource,
                        "'" + sNewFullPath + "' cannot name a folder: " + problem);
    }
    std::error_code error;
    if (target.empty() || fs::exists(target, error)) {
        throw MakeError(RunTimeError::FileAlreadyExists, kSource,
                        "The folder '" + sNewFullPath + "' already exists");
    }
    fs::rename(path_, target, error);
    if (error) {
        throw MakeError(
            RunTimeError::PathFileAccessError, kSource,
            "The folder '" + path_ + "' cannot be renamed to '" + target + "': " + error.message());
    }
    path_ = target;
}

bool FileSystemFolder::ContainsPart(const std::string& sPartName) const {
    const std::string root = root_.empty() ? Normalised(GetRepositoryRoot("")) : root_;
    std::error_code error;
    // A walk with a list of directories still to visit, without recursion.
    std::vector<fs::path> pending{root};
    while (!pending.empty()) {
        const fs::path directory = pending.back();
        pending.pop_back();
        for (const auto& entry : fs::directory_iterator(directory, error)) {
            if (!entry.is_directory(error) || entry.is_symlink(error) ||
                AtomicFile::IsTemporaryName(entry.path().filename().string())) {
                continue;
            }
            const std::string name = FileSystemPart::ProjectNameIn(entry.path().string());
            if (name.empty()) {
                pending.push_back(entry.path());
            } else if (EqualsIgnoringCase(name, sPartName)) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace vantreel
