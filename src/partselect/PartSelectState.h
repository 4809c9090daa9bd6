#pragma once

#include "components/PartManager.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vantreel {

// One entry of the visible list: a folder ("F:"), a part ("P:") or a legacy
// DMIS file ("D:"), keyed by its kind and full path.
struct ListEntry {
    std::string Key;       // "F:", "P:" or "D:" followed by the full path
    std::string Text;      // ShortName, PartName or file name with extension
    std::string Icon;      // "folderlist", "part" or "dmis"
    std::string DateText;  // parts in the details view only
    double Date = 0;       // the part's date (details view), for sorting

    char Kind() const { return Key.empty() ? '\0' : Key[0]; }
    std::string FullPath() const { return Key.size() > 2 ? Key.substr(2) : std::string(); }
};

enum class FocusTarget { None, List, NameBox };

// Everything the part selection dialog holds: the settings a host call
// writes, the results it reads afterwards, and the working state of the
// listing. It outlives each showing of the dialog, so settings and results
// carry over from one call to the next.
struct PartSelectState {
    // Settings.
    bool SelectExisting = false;
    bool DirectoryMode = false;
    std::string Prompt;
    bool RequireSource = false;
    bool RequireExecutable = false;
    bool SuppressLorimet = false;
    bool ExportMode = false;
    bool DisableNewFolder = false;

    // Results.
    std::string Directory;
    std::string Name;
    std::string HostDirectory;
    std::vector<std::string> ExportCollection;  // full paths of the parts picked

    // Working state.
    std::vector<std::unique_ptr<PartFolder>> FolderStack;  // front: root, back: current
    bool ListMode = true;
    std::string ReselectPath;
    std::string SelectedKey;
    std::string SourceFile;
    bool Activated = false;

    // What the part manager reported for the current folder, and the
    // staging lists built from it.
    KeyedCollection<PartFolder> Folders;
    KeyedCollection<Part> Parts;
    KeyedCollection<PlainFile> Files;
    std::vector<ListEntry> StagedFolders;
    std::vector<ListEntry> StagedParts;
    std::vector<ListEntry> StagedFiles;

    // What the controls show. ListVersion counts the rebuilds and reorders of
    // Items, so that a window redraws the list only when it changed.
    unsigned ListVersion = 0;
    std::vector<ListEntry> Items;         // lvMain
    std::vector<std::string> StackLines;  // cboStack, root first
    int StackIndex = -1;                  // the line shown in cboStack
    std::string NameText;                 // txtName
    bool OkEnabled = false;               // cmdOK
    bool UpOneEnabled = false;            // "upone"
    bool NewEnabled = true;               // "new"
    bool SelectDriveEnabled = false;      // "selectdrive"
    int SelectedIndex = -1;               // the selected entry of lvMain
    bool EditSelected = false;            // label editing starts on it
    FocusTarget Focus = FocusTarget::None;
    int SortColumn = -1;  // -1: the list keeps its built order
    bool SortDescending = false;

    // The date text of a part in the details view (a Basic date in, text out).
    std::function<std::string(double)> DateFormatter;
};

}  // namespace vantreel
