#include "partselect/PartListing.h"

#include "components/ComponentFactory.h"
#include "partselect/PartSelectLogic.h"
#include "shared/ErrorReport.h"
#include "shared/FileUtil.h"
#include "shared/MessageBox.h"
#include "shared/RegEntry.h"
#include "shared/Resources.h"
#include "shared/Text.h"
#include "vantreel/Error.h"

#include <algorithm>
#include <ctime>
#include <exception>

namespace vantreel {
namespace {

constexpr int32_t kRootLine = 125080;
void Report(const std::string& description) {
    ShowErrorReport(description);
}

// Runs an operation under the listing's error trap.
template <class Operation>
bool Trapped(Operation operation) {
    try {
        operation();
        return true;
    } catch (const Error& error) {
        Report(error.Description());
    } catch (const std::exception& error) {
        Report(error.what());
    }
    return false;
}

template <class T>
void Empty(KeyedCollection<T>& collection) {
    collection = KeyedCollection<T>();
}

void ChooseSelection(PartSelectState& state) {
    state.SelectedIndex = -1;
    state.EditSelected = false;
    state.Focus = FocusTarget::None;
    int target = -1;
    for (std::size_t i = 0; i < state.Items.size(); ++i) {
        const ListEntry& entry = state.Items[i];
        if (entry.Kind() == 'P' || entry.Kind() == 'D') {
            break;
        }
        if (!state.ReselectPath.empty() && entry.Key == "F:" + state.ReselectPath) {
            target = static_cast<int>(i);
        }
    }
    if (target >= 0) {
        state.Focus = FocusTarget::List;
        state.SelectedIndex = target;
        state.EditSelected = true;
        state.ReselectPath.clear();
        return;
    }
    if (state.Activated) {
        state.Focus = FocusTarget::NameBox;
    }
    if (!state.Items.empty()) {
        state.SelectedIndex = 0;
    }
}

// The path lines and "upone" depend on the stack alone and are built first,
// so that a folder which cannot be listed (deleted meanwhile, say) still
// leaves the way back open.
void BuildPath(PartSelectState& state) {
    for (std::size_t i = 0; i < state.FolderStack.size(); ++i) {
        state.StackLines.push_back(StackLine(*state.FolderStack[i], i == 0));
    }
    state.StackIndex = static_cast<int>(state.StackLines.size()) - 1;
    state.UpOneEnabled = state.FolderStack.size() > 1;
}

void BuildList(PartSelectState& state) {
    PartFolder& current = *state.FolderStack.back();
    state.HostDirectory = current.FullPath();

    current.GetFolders(state.Folders, false);
    for (int32_t i = 1; i <= state.Folders.Count(); ++i) {
        const PartFolder& folder = *state.Folders.Item(i);
        state.StagedFolders.push_back(
            {"F:" + folder.FullPath(), folder.ShortName(), "folderlist", {}, 0});
    }

    if (!state.DirectoryMode) {
        current.GetParts(state.Parts, false);
        for (int32_t i = 1; i <= state.Parts.Count(); ++i) {
            const Part& part = *state.Parts.Item(i);
            if (!PartPassesFilters(part, state.RequireSource, state.RequireExecutable,
                                   state.SuppressLorimet)) {
                continue;
            }
            ListEntry entry{"P:" + part.FullPath(), part.PartName(), "part", {}, 0};
            if (!state.ListMode) {
                entry.Date = part.PartDate();
                entry.DateText =
                    state.DateFormatter ? state.DateFormatter(entry.Date) : IsoDateText(entry.Date);
            }
            state.StagedParts.push_back(std::move(entry));
        }
    }

    current.GetFiles(state.Files, false);
    for (int32_t i = 1; i <= state.Files.Count(); ++i) {
        const PlainFile& file = *state.Files.Item(i);
        const std::string shortName = file.ShortName();
        if (IsLegacyDmisName(shortName)) {
            state.StagedFiles.push_back({"D:" + file.FullPath(), shortName, "dmis", {}, 0});
        }
    }

    state.Items.reserve(state.StagedFolders.size() + state.StagedParts.size() +
                        state.StagedFiles.size());
    for (auto* staged : {&state.StagedFolders, &state.StagedParts, &state.StagedFiles}) {
        state.Items.insert(state.Items.end(), staged->begin(), staged->end());
    }
    if (state.SortColumn >= 0) {
        SortEntries(state.Items, state.SortColumn, state.SortDescending);
    }

    SetNameText(state, "");
    ChooseSelection(state);
}

}  // namespace

bool RefreshList(PartSelectState& state) {
    ++state.ListVersion;
    state.StackLines.clear();
    state.StackIndex = -1;
    state.Items.clear();
    state.StagedFolders.clear();
    state.StagedParts.clear();
    state.StagedFiles.clear();
    state.SelectedIndex = -1;
    state.EditSelected = false;
    Empty(state.Folders);
    Empty(state.Parts);
    Empty(state.Files);
    if (state.FolderStack.empty()) {
        return true;
    }
    return Trapped([&] {
        BuildPath(state);
        BuildList(state);
    });
}

void PushRoot(PartSelectState& state) {
    std::unique_ptr<PartFolder> root = CreatePartFolder("Ulmaret.Folder");
    root->OpenFolder("");
    state.SelectedKey = root->FullPath();
    state.FolderStack.push_back(std::move(root));
}

bool ResetView(PartSelectState& state, const std::string& sPath) {
    const bool opened = Trapped([&] {
        state.FolderStack.clear();
        std::unique_ptr<PartFolder> folder = CreatePartFolder("Ulmaret.Folder");
        folder->OpenFolder(sPath);
        state.SelectedKey = folder->FullPath();
        state.FolderStack.push_back(std::move(folder));
    });
    // A folder that did not open leaves an empty stack, and the list shows
    // that rather than entries of a folder no longer on it.
    return RefreshList(state) && opened;
}

bool IsRestrictedToDefaultRepository() {
    RegEntry registry;
    registry.OpenKey("Common");
    if (registry.GetString("StartupApp") != "Sobrel") {
        registry.OpenKey("Users");
        const std::string user = registry.GetString("LastUser");
        if (user.empty()) {
            return true;
        }
        const std::string userKey = "Users\\" + user;
        if (registry.TestKey(userKey)) {
            registry.OpenKey(userKey);
            return registry.GetBoolean("AccessDefaultRepositoryOnly");
        }
        return true;
    }
    if (registry.TestKey("Sobrel\\User")) {
        registry.OpenKey("Sobrel\\User");
        return !registry.GetBoolean("Administrator");
    }
    return true;
}

bool IsLegacyDmisName(std::string_view shortName) {
    if (shortName.size() <= 4) {
        return false;
    }
    const std::string extension = ToUpperAscii(shortName.substr(shortName.size() - 4));
    return extension == ".DMS" || extension == ".DMI";
}

bool PartPassesFilters(const Part& part, bool requireSource, bool requireExecutable,
                       bool suppressLorimet) {
    return !(requireSource && !part.HasSource()) && !(requireExecutable && !part.HasExecutable()) &&
           !(suppressLorimet && part.IsLorimet());
}

std::string StackLine(const PartFolder& folder, bool root) {
    const std::string shortName = folder.ShortName();
    if (!shortName.empty()) {
        // A drive's mount point opened as the top of the stack names itself in full.
        return root ? folder.FullPath() : shortName;
    }
    const std::string path = folder.FullPath();
    if (path.size() < 2 || path[1] != ':') {
        return GetResString(kRootLine);
    }
    return ToUpperAscii(path.substr(0, 2)) + " " + GetResString(kRootLine);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (!folder.empty() && folder.back() == '/') {
        return folder + name;
    }
    return folder + "/" + name;
}

std::string IsoDateText(double basicDate) {
    const std::time_t seconds = static_cast<std::time_t>(FileUtil::TimeFromDate(basicDate));
    std::tm local{};
    if (localtime_r(&seconds, &local) == nullptr) {
        return {};
    }
    char text[32];
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return std::string(text, length);
}

void SortEntries(std::vector<ListEntry>& entries, int column, bool descending) {
    const auto less = [column](const ListEntry& a, const ListEntry& b) {
        if (column == 1) {
            return a.Date < b.Date;
        }
        return ToUpperAscii(a.Text) < ToUpperAscii(b.Text);
    };
    if (descending) {
        std::stable_sort(entries.begin(), entries.end(),
                         [&](const ListEntry& a, const ListEntry& b) { return less(b, a); });
    } else {
        std::stable_sort(entries.begin(), entries.end(), less);
    }
}

}  // namespace vantreel
