#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vantreel {

// What the machine selection dialog is given and gives back; kept by
// MachineSelection across calls.
struct MachineSelectionState {
    std::string result;                    // key of the chosen machine; "" before a choice
    bool newMachine = false;               // True: the standard machines
    std::string machines;                  // accepted from the host, not used
    int32_t language = 0;                  // LCID of texts and help
    std::vector<std::string> machineKeys;  // key of each list entry, in list order
};

}  // namespace vantreel
