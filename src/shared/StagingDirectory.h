#pragma once

#include <string>

namespace vantreel {

// A hidden folder beside the place of something being built, so that what is
// built appears at its place whole or not at all: ".vantreel-XXXXXXXX.tmp" in
// the parent folder (a name AtomicFile::IsTemporaryName recognises). The
// folder is locked while the object lives; it and everything still in it is
// removed with the object. A leftover of a process that was killed is no
// longer locked, and CleanLeftovers removes it.
class StagingDirectory {
  public:
    // Raises error 75 when the folder cannot be made in parent.
    explicit StagingDirectory(const std::string& parent);
    ~StagingDirectory();
    StagingDirectory(const StagingDirectory&) = delete;
    StagingDirectory& operator=(const StagingDirectory&) = delete;

    const std::string& Path() const noexcept { return path_; }

    // Renames from (inside the staging folder) to target, which must not
    // exist; false (with errno set) when it does or the rename fails.
    static bool MoveInPlace(const std::string& from, const std::string& target);

    // Removes the staging folders in parent that no living process holds.
    // Returns how many were removed.
    static int CleanLeftovers(const std::string& parent);

  private:
    std::string path_;
    int lock_ = -1;
};

}  // namespace vantreel
