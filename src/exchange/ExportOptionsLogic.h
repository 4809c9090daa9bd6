#pragma once

#include "components/PartManager.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vantreel {

// What FormExportOptions gathers: the parts, in the order added, and what to
// include.
struct ExportOptionsState {
    std::vector<std::unique_ptr<Part>> parts;
    bool result = false;
    bool fix = false;
    bool source = true;
    bool executable = true;
    bool legacy = false;  // chkLegacy: copy to a folder in the legacy layout
    std::string firstPart;
    int32_t language = 0;

    std::vector<const Part*> PartList() const;
};

// The rules of FormExportOptions. Part-manager failures raise vantreel::Error
// for the view to report.
class ExportOptionsLogic {
  public:
    ExportOptionsState& State() noexcept { return state_; }
    const ExportOptionsState& State() const noexcept { return state_; }

    // Starts over; a non-empty first part is added.
    void Load(const std::string& firstPart);
    // Adds the part stored at path, unless a listed part already has the name
    // path or the part's own name. True when it was added.
    bool AddPart(const std::string& path);
    // Removes the entry at index (from 0; -1 for none).
    void RemovePart(int index);
    void Select(int index) noexcept { selected_ = index; }
    void SetLegacy(bool legacy) noexcept { state_.legacy = legacy; }
    void Ok(bool fix, bool source, bool executable);
    void Cancel() noexcept { state_.result = false; }

    // The names shown in lstParts.
    std::vector<std::string> Entries() const;
    int Selected() const noexcept { return selected_; }
    Part* SelectedPart() const;
    bool OkEnabled() const noexcept { return !state_.parts.empty(); }
    bool FilesEnabled() const noexcept { return SelectedPart() != nullptr; }
    bool ContentEnabled() const noexcept { return !state_.legacy; }

  private:
    ExportOptionsState state_;
    int selected_ = -1;
};

// The rules of FormAdditionalFiles: the part's extra files; every change goes
// to the part at once.
class AdditionalFilesLogic {
  public:
    explicit AdditionalFilesLogic(Part& part) : part_(part) {}
    void Load();
    // Adds a file unless it is listed already (exact text); true when added.
    bool Add(const std::string& path);
    void Remove(int index);  // from 0; -1 for none
    const std::vector<std::string>& Files() const noexcept { return files_; }
    Part& ThePart() const noexcept { return part_; }

  private:
    Part& part_;
    std::vector<std::string> files_;
};

}  // namespace vantreel
