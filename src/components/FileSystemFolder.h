#pragma once

#include "components/PartManager.h"

#include <string>

namespace vantreel {

// A folder of the part repository on the file system: a directory. Its
// sub-directories holding a project file are parts, the others folders; its
// other files are plain files.
class FileSystemFolder : public PartFolder {
  public:
    void OpenFolder(const std::string& sPath) override;
    std::string FullPath() const override { return path_; }
    std::string ShortName() const override;
    void GetFolders(KeyedCollection<PartFolder>& colFolders, bool bFlag) const override;
    void GetParts(KeyedCollection<Part>& colParts, bool bFlag) const override;
    void GetFiles(KeyedCollection<PlainFile>& colFiles, bool bFlag) const override;
    void CreateFolder(const std::string& sParent, const std::string& sName) override;
    void RenameFolder(const std::string& sNewFullPath) override;
    bool ContainsPart(const std::string& sPartName) const override;

  private:
    void RequireOpen() const;

    std::string path_;
    std::string root_;  // the repository root the folder belongs to
};

}  // namespace vantreel
