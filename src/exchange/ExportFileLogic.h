#pragma once

#include <cstdint>
#include <string>

namespace vantreel {

// What FormExport gathers: the export file and its header.
struct ExportFileState {
    std::string exportPath;
    std::string title;
    std::string user;
    std::string comments;
    bool result = false;
    int32_t language = 0;
};

// The rules of FormExport.
class ExportFileLogic {
  public:
    ExportFileState& State() noexcept { return state_; }

    // OK needs an export path, a title and a user; comments may be empty.
    static bool OkEnabled(const std::string& path, const std::string& title,
                          const std::string& user) noexcept {
        return !path.empty() && !title.empty() && !user.empty();
    }
    // Tests the path by creating the file (an existing one is emptied). When
    // that fails, message 125104 is shown and false returned (the dialog stays
    // open); otherwise the texts are stored as typed and the result is True.
    bool Ok(const std::string& path, const std::string& title, const std::string& user,
            const std::string& comments);
    void Cancel() noexcept { state_.result = false; }

  private:
    ExportFileState state_;
};

// What FormExportPart gathers: the folder a legacy export goes to.
struct ExportPartState {
    std::string partName;   // the first part's folder name
    std::string targetDir;  // the legacy target, ending in a separator
    bool result = false;
    int32_t language = 0;
};

// The rules of FormExportPart.
class ExportPartLogic {
  public:
    ExportPartState& State() noexcept { return state_; }

    // The part name shown: the first part's path without its parent folder.
    static std::string PartNameOf(const std::string& firstPart);
    // d longer than 3 characters that is no existing folder: message 125117
    // and false. Otherwise the target is d with a separator and the result True.
    bool Ok(const std::string& dir);
    void Cancel() noexcept { state_.result = false; }

  private:
    ExportPartState state_;
};

}  // namespace vantreel
