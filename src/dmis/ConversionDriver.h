#pragma once

#include "dmis/dialect/DialectWarnings.h"
#include "dmis/dialect/DmisDialect.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantreel {

// A legacy DMIS part program to turn into a built part, as the part
// selection dialog describes it.
struct LegacyConversion {
    std::string SourceFile;  // the DMIS file
    std::string Name;        // the new part's name; the part manager may change it
    std::string Directory;   // the new part's folder: repository root / Name
    int32_t WindowHandle = 0;
    int32_t BuildTimeoutMs = 120000;  // how long the development environment may build
    // Set by the conversion: the development environment ran and ended with
    // exit code 0. The conversion's own result does not depend on it.
    bool Built = false;
    // The DMIS dialect; without one, the registry value Common\DmisDialect
    // decides (Strict when it is missing), as for the part selection dialog.
    std::optional<DmisDialect> Dialect;
    // Whether the conversion shows the extended dialect's warnings in a
    // message box once it has converted (a caller listing them itself clears it).
    bool ReportWarnings = true;
    // Set by the conversion: what the extended dialect accepted, in line order.
    std::vector<DialectWarning> Warnings;
};

// Scans and parses the DMIS file, creates the part through the part manager,
// writes its two Basic modules, repaginates the code and builds the project.
// True once the project has been written (whatever the build did); false when
// the file does not scan or parse or the project cannot be made, after a
// message. When the part manager picks another name, Name and Directory
// follow it.
bool ConvertLegacyPart(LegacyConversion& conversion);

// Asks the part manager to repaginate the project in directory; nothing for
// an empty directory. Failures are reported, not raised.
void RepaginateProject(const std::string& directory);

// Runs the development environment in make mode on the project in directory
// (<ProductDir>/Vb6.exe /m "<project>.vbp") and waits up to timeoutMs. The
// program is found in ProductDir ignoring the case of its name, and started
// with exactly the arguments "/m" and the project path, whatever characters
// the paths hold. Failures are reported, not raised, and say whether the
// program could not be started, ended with a non-zero exit code or was still
// running at the time-out (then it is left running). True when the program
// ended with exit code 0.
bool BuildProject(const std::string& directory, int32_t timeoutMs = 120000);

}  // namespace vantreel
