#pragma once

#include "shared/RunTimeError.h"

#include <string>
#include <string_view>

namespace vantreel {

// Writes a file so that its target is replaced whole or not at all: the new
// contents go to a temporary file beside the target, which is renamed over it
// by Commit. Only a regular file is ever replaced. A symbolic link is written
// through: the file it finally points to is replaced and the link stays (a
// dangling link gets its target created). A directory, device, FIFO or socket
// at the target is refused before anything is created, and so is one that
// appears there before Commit. The replaced file's permission bits are kept
// (and its owner, where the system allows); a new file gets 0666 less the
// umask. A writer that is destroyed without Commit removes its temporary file.
//
// The temporary name does not grow with the target's name
// (".vantreel-XXXXXXXX.tmp"), so a target whose name has the longest length
// the file system allows can be written.
class AtomicFile {
  public:
    // Failures raise error number from source, described as
    // "<path> cannot be written: <reason>".
    explicit AtomicFile(std::string path, RunTimeError number = RunTimeError::PathFileAccessError,
                        std::string source = "AtomicFile");
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // The temporary file: write it by descriptor or by name until Commit.
    int Descriptor() const noexcept { return fd_; }
    const std::string& TemporaryPath() const noexcept { return temporary_; }
    // The file that Commit replaces: the path with its symbolic links followed.
    const std::string& Target() const noexcept { return target_; }

    void Write(std::string_view bytes);
    // Flushes the temporary file to disk and renames it over the target.
    void Commit();
    // Removes the temporary file; the target stays as it was.
    void Discard() noexcept;

    // The whole file in one call.
    static void WriteFile(const std::string& path, std::string_view bytes,
                          RunTimeError number = RunTimeError::PathFileAccessError,
                          const std::string& source = "AtomicFile");

    // The prefix and suffix of every temporary name, so that listings can
    // tell leftovers of an interrupted writer from real files.
    static constexpr std::string_view kTemporaryPrefix = ".vantreel-";
    static constexpr std::string_view kTemporarySuffix = ".tmp";
    static bool IsTemporaryName(std::string_view fileName) noexcept;

  private:
    [[noreturn]] void Fail(const std::string& reason) const;

    std::string path_;
    std::string target_;
    std::string temporary_;
    RunTimeError number_;
    std::string source_;
    int fd_ = -1;
    bool replacing_ = false;  // a regular file stands at the target
    unsigned mode_ = 0;
    unsigned owner_ = 0;
    unsigned group_ = 0;
};

// What stands at a path that is about to be written: "" for a regular file or
// nothing, else a phrase such as "it is a directory". Symbolic links are
// followed; target receives the final path.
std::string WriteTargetProblem(const std::string& path, std::string& target);

// The kind of file an st_mode names, for messages: "a directory", "a FIFO"...
std::string_view FileKindName(unsigned mode) noexcept;

}  // namespace vantreel
