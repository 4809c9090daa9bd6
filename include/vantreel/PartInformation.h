#pragma once

#include "vantreel/Api.h"

#include <cstdint>
#include <memory>
#include <string>

namespace vantreel {

// The part information dialog: a part's run settings (report, log, printing,
// CSV output, database labels, library name, serial number, partial run,
// write protection) and the settings editors of installed add-ons.
class VANTREEL_API PartInformation {
  public:
    // Initialises the string resources and selects the station's default language.
    PartInformation();
    ~PartInformation();
    PartInformation(const PartInformation&) = delete;
    PartInformation& operator=(const PartInformation&) = delete;

    // Shows the settings of the part stored in partDir. userKey and machineKey
    // are registry key paths below the station's root key (the user's label
    // defaults, the machine's database labels); language is a Windows
    // language identifier (0: the station's default); touchScreen sizes the
    // dialog for fingers and opens the on-screen keyboard for its text boxes.
    // True when the operator saved and closed with OK; false after Cancel
    // and on any error (a part that cannot be opened is reported first).
    bool ShowInformation(const std::string& partDir, const std::string& userKey,
                         const std::string& machineKey, int32_t language, bool touchScreen);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace vantreel
