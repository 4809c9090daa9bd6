#pragma once

#include "partselect/PartSelectState.h"

#include <string>
#include <string_view>
#include <vector>

namespace vantreel {

// The repository listing behind the part selection dialog: what the part
// manager reports for the folder on top of the folder stack, filtered and
// grouped (folders, parts, legacy DMIS files), the path lines, the toolbar
// state and the entry selected after every rebuild.

// Rebuilds the list, the path lines and the toolbar state from the folder
// stack and the filters. An error from the part manager is shown (information
// icon, title 110089) and ends the rebuild where it happened; false then.
bool RefreshList(PartSelectState& state);

// Empties the folder stack, opens sPath ("" = the repository root) as its
// only entry, makes its full path the selected key and rebuilds. An error is
// shown as above and leaves the stack and the list empty; false then.
bool ResetView(PartSelectState& state, const std::string& sPath);

// Loading's variant of ResetView: opens the root without showing anything;
// the error is raised for the caller.
void PushRoot(PartSelectState& state);

// Whether the operator must stay in the default repository (no drive
// selection), from the registry. Raises the registry's error for a key that
// cannot be opened.
bool IsRestrictedToDefaultRepository();

// Whether a plain file is a legacy DMIS program: a name longer than four
// characters ending in ".DMS" or ".DMI", in any letter case.
bool IsLegacyDmisName(std::string_view shortName);

// Whether a part passes the host's filters. Asks the part only what the
// filters set need.
bool PartPassesFilters(const Part& part, bool requireSource, bool requireExecutable,
                       bool suppressLorimet);

// The path line of one folder of the stack; root is true for the first one.
std::string StackLine(const PartFolder& folder, bool root);

// "<folder>/<name>", without doubling a separator at a root such as "/".
std::string JoinPath(const std::string& folder, const std::string& name);

// The ISO 8601 date and time ("2026-12-06 14:05:09") of a Basic date in
// local time: the date text when the state has no formatter of its own (the
// dialog gives the desktop's long date and long time formats instead).
std::string IsoDateText(double basicDate);

// Sorts entries by a column (0: the text, 1: the date); stable, so entries
// that compare equal keep their order.
void SortEntries(std::vector<ListEntry>& entries, int column, bool descending);

}  // namespace vantreel
