#pragma once

#include "partselect/PartSelectState.h"

#include <cstdint>
#include <string>

namespace vantreel {

// The rules of the part selection dialog, acting on its state. The window
// forwards each user action here and then shows the state again.

// What the window does after OK or a double-click.
enum class OkOutcome {
    Nothing,  // nothing happened
    Stay,     // the list changed (a step into a folder, a part added); stay open
    Close,    // close the dialog; the results are in the state
    Convert,  // convert the legacy file chosen (ConvertLegacyFile), close on success
};

// Prepares a showing: the folder stack holding only the repository root,
// the plain list, the name box's mode, the toolbar buttons available, the
// first listing. An error is shown (information icon, title 110089) and
// skips the remaining steps; false then.
bool LoadDialog(PartSelectState& state);

// The first activation of a showing empties the name box and gives it the
// focus; later ones do nothing.
void ActivateDialog(PartSelectState& state);

// The name box's text changed (typed, or put there by the dialog): Name,
// Directory and whether OK is available follow it.
void SetNameText(PartSelectState& state, const std::string& text);

// In save-as mode: whether the typed name is taken in the folder shown by
// something OK cannot step into (a part, a plain file, a folder not
// listed); every error counts as "not taken".
bool FolderExists(const PartSelectState& state);

// Whether a typed name can name a part or folder in the folder shown.
bool IsAcceptableName(const std::string& name);

// A click on entry index of the list.
void ClickEntry(PartSelectState& state, int index);

OkOutcome PressOk(PartSelectState& state);
// A double-click on entry index (ClickEntry has already run for it).
OkOutcome DoubleClickEntry(PartSelectState& state, int index);
// Converts the legacy file chosen into a new part; Name and Directory follow
// the part made. False (after the converter's message) when it failed.
bool ConvertLegacyFile(PartSelectState& state, int32_t windowHandle);
void PressCancel(PartSelectState& state);

// The path lines: back to the folder of line index.
void PickStackLine(PartSelectState& state, int index);

// Toolbar actions.
void UpOne(PartSelectState& state);
void NewFolder(PartSelectState& state);
void SetListMode(PartSelectState& state, bool listMode);
// The drive selection's answer: "" nothing, "*" the repository root,
// otherwise the root of a drive.
void ApplyDriveChoice(PartSelectState& state, const std::string& choice);

// Creates "New Folder", else "New Folder (2)" ... "New Folder (100)" in the
// current folder and marks it for renaming at the next rebuild. False when
// every name failed (nothing is shown then).
bool CreateNewFolder(PartSelectState& state);

// Renaming: only folders may be renamed.
bool CanRenameEntry(const PartSelectState& state, int index);
enum class RenameOutcome {
    Unchanged,  // empty or the same text: the edit ends without a change
    Renamed,    // done; the list must be rebuilt once the edit has ended
    Failed,     // the message was shown; the entry keeps its old text
};
RenameOutcome RenameEntry(PartSelectState& state, int index, const std::string& newText);

// A click on column heading column (0: name, 1: date): sorts the list by
// it, toggling the order with every click; the order holds for later
// rebuilds.
void ClickColumn(PartSelectState& state, int column);

}  // namespace vantreel
