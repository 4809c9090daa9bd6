#include "shared/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>

namespace vantreel {
namespace {

constexpr int kMaxLinkHops = 40;  // as the kernel allows before ELOOP

std::string DirectoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string TemporaryName(const std::string& directory) {
    static std::atomic<unsigned> counter{0};
    static thread_local std::mt19937 random{std::random_device{}()};
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, "%08x",
                  static_cast<unsigned>(random()) ^ (counter++ * 2654435761u));
    return (directory == "/" ? std::string() : directory) + "/" +
           std::string(AtomicFile::kTemporaryPrefix) + suffix +
           std::string(AtomicFile::kTemporarySuffix);
}

}  // namespace

std::string_view FileKindName(unsigned mode) noexcept {
    switch (mode & S_IFMT) {
        case S_IFREG:
            return "a regular file";
        case S_IFDIR:
            return "a directory";
        case S_IFCHR:
            return "a character device";
        case S_IFBLK:
            return "a block device";
        case S_IFIFO:
            return "a FIFO";
        case S_IFSOCK:
            return "a socket";
        case S_IFLNK:
            return "a symbolic link";
        default:
            return "not a regular file";
    }
}

std::string WriteTargetProblem(const std::string& path, std::string& target) {
    target = path;
    for (int hop = 0;; ++hop) {
        struct stat info {};
        if (lstat(target.c_str(), &info) != 0) {
            if (errno == ENOENT) {
                return {};  // nothing there yet: it will be created
            }
            return std::strerror(errno);
        }
        if (S_ISREG(info.st_mode)) {
            return {};
        }
        if (!S_ISLNK(info.st_mode)) {
            return "it is " + std::string(FileKindName(info.st_mode)) + ", not a regular file";
        }
        if (hop == kMaxLinkHops) {
            return std::strerror(ELOOP);
        }
        std::string link(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 4096), '\0');
        const ssize_t length = readlink(target.c_str(), link.data(), link.size());
        if (length < 0) {
            return std::strerror(errno);
        }
        link.resize(static_cast<std::size_t>(length));
        if (link.empty()) {
            return std::strerror(ENOENT);
        }
        target = link.front() == '/' ? link : DirectoryOf(target) + "/" + link;
    }
}

bool AtomicFile::IsTemporaryName(std::string_view fileName) noexcept {
    return fileName.starts_with(kTemporaryPrefix) && fileName.ends_with(kTemporarySuffix) &&
           fileName.size() > kTemporaryPrefix.size() + kTemporarySuffix.size();
}

AtomicFile::AtomicFile(std::string path, RunTimeError number, std::string source)
    : path_(std::move(path)), number_(number), source_(std::move(source)) {
    if (path_.empty()) {
        Fail("no file is named");
    }
    if (const std::string problem = WriteTargetProblem(path_, target_); !problem.empty()) {
        Fail(problem);
    }
    struct stat existing {};
    if (stat(target_.c_str(), &existing) == 0) {
        replacing_ = true;
        mode_ = existing.st_mode & 07777;
        owner_ = existing.st_uid;
        group_ = existing.st_gid;
    }
    const std::string directory = DirectoryOf(target_);
    for (int attempt = 0; fd_ < 0; ++attempt) {
        temporary_ = TemporaryName(directory);
        fd_ = open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd_ < 0 && (errno != EEXIST || attempt >= 100)) {
            const int error = errno;
            temporary_.clear();
            Fail(std::strerror(error));
        }
    }
}

AtomicFile::~AtomicFile() {
    Discard();
}

void AtomicFile::Fail(const std::string& reason) const {
    throw MakeError(number_, source_, path_ + " cannot be written: " + reason);
}

void AtomicFile::Write(std::string_view bytes) {
    if (fd_ < 0) {
        Fail("the file is closed");
    }
    while (!bytes.empty()) {
        const ssize_t count = write(fd_, bytes.data(), bytes.size());
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            const int error = count < 0 ? errno : EIO;
            Discard();
            Fail(std::strerror(error));
        }
        bytes.remove_prefix(static_cast<std::size_t>(count));
    }
}

void AtomicFile::Commit() {
    if (fd_ < 0) {
        Fail("the file is closed");
    }
    if (replacing_) {
        fchmod(fd_, mode_);
        if (fchown(fd_, owner_, group_) != 0) {
            // Only the owner or root may give a file away; the writer keeps it.
        }
    }
    const int synced = fsync(fd_) == 0 ? 0 : errno;
    const int closed = close(fd_) == 0 ? 0 : errno;
    fd_ = -1;
    if (synced != 0 || closed != 0) {
        Discard();
        Fail(std::strerror(synced != 0 ? synced : closed));
    }
    // Something else may have been put at the target since the check.
    struct stat now {};
    if (lstat(target_.c_str(), &now) == 0 && !S_ISREG(now.st_mode)) {
        Discard();
        Fail("it is " + std::string(FileKindName(now.st_mode)) + ", not a regular file");
    }
    if (rename(temporary_.c_str(), target_.c_str()) != 0) {
        const int error = errno;
        Discard();
        Fail(std::strerror(error));
    }
    temporary_.clear();
}

void AtomicFile::Discard() noexcept {
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
    if (!temporary_.empty()) {
        unlink(temporary_.c_str());
        temporary_.clear();
    }
}

void AtomicFile::WriteFile(const std::string& path, std::string_view bytes, RunTimeError number,
                           const std::string& source) {
    AtomicFile file(path, number, source);
    file.Write(bytes);
    file.Commit();
}

}  // namespace vantreel
