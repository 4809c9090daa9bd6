#pragma once

#include "partinfo/PartInfoFile.h"
#include "partinfo/PartInfoRules.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vantreel {

class Part;

// One part opened for its information: the part object, the settings read
// from its information file, and saving them. The dialog and the command
// line share it.
class PartInfoSession {
  public:
    PartInfoSession();
    ~PartInfoSession();

    // Opens the part stored in partDir through the part manager ("Ulmaret.Part");
    // raises the part manager's error.
    void Open(const std::string& partDir);
    // Reads every setting, the labels, the skip files and the add-ons.
    void Load(const PrinterList& printers, const std::string& userKey,
              const std::string& machineKey);

    const std::string& InformationFile() const noexcept { return informationFile_; }
    const std::string& FullPath() const noexcept { return fullPath_; }
    const PartInfoSettings& Settings() const noexcept { return settings_; }
    const PrinterList& Printers() const noexcept { return printers_; }
    const std::vector<AddonEntry>& Addons() const noexcept { return addons_; }
    // Why the information file cannot be used ("" when it can).
    const std::string& FileProblem() const noexcept { return problem_; }
    // The message for a file that cannot be used; nullopt when it can.
    std::optional<PartInfoMessage> FileProblemMessage() const;

    // Sets and writes the write protection at once; false when the write
    // failed, and the protection is then left as it was.
    bool SetWriteProtect(bool writeProtect);
    // The message for a write protection that could not be written.
    PartInfoMessage WriteProtectFailure() const;
    // Validates, reads the controls back and writes the file. The message of
    // the first check that failed, or of the failed write; nullopt when saved.
    std::optional<PartInfoMessage> Save(const PartInfoControls& controls);

  private:
    std::unique_ptr<Part> part_;
    std::string informationFile_;
    std::string fullPath_;
    std::string problem_;
    PartInfoSettings settings_;
    PrinterList printers_;
    std::vector<AddonEntry> addons_;
};

}  // namespace vantreel
