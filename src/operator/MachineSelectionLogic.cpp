#include "operator/MachineSelectionLogic.h"

#include "operator/OperatorHelp.h"
#include "shared/RegEntry.h"
#include "shared/Resources.h"

namespace vantreel {

const char* MachineListKey(const MachineSelectionState& state) {
    return state.newMachine ? "StandardMachines" : "Machines";
}

MachineList LoadMachineSelection(MachineSelectionState& state, RegEntry& registry) {
    InitResources();
    SetLanguage(state.language);
    SetHelpFile(state.language, kHelpBaseName);
    MachineList list{GetResString(state.newMachine ? 125008 : 125009),
                     GetResString(110004),
                     GetResString(110005),
                     GetResString(110008),
                     {}};

    const std::string listKey = MachineListKey(state);
    state.machineKeys.clear();
    registry.OpenKey(listKey);  // 5001 when it is missing
    std::vector<std::string> subkeys;
    registry.Query(subkeys);
    for (const std::string& subkey : subkeys) {
        const std::string key = listKey + "\\" + subkey;
        registry.OpenKey(key);
        list.names.push_back(registry.GetString("Name"));
        state.machineKeys.push_back(key);
    }
    return list;
}

bool MachineOkEnabled(const MachineSelectionState& state, int index) {
    return index >= 0 && static_cast<std::size_t>(index) < state.machineKeys.size();
}

bool ConfirmMachine(MachineSelectionState& state, int index) {
    if (!MachineOkEnabled(state, index)) {
        return false;
    }
    state.result = state.machineKeys[static_cast<std::size_t>(index)];
    return true;
}

}  // namespace vantreel
