#include "shared/StagingDirectory.h"

#include "shared/AtomicFile.h"
#include "shared/RunTimeError.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>

namespace vantreel {
namespace {

namespace fs = std::filesystem;

std::string StagingName() {
    static thread_local std::mt19937 random{std::random_device{}()};
    char name[32];
    std::snprintf(name, sizeof name, "%08x", static_cast<unsigned>(random()));
    return std::string(AtomicFile::kTemporaryPrefix) + name +
           std::string(AtomicFile::kTemporarySuffix);
}

}  // namespace

StagingDirectory::StagingDirectory(const std::string& parent) {
    for (int attempt = 0;; ++attempt) {
        path_ = (fs::path(parent) / StagingName()).string();
        if (mkdir(path_.c_str(), 0777) == 0) {
            break;
        }
        if (errno != EEXIST || attempt >= 100) {
            const int error = errno;
            path_.clear();
            throw MakeError(
                RunTimeError::PathFileAccessError, "StagingDirectory",
                "A working folder cannot be made in '" + parent + "': " + std::strerror(error));
        }
    }
    lock_ = open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (lock_ < 0 || flock(lock_, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        std::error_code ignored;
        fs::remove_all(path_, ignored);
        if (lock_ >= 0) {
            close(lock_);
        }
        throw MakeError(
            RunTimeError::PathFileAccessError, "StagingDirectory",
            "The working folder '" + path_ + "' cannot be locked: " + std::strerror(error));
    }
}

StagingDirectory::~StagingDirectory() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
    close(lock_);
}

bool StagingDirectory::MoveInPlace(const std::string& from, const std::string& target) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return false;
    }
    // A file system without RENAME_NOREPLACE: look first. A directory is
    // never renamed over a non-empty one, so only an empty folder made in
    // between could be replaced.
    struct stat existing {};
    if (lstat(target.c_str(), &existing) == 0) {
        errno = EEXIST;
        return false;
    }
    return rename(from.c_str(), target.c_str()) == 0;
}

int StagingDirectory::CleanLeftovers(const std::string& parent) {
    int removed = 0;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(parent, error)) {
        if (!AtomicFile::IsTemporaryName(entry.path().filename().string()) ||
            !entry.is_directory(error) || entry.is_symlink(error)) {
            continue;
        }
        const int fd = open(entry.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0) {
            continue;
        }
        // Held by a living conversion: the lock is refused and the folder stays.
        if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
            std::error_code ignored;
            if (fs::remove_all(entry.path(), ignored) > 0) {
                ++removed;
            }
        }
        close(fd);
    }
    return removed;
}

}  // namespace vantreel
