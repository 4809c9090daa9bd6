#pragma once

#include "common/Files.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace vantreel::test {

// What a test puts at a path before a writer or reader gets it.
enum class FileKind {
    None,
    Regular,
    Directory,
    Fifo,
    Socket,
    Device,         // a character device node like /dev/null, made in the test folder
    LinkToRegular,  // a symbolic link to a regular file beside it ("<name>.real")
    DanglingLink,   // a symbolic link to "<name>.real", which does not exist
    LinkToFifo,     // a symbolic link to a FIFO ("<name>.real")
};

inline const char* FileKindLabel(FileKind kind) {
    switch (kind) {
        case FileKind::None:
            return "nothing";
        case FileKind::Regular:
            return "regular file";
        case FileKind::Directory:
            return "directory";
        case FileKind::Fifo:
            return "FIFO";
        case FileKind::Socket:
            return "socket";
        case FileKind::Device:
            return "device";
        case FileKind::LinkToRegular:
            return "link to a regular file";
        case FileKind::DanglingLink:
            return "dangling link";
        case FileKind::LinkToFifo:
            return "link to a FIFO";
    }
    return "?";
}

// Whether a writer must replace what stands there (true) or refuse it.
inline bool IsWritableKind(FileKind kind) {
    return kind == FileKind::None || kind == FileKind::Regular || kind == FileKind::LinkToRegular ||
           kind == FileKind::DanglingLink;
}

inline std::string RealPathOf(const std::string& path) {
    return path + ".real";
}

// Makes kind at path; false when the system does not allow it (a device
// node without the right to make one).
inline bool MakeFileKind(const std::string& path, FileKind kind, const std::string& text = "old") {
    switch (kind) {
        case FileKind::None:
            return true;
        case FileKind::Regular:
            std::ofstream(path, std::ios::binary) << text;
            return true;
        case FileKind::Directory:
            return std::filesystem::create_directory(path);
        case FileKind::Fifo:
            return mkfifo(path.c_str(), 0644) == 0;
        case FileKind::Socket: {
            const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            if (fd < 0 || path.size() >= sizeof address.sun_path) {
                return false;
            }
            std::strcpy(address.sun_path, path.c_str());
            const bool bound = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
            close(fd);
            return bound;
        }
        case FileKind::Device:
            return mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
        case FileKind::LinkToRegular:
            std::ofstream(RealPathOf(path), std::ios::binary) << text;
            std::filesystem::create_symlink(std::filesystem::path(RealPathOf(path)).filename(),
                                            path);
            return true;
        case FileKind::DanglingLink:
            std::filesystem::create_symlink(std::filesystem::path(RealPathOf(path)).filename(),
                                            path);
            return true;
        case FileKind::LinkToFifo:
            if (mkfifo(RealPathOf(path).c_str(), 0644) != 0) {
                return false;
            }
            std::filesystem::create_symlink(std::filesystem::path(RealPathOf(path)).filename(),
                                            path);
            return true;
    }
    return false;
}

// The file type (S_IFMT bits) at path without following a link; 0 when nothing is there.
inline unsigned TypeAt(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 ? (info.st_mode & S_IFMT) : 0;
}

inline std::string ContentsOf(const std::string& path) {
    return ReadFile(path);
}

// Names in directory other than the ones a test made: what a writer left behind.
inline int CountEntries(const std::filesystem::path& directory) {
    return static_cast<int>(FilesIn(directory).size());
}

constexpr FileKind kAllFileKinds[] = {
    FileKind::None,          FileKind::Regular,      FileKind::Directory,
    FileKind::Fifo,          FileKind::Socket,       FileKind::Device,
    FileKind::LinkToRegular, FileKind::DanglingLink, FileKind::LinkToFifo,
};

// Checks, after a writer ran on path made as kind: a writable kind holds
// expected (through the link, which stays a link), a refused kind is what it
// was, and the folder holds as many entries as before.
inline void ExpectWrittenOrRefused(const std::string& path, FileKind kind, bool threw,
                                   const std::string& expected, int entriesBefore,
                                   const std::string& what) {
    const std::filesystem::path directory = std::filesystem::path(path).parent_path();
    const int created = kind == FileKind::None || kind == FileKind::DanglingLink ? 1 : 0;
    SCOPED_TRACE(what + " on " + FileKindLabel(kind));
    if (IsWritableKind(kind)) {
        EXPECT_FALSE(threw);
        const bool link = kind == FileKind::LinkToRegular || kind == FileKind::DanglingLink;
        EXPECT_EQ(TypeAt(path), link ? S_IFLNK : S_IFREG);
        EXPECT_EQ(ContentsOf(link ? RealPathOf(path) : path), expected);
        if (link) {
            EXPECT_EQ(TypeAt(RealPathOf(path)), S_IFREG);
        }
    } else {
        EXPECT_TRUE(threw);
        const unsigned type = TypeAt(path);
        EXPECT_TRUE(type == S_IFDIR || type == S_IFIFO || type == S_IFSOCK || type == S_IFCHR ||
                    type == S_IFLNK)
            << type;
        if (kind == FileKind::LinkToFifo) {
            EXPECT_EQ(TypeAt(RealPathOf(path)), S_IFIFO);
        }
    }
    EXPECT_EQ(CountEntries(directory), entriesBefore + (IsWritableKind(kind) ? created : 0));
}

}  // namespace vantreel::test
