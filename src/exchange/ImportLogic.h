#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace vantreel {

// What FormImport gathers: the source, what it holds, and the choices.
struct ImportState {
    std::string exportFile;              // "" while nothing is loaded
    std::vector<std::string> partNames;  // at OK: the selected ones, in list order
    bool templateFlag = false;           // chkTemplate
    bool legacy = false;                 // the source is a legacy list file
    bool result = false;
    int32_t language = 0;
    // Shown in txtTitle, txtUser, txtDate, txtComments.
    std::string title;
    std::string user;
    std::string date;
    std::string comments;
};

// The rules of FormImport.
class ImportLogic {
  public:
    // Writes a file's modification time in the user's general date format.
    using DateFormatter = std::function<std::string(std::time_t)>;

    ImportLogic();

    ImportState& State() noexcept { return state_; }
    const ImportState& State() const noexcept { return state_; }
    void SetDateFormatter(DateFormatter formatter) { formatDate_ = std::move(formatter); }

    // txtSource changed: the dialog is cleared, then a text naming an existing
    // file is loaded: an export file the part manager understands (every part
    // selected), else a legacy list file, else nothing.
    void SourceChanged(const std::string& text);
    void Clear();
    // The entries of lstParts (every one selected after a load).
    const std::vector<std::string>& Entries() const noexcept { return entries_; }
    bool OkEnabled() const noexcept { return okEnabled_; }
    // OK with the selected entries (indices from 0).
    void Ok(const std::vector<int>& selected, bool templateFlag);
    void Cancel() noexcept { state_.result = false; }

  private:
    bool LoadLegacy(const std::string& file);

    ImportState state_;
    std::vector<std::string> entries_;
    bool okEnabled_ = false;
    DateFormatter formatDate_;
};

}  // namespace vantreel
