#pragma once

#include "components/PartManager.h"

namespace vantreel {

// The export object of the file-system part manager. Exporting and importing
// parts come with their own work; until then every method raises error 5010
// saying so.
class FileSystemExport : public PartExport {
  public:
    void ExportProjects(const std::vector<std::string>& colParts, const std::string& sExportFile,
                        int32_t lOptions) override;
    void ExportLegacy(const std::vector<std::string>& colParts, const std::string& sDirectory,
                      int32_t lOptions) override;
    std::vector<std::string> BrowseProjects(const std::string& sExportFile) override;
    void ImportProjects(const std::string& sExportFile, const std::vector<std::string>& colParts,
                        const std::string& sTargetDirectory) override;
};

}  // namespace vantreel
