#pragma once

#include "dmis/model/Progress.h"

#include <string>
#include <string_view>

namespace vantreel {

class CProgram;

// How reading a DMIS file went.
struct DmisFileResult {
    bool ok = false;
    std::string message;  // the scan failure or the first parse error; empty when ok
};

// Scans and parses the DMIS file at path into program, with a parse context
// of its own, as a conversion does. Messages are in the current language.
DmisFileResult ParseDmisFile(const std::string& path, CProgram& program,
                             const ProgressCallback& progress = {});

// The same for DMIS text held in memory; name stands for the path in messages.
DmisFileResult ParseDmisText(std::string_view text, const std::string& name, CProgram& program,
                             const ProgressCallback& progress = {});

}  // namespace vantreel
