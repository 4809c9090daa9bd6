#pragma once

#include "vantreel/Api.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vantreel {

// Asks the operator for a part to open, a name to save a part under, a
// directory, or a list of parts to export, in the part selection dialog.
//
// The instance keeps one dialog for its whole life: what a call does not set
// keeps the value an earlier call on the same instance left (see each
// operation). The operations never throw: an error ends them with "" (or no
// collection for BuildExportList) and shows nothing. The properties do not
// trap errors.
//
// Call from the GUI thread of a Qt Widgets application; a host without a
// QApplication gets one made by the library on first use.
class VANTREEL_API PartSelection {
  public:
    PartSelection();
    ~PartSelection();
    PartSelection(const PartSelection&) = delete;
    PartSelection& operator=(const PartSelection&) = delete;
    PartSelection(PartSelection&&) noexcept;
    PartSelection& operator=(PartSelection&&) noexcept;

    // Lets the operator pick an existing part (or convert a legacy DMIS file
    // into a new one). The New Folder button stays disabled on this instance
    // from now on. Returns the part's directory; "" when cancelled.
    std::string PartOpen(const std::string& sPrompt);

    // Lets the operator double-click parts to add them to the export list.
    // Returns the full paths of every part added on this instance so far, in
    // the order added (the list only grows); no collection after an error.
    std::optional<std::vector<std::string>> BuildExportList(const std::string& sPrompt);

    // Lets the operator type a name for a new part in the folder shown.
    // Returns that folder, "/" and the name; "" when cancelled.
    std::string PartSaveAs(const std::string& sPrompt);

    // Lets the operator choose a folder. Returns its full path followed by
    // "/" when chosen from inside it; "" when cancelled.
    std::string PartDirectory(const std::string& sPrompt);

    // Part filters (default false): hide parts without source, parts not
    // built, and Lorimet parts. They stay in force for later calls.
    bool RequireSource() const;
    void SetRequireSource(bool value);
    bool RequireExecutable() const;
    void SetRequireExecutable(bool value);
    bool SuppressLorimet() const;
    void SetSuppressLorimet(bool value);

    // Results of the last call: the part or folder name chosen or typed, the
    // full path chosen, and the folder shown last. "" before any call.
    std::string Name() const;
    std::string Directory() const;
    std::string HostDirectory() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace vantreel
