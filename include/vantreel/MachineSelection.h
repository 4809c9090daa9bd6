#pragma once

#include "vantreel/Api.h"

#include <cstdint>
#include <memory>
#include <string>

namespace vantreel {

// Lets the operator choose a measuring machine from those configured on the
// station (registry key Machines) or, for a new configuration, from the
// standard machines (StandardMachines).
//
//     vantreel::MachineSelection selection;
//     std::string key = selection.SelectMachine(0);  // e.g. "Machines\\CMM2"
//
// One object keeps its dialog and its last choice across calls. Call from
// the GUI thread; a host without a QApplication gets one made by the library.
class VANTREEL_API MachineSelection {
  public:
    MachineSelection();
    ~MachineSelection();
    MachineSelection(const MachineSelection&) = delete;
    MachineSelection& operator=(const MachineSelection&) = delete;

    // Accepted for compatibility; it changes nothing.
    void SetMachines(const std::string& sMachines);
    // true: list the standard machines; false (the default): the configured ones.
    void SetNewMachine(bool bNewMachine);

    // Shows the dialog in language lLanguage (0: the configured one) and
    // returns the key of the chosen machine relative to the product root.
    // Cancel returns the earlier choice of this object ("" before one); an
    // error, such as a missing Machines key, returns "".
    std::string SelectMachine(int32_t lLanguage);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace vantreel
