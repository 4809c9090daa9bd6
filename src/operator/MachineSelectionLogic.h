#pragma once

#include "operator/MachineSelectionState.h"

#include <string>
#include <vector>

namespace vantreel {

class RegEntry;

// The texts and entries of the machine selection dialog.
struct MachineList {
    std::string caption;
    std::string ok;
    std::string cancel;
    std::string help;
    std::vector<std::string> names;  // Name of each machine, in list order ("" without one)
};

// The key listed: StandardMachines for a new machine, else Machines.
const char* MachineListKey(const MachineSelectionState& state);

// When the dialog loads: language and help set-up, texts, and the machines
// below the list key in registry enumeration order; state.machineKeys gets
// "<list key>\<subkey>" for each entry. A missing list key raises 5001.
MachineList LoadMachineSelection(MachineSelectionState& state, RegEntry& registry);

// Whether OK can be pressed with the entry at index selected (-1: none).
bool MachineOkEnabled(const MachineSelectionState& state, int index);

// OK with the entry at index selected: its key becomes the result and true
// tells the dialog to close; with no valid selection nothing changes.
bool ConfirmMachine(MachineSelectionState& state, int index);

}  // namespace vantreel
