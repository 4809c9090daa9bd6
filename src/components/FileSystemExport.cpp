#include "components/FileSystemExport.h"

#include "shared/RunTimeError.h"
#include "vantreel/Error.h"

namespace vantreel {
namespace {

[[noreturn]] void NotAvailable(const std::string& what) {
    throw MakeError(RunTimeError::NotAvailable, "Ulmaret.Export",
                    what + " is not available in this version");
}

}  // namespace

void FileSystemExport::ExportProjects(const std::vector<std::string>&, const std::string& sFile,
                                      int32_t) {
    NotAvailable("Exporting parts to '" + sFile + "'");
}

void FileSystemExport::ExportLegacy(const std::vector<std::string>&, const std::string& sDirectory,
                                    int32_t) {
    NotAvailable("Exporting parts to the legacy directory '" + sDirectory + "'");
}

std::vector<std::string> FileSystemExport::BrowseProjects(const std::string& sExportFile) {
    NotAvailable("Listing the parts of '" + sExportFile + "'");
}

void FileSystemExport::ImportProjects(const std::string& sExportFile,
                                      const std::vector<std::string>&, const std::string&) {
    NotAvailable("Importing parts from '" + sExportFile + "'");
}

}  // namespace vantreel
