#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vantreel {

// A folder built beside its final place under a hidden name and renamed into
// place when complete, so that readers see all of it or none of it. Until
// Commit, destroying the object removes what was built.
class StagedFolder {
  public:
    // Creates parent/.<name>.partial-XXXXXX. parent must exist; parent/name
    // must not (error 58).
    StagedFolder(const std::string& parent, const std::string& name);
    ~StagedFolder();
    StagedFolder(const StagedFolder&) = delete;
    StagedFolder& operator=(const StagedFolder&) = delete;

    const std::string& Path() const noexcept { return staging_; }
    const std::string& Final() const noexcept { return final_; }

    // Renames the folder to its final name; error 58 when that name was taken
    // in the meantime (it is never replaced).
    void Commit();
    // Removes a committed folder again (rolling back a group).
    void Undo() noexcept;

    // Commits every folder; when one fails, the ones committed before are
    // removed again and the error is raised.
    static void CommitAll(std::vector<std::unique_ptr<StagedFolder>>& folders);

  private:
    std::string staging_;
    std::string final_;
    bool committed_ = false;
};

// Creates a folder (and no parents); an existing folder is fine.
void MakeFolder(const std::string& path, uint32_t mode = 0755);

// Copies the regular file from to the new file to, in blocks, with the
// permission bits mode (0: those of from). from must be a regular file and not a link; to must
// not exist. Raises an error naming the file otherwise.
void CopyRegularFile(const std::string& from, const std::string& to, uint32_t mode);

// Whether any component of relative below base is a symbolic link (or
// cannot be examined).
bool HasLinkBelow(const std::string& base, const std::string& relative);

}  // namespace vantreel
