#include "partselect/PartSelectLogic.h"

#include "components/ComponentFactory.h"
#include "dmis/ConversionDriver.h"
#include "partselect/PartListing.h"
#include "shared/Configuration.h"
#include "shared/ErrorReport.h"
#include "shared/MessageBox.h"
#include "shared/Resources.h"
#include "vantreel/Error.h"

#include <algorithm>
#include <exception>

namespace vantreel {
namespace {

constexpr int32_t kRenameFailed = 125110;
constexpr int32_t kFolderExists = 125076;
constexpr int32_t kBadFolderName = 125160;

void Report(const std::string& description) {
    ShowErrorReport(description);
}

std::string DescriptionOf(const std::exception& error) {
    if (const auto* own = dynamic_cast<const Error*>(&error)) {
        return own->Description();
    }
    return error.what();
}

const ListEntry* EntryAt(const PartSelectState& state, int index) {
    return index >= 0 && index < static_cast<int>(state.Items.size())
               ? &state.Items[static_cast<std::size_t>(index)]
               : nullptr;
}

// Steps into the listed folder at path: its folder object goes onto the
// stack and the list is rebuilt (a folder gone meanwhile is reported there,
// and the way back stays open). False when no folder is listed at path.
bool StepInto(PartSelectState& state, const std::string& path) {
    std::unique_ptr<PartFolder> folder = state.Folders.Take(path);
    if (folder == nullptr) {
        return false;
    }
    state.FolderStack.push_back(std::move(folder));
    RefreshList(state);
    return true;
}

}  // namespace

bool LoadDialog(PartSelectState& state) {
    state.Activated = false;
    state.ListMode = true;
    state.SortColumn = -1;
    state.SortDescending = false;
    state.NewEnabled = false;
    state.SelectDriveEnabled = false;
    state.Items.clear();
    ++state.ListVersion;
    state.StackLines.clear();
    state.StackIndex = -1;
    state.SelectedIndex = -1;
    state.NameText.clear();
    state.OkEnabled = false;
    try {
        // Every showing starts at the repository root alone.
        state.FolderStack.clear();
        PushRoot(state);
        if (state.DirectoryMode) {
            state.SelectExisting = true;
        }
        state.SelectDriveEnabled = !IsRestrictedToDefaultRepository();
        state.NewEnabled = !state.DisableNewFolder;
    } catch (const std::exception& error) {
        Report(DescriptionOf(error));
        return false;
    }
    return RefreshList(state);
}

void ActivateDialog(PartSelectState& state) {
    if (state.Activated) {
        return;
    }
    state.Activated = true;
    SetNameText(state, "");
    state.Focus = FocusTarget::NameBox;
}

bool IsAcceptableName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

bool FolderExists(const PartSelectState& state) {
    if (state.Folders.Find(state.Directory) != nullptr) {
        return false;  // a listed folder: OK steps into it
    }
    if (state.Files.Find(state.Directory) != nullptr) {
        return true;  // a plain file has the name
    }
    try {
        CreatePartFolder("Ulmaret.Folder")->OpenFolder(state.Directory);
        return true;
    } catch (...) {
        return false;
    }
}

void SetNameText(PartSelectState& state, const std::string& text) {
    state.NameText = text;
    state.Name = text;
    state.Directory = JoinPath(state.HostDirectory, state.Name);
    if (state.Name.empty()) {
        state.OkEnabled = state.DirectoryMode;
    } else if (state.SelectExisting) {
        state.OkEnabled = true;
    } else {
        state.OkEnabled = IsAcceptableName(state.Name) && !FolderExists(state);
    }
}

void ClickEntry(PartSelectState& state, int index) {
    const ListEntry* found = EntryAt(state, index);
    if (found == nullptr) {
        return;
    }
    const ListEntry entry = *found;
    state.SelectedKey = entry.Key;
    SetNameText(state, entry.Text);
    state.Directory = entry.FullPath();
    try {
        if (entry.Kind() == 'D') {
            state.SourceFile = state.Directory;
            state.Name = entry.Text.substr(0, entry.Text.size() - 4);
            SetNameText(state, state.Name);
            state.Directory = JoinPath(GetRepositoryRoot(""), state.Name);
        } else if (entry.Kind() == 'P') {
            if (const Part* part = state.Parts.Find(state.Directory)) {
                state.Name = part->PartName();
            }
        }
    } catch (const std::exception& error) {
        Report(DescriptionOf(error));
    }
}

OkOutcome PressOk(PartSelectState& state) {
    if (state.SelectedKey.empty()) {
        return OkOutcome::Nothing;
    }
    if (state.DirectoryMode) {
        return OkOutcome::Close;
    }
    const char kind = state.SelectedKey.front();
    // A folder clicked last, or in save-as the name of a listed folder typed
    // after clicking a part: step into it. A name typed after clicking a
    // folder names a new part. A legacy file clicked last is converted under
    // the name in the box, whatever folders the repository holds.
    if (kind == 'F' ||
        (kind != 'D' && !state.SelectExisting && state.Folders.Find(state.Directory))) {
        return StepInto(state, state.Directory) ? OkOutcome::Stay : OkOutcome::Close;
    }
    if (kind == 'D') {
        return OkOutcome::Convert;
    }
    return OkOutcome::Close;
}

OkOutcome DoubleClickEntry(PartSelectState& state, int index) {
    const ListEntry* entry = EntryAt(state, index);
    if (entry == nullptr) {
        return OkOutcome::Nothing;
    }
    if (state.DirectoryMode) {
        // Only folders lead anywhere here.
        return entry->Kind() == 'F' && StepInto(state, entry->FullPath()) ? OkOutcome::Stay
                                                                          : OkOutcome::Nothing;
    }
    if (state.ExportMode) {
        if (entry->Kind() == 'F') {
            return StepInto(state, entry->FullPath()) ? OkOutcome::Stay : OkOutcome::Nothing;
        }
        if (entry->Kind() != 'P' || state.Parts.Find(entry->FullPath()) == nullptr) {
            return OkOutcome::Nothing;
        }
        const std::string path = entry->FullPath();
        if (std::find(state.ExportCollection.begin(), state.ExportCollection.end(), path) ==
            state.ExportCollection.end()) {
            state.ExportCollection.push_back(path);
        }
        return OkOutcome::Stay;
    }
    return PressOk(state);
}

bool ConvertLegacyFile(PartSelectState& state, int32_t windowHandle) {
    LegacyConversion conversion;
    conversion.SourceFile = state.SourceFile;
    conversion.Name = state.Name;
    conversion.Directory = state.Directory;
    conversion.WindowHandle = windowHandle;
    bool converted = false;
    try {
        converted = ConvertLegacyPart(conversion);
    } catch (const std::exception& error) {
        Report(DescriptionOf(error));
        return false;
    }
    if (converted) {
        state.Name = conversion.Name;
        state.Directory = conversion.Directory;
    }
    return converted;
}

void PressCancel(PartSelectState& state) {
    state.Directory.clear();
    state.Name.clear();
}

void PickStackLine(PartSelectState& state, int index) {
    if (index < 0 || index >= static_cast<int>(state.StackLines.size()) - 1) {
        return;  // the current folder, or no line
    }
    while (static_cast<int>(state.FolderStack.size()) > index + 1) {
        state.FolderStack.pop_back();
    }
    RefreshList(state);
}

void UpOne(PartSelectState& state) {
    if (state.FolderStack.size() > 1) {
        state.FolderStack.pop_back();
        RefreshList(state);
    }
}

void NewFolder(PartSelectState& state) {
    CreateNewFolder(state);
    RefreshList(state);
}

void SetListMode(PartSelectState& state, bool listMode) {
    state.ListMode = listMode;
    RefreshList(state);
}

void ApplyDriveChoice(PartSelectState& state, const std::string& choice) {
    if (choice.empty()) {
        return;
    }
    ResetView(state, choice == "*" ? std::string() : choice);
}

bool CreateNewFolder(PartSelectState& state) {
    if (state.FolderStack.empty()) {
        return false;
    }
    std::string parent;
    try {
        parent = state.FolderStack.back()->FullPath();
    } catch (const std::exception&) {
        return false;
    }
    for (int number = 1; number <= 100; ++number) {
        const std::string name =
            number == 1 ? "New Folder" : "New Folder (" + std::to_string(number) + ")";
        try {
            std::unique_ptr<PartFolder> folder = CreatePartFolder("Ulmaret.Folder");
            folder->CreateFolder(parent, name);
            state.ReselectPath = folder->FullPath();
            return true;
        } catch (const std::exception&) {
            // The name is taken or refused: the next one.
        }
    }
    return false;
}

bool CanRenameEntry(const PartSelectState& state, int index) {
    const ListEntry* entry = EntryAt(state, index);
    return entry != nullptr && entry->Kind() == 'F';
}

RenameOutcome RenameEntry(PartSelectState& state, int index, const std::string& newText) {
    const ListEntry* entry = EntryAt(state, index);
    if (entry == nullptr || entry->Kind() != 'F' || newText.empty() || newText == entry->Text) {
        return RenameOutcome::Unchanged;
    }
    const auto fail = [](const std::string& description) {
        ShowErrorReport(GetResString(kRenameFailed) + "  " + description);
        return RenameOutcome::Failed;
    };
    if (!IsAcceptableName(newText)) {
        return fail(GetResString(kBadFolderName));
    }
    const std::string target = JoinPath(state.HostDirectory, newText);
    if (state.Folders.Find(target) != nullptr || state.Parts.Find(target) != nullptr) {
        return fail(FormatResString(kFolderExists, newText));
    }
    PartFolder* folder = state.Folders.Find(entry->FullPath());
    if (folder == nullptr) {
        return fail(FormatResString(125117, entry->FullPath()));
    }
    try {
        folder->RenameFolder(target);
    } catch (const std::exception& error) {
        return fail(DescriptionOf(error));
    }
    return RenameOutcome::Renamed;
}

void ClickColumn(PartSelectState& state, int column) {
    state.SortColumn = column;
    state.SortDescending = !state.SortDescending;
    const std::string selected =
        state.SelectedIndex >= 0 && state.SelectedIndex < static_cast<int>(state.Items.size())
            ? state.Items[static_cast<std::size_t>(state.SelectedIndex)].Key
            : std::string();
    SortEntries(state.Items, column, state.SortDescending);
    ++state.ListVersion;
    for (std::size_t i = 0; i < state.Items.size(); ++i) {
        if (state.Items[i].Key == selected) {
            state.SelectedIndex = static_cast<int>(i);
        }
    }
}

}  // namespace vantreel
