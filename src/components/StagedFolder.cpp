#include "components/StagedFolder.h"

#include "vantreel/Error.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <utility>
#include <vector>

namespace vantreel {
namespace {

namespace fs = std::filesystem;

constexpr const char* kSource = "Ulmaret.Export";

bool Exists(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

class Descriptor {
  public:
    explicit Descriptor(int fd) noexcept : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const noexcept { return fd_; }
    int Release() noexcept { return std::exchange(fd_, -1); }

  private:
    int fd_;
};

}  // namespace

StagedFolder::StagedFolder(const std::string& parent, const std::string& name)
    : final_((fs::path(parent) / name).string()) {
    struct stat info {};
    if (stat(parent.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        throw Error(76, kSource, "The folder '" + parent + "' does not exist");
    }
    if (Exists(final_)) {
        throw Error(58, kSource, "'" + final_ + "' already exists");
    }
    std::string pattern = (fs::path(parent) / ("." + name + ".partial-XXXXXX")).string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw Error(75, kSource,
                    "Nothing can be created in '" + parent + "': " + std::strerror(errno));
    }
    staging_ = pattern;
    chmod(staging_.c_str(), 0755);
}

StagedFolder::~StagedFolder() {
    if (!committed_) {
        std::error_code ignored;
        fs::remove_all(staging_, ignored);
    }
}

void StagedFolder::Commit() {
    // renameat2 with RENAME_NOREPLACE never replaces a folder that appeared
    // meanwhile; where the file system lacks it, check and rename.
    int result = renameat2(AT_FDCWD, staging_.c_str(), AT_FDCWD, final_.c_str(), RENAME_NOREPLACE);
    if (result != 0 && (errno == EINVAL || errno == ENOSYS)) {
        result = Exists(final_) ? (errno = EEXIST, -1) : rename(staging_.c_str(), final_.c_str());
    }
    if (result != 0) {
        if (errno == EEXIST || errno == ENOTEMPTY) {
            throw Error(58, kSource, "'" + final_ + "' already exists");
        }
        throw Error(75, kSource, "'" + final_ + "' cannot be created: " + std::strerror(errno));
    }
    committed_ = true;
}

void StagedFolder::Undo() noexcept {
    if (committed_) {
        std::error_code ignored;
        fs::remove_all(final_, ignored);
        committed_ = false;
        staging_.clear();
    }
}

void StagedFolder::CommitAll(std::vector<std::unique_ptr<StagedFolder>>& folders) {
    std::size_t done = 0;
    try {
        for (; done < folders.size(); ++done) {
            folders[done]->Commit();
        }
    } catch (...) {
        for (std::size_t i = 0; i < done; ++i) {
            folders[i]->Undo();
        }
        throw;
    }
}

void MakeFolder(const std::string& path, uint32_t mode) {
    if (mkdir(path.c_str(), mode) == 0) {
        return;
    }
    const int error = errno;
    struct stat info {};
    if (error == EEXIST && lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        return;
    }
    throw Error(error == ENOENT ? 76 : 75, kSource,
                "The folder '" + path + "' cannot be created: " + std::strerror(error));
}

void CopyRegularFile(const std::string& from, const std::string& to, uint32_t mode) {
    Descriptor in(open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    if (in.Get() < 0) {
        throw Error(errno == ELOOP ? 75 : 53, kSource,
                    errno == ELOOP ? "'" + from + "' is a symbolic link and is not copied"
                                   : "'" + from + "' cannot be read: " + std::strerror(errno));
    }
    struct stat info {};
    if (fstat(in.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        throw Error(75, kSource, "'" + from + "' is not a file");
    }
    if (mode == 0) {
        mode = info.st_mode & 0777u;
    }
    Descriptor out(open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                        (mode & 0777u) | 0600u));
    if (out.Get() < 0) {
        throw Error(errno == EEXIST ? 58 : 75, kSource,
                    "'" + to + "' cannot be created: " + std::strerror(errno));
    }
    std::vector<char> buffer(256 * 1024);
    for (;;) {
        const ssize_t got = read(in.Get(), buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            throw Error(75, kSource, "'" + from + "' cannot be read: " + std::strerror(errno));
        }
        if (got == 0) {
            break;
        }
        for (ssize_t written = 0; written < got;) {
            const ssize_t put =
                write(out.Get(), buffer.data() + written, static_cast<std::size_t>(got - written));
            if (put < 0 && errno == EINTR) {
                continue;
            }
            if (put < 0) {
                throw Error(errno == ENOSPC ? 61 : 75, kSource,
                            "'" + to + "' cannot be written: " + std::strerror(errno));
            }
            written += put;
        }
    }
    const timespec times[2] = {info.st_atim, info.st_mtim};
    futimens(out.Get(), times);
    if (close(out.Release()) != 0) {
        throw Error(75, kSource, "'" + to + "' cannot be written: " + std::strerror(errno));
    }
}

bool HasLinkBelow(const std::string& base, const std::string& relative) {
    std::string path = base;
    std::size_t start = 0;
    while (start < relative.size()) {
        std::size_t end = relative.find('/', start);
        if (end == std::string::npos) {
            end = relative.size();
        }
        path += "/" + relative.substr(start, end - start);
        struct stat info {};
        if (lstat(path.c_str(), &info) != 0) {
            return false;  // not there: the copy reports it
        }
        if (S_ISLNK(info.st_mode)) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

}  // namespace vantreel
