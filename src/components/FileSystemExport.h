#pragma once

#include "components/PartManager.h"

#include <cstdint>

namespace vantreel {

// The export object of the file-system part manager. An export file is a ZIP
// archive: the manifest (ExportManifest.h) at its root and each part's files
// below "parts/<name>/" as PartContent selects them. A legacy export is a
// folder per part holding its files and the list file "<name>.lst".
//
// Everything is written beside its final place and renamed in when complete:
// a failed export leaves no export file, a failed import leaves no part.
// Archives are read as hostile: every entry must lie below its part (no "..",
// absolute path, drive letter or link), appear once and stay within the size
// it declares, and the declared sizes must fit the limits and the free space
// before anything is written.
class FileSystemExport : public PartExport {
  public:
    struct Limits {
        uint64_t maxTotalBytes = uint64_t{2} * 1024 * 1024 * 1024;  // uncompressed, per import
        uint64_t maxEntries = 100000;
        uint64_t reserveBytes = 64 * 1024 * 1024;  // left free on the target
    };

    void SetLimits(const Limits& limits) noexcept { limits_ = limits; }

    void ExportProjects(const std::string& sExportFile, const std::string& sTitle,
                        const std::string& sUser, const std::string& sComments,
                        const std::vector<const Part*>& colParts, bool bFix, bool bSource,
                        bool bExecutable) override;
    void ExportLegacy(const std::string& sDirectory,
                      const std::vector<const Part*>& colParts) override;
    bool BrowseProjects(const std::string& sExportFile, std::string& sTitle, std::string& sUser,
                        std::string& sDate, std::string& sComments,
                        std::vector<std::string>& colParts) override;
    // bTemplate: each part comes in as a starting point for new parts: without
    // its built programs (*.exe, *.dll, *.ocx), with its write protection and
    // serial number cleared and "Template=true" in section "Part" of its
    // information file.
    void ImportProjects(const std::string& sExportFile, const std::vector<std::string>& colParts,
                        const std::string& sTargetDirectory, bool bTemplate) override;

  private:
    Limits limits_;
};

// Why BrowseProjects answers False for a file: "" when it is an export file
// this version reads, otherwise the reason ("it holds no export manifest").
std::string ExportFileProblem(const std::string& sExportFile);

}  // namespace vantreel
