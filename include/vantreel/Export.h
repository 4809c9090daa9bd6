#pragma once

#include "vantreel/Api.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace vantreel {

// Moving parts between stations: exporting parts with their extra files into
// one export file or into a folder in the legacy layout, and importing them
// again. Each call shows its dialogs modally on the host's GUI thread and
// traps every error into its neutral result (an error's description is shown
// to the operator first).
class VANTREEL_API Export {
  public:
    Export();
    ~Export();
    Export(const Export&) = delete;
    Export& operator=(const Export&) = delete;

    // Lets the operator choose parts and options, then the export file (or
    // the legacy target folder), and writes the export. True when the export
    // was written; False on Cancel in any dialog or on an error. firstPart is
    // a part's folder, listed when the dialog opens. (Named ExportParts: C++
    // gives no member the name of its class.)
    bool ExportParts(int32_t language, const std::optional<std::string>& firstPart = std::nullopt);

    // Lets the operator choose an export file or legacy list file and the
    // parts, then asks for the target folder unless path gives it, and
    // imports. True when an import was carried out; False on Cancel, without
    // a target folder, or on an error.
    bool Import(int32_t language, const std::optional<std::string>& path = std::nullopt);

    // Copies the legacy export named by its list file exportFile into
    // targetDir, without a dialog; refusals and errors are shown in a message
    // box. upgradeProject brings the part to the current project format.
    void ImportLegacy(const std::string& exportFile, const std::string& targetDir,
                      bool upgradeProject);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace vantreel
