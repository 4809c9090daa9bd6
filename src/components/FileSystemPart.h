#pragma once

#include "components/PartManager.h"

#include <string>

namespace vantreel {

// A part on the file system: a directory holding the Visual Basic project
// <name>.vbp, its modules ModMain.bas and ModSupport.bas, the information file
// partinfo.ini and any extra files.
class FileSystemPart : public Part {
  public:
    static constexpr const char* kInformationFile = "partinfo.ini";
    static constexpr const char* kMainModule = "ModMain.bas";
    static constexpr const char* kSupportModule = "ModSupport.bas";

    void OpenProject(std::string& sDirectory) override;
    void CreateProject(int32_t hWnd, const std::string& sRoot, std::string& sName,
                       bool bFlag) override;
    std::string FullPath() const override { return directory_; }
    std::string PartName() const override { return name_; }
    double PartDate() const override;
    bool HasSource() const override;
    bool HasExecutable() const override;
    bool IsLorimet() const override;
    std::string informationfile() const override;
    std::string ProjectFile() const override { return name_; }
    void RePaginateCode() override;
    void UpgradeProject() override;
    int16_t AdditionalFilesCount() const override;
    std::string AdditionalFiles(int16_t i) const override;
    void AdditionalFileAdd(const std::string& sPath) override;
    void AdditionalFileRemove(int16_t i) override;

    // The name a new part below sRoot gets for sName (trimmed): sName when
    // it is free, else sName_2, sName_3 ... Raises error 52 when the name
    // cannot name a part (see FileNameProblem; 4 bytes are kept for the
    // extension of <name>.vbp).
    static std::string FreePartName(const std::string& sRoot, const std::string& sName);

    // Whether a directory holds a part (a project file).
    static bool IsPartDirectory(const std::string& directory);
    // The project name of the part in a directory; empty when there is none.
    static std::string ProjectNameIn(const std::string& directory);

  private:
    void RequireOpen() const;
    std::string PathOf(const std::string& file) const;

    std::string directory_;
    std::string name_;
};

}  // namespace vantreel
