#pragma once

#include "dmis/dialect/DialectWarnings.h"
#include "dmis/dialect/DmisDialect.h"
#include "dmis/model/Progress.h"

#include <string>
#include <string_view>
#include <vector>

namespace vantreel {

class CProgram;

// How reading a DMIS file went.
struct DmisFileResult {
    bool ok = false;
    std::string message;  // the scan failure or the first parse error; empty when ok
    // What the extended dialect accepted, in line order (always empty for strict).
    std::vector<DialectWarning> warnings;
};

// Scans and parses the DMIS file at path into program, with a parse context
// of its own, as a conversion does. Messages are in the current language.
DmisFileResult ParseDmisFile(const std::string& path, CProgram& program,
                             const ProgressCallback& progress = {});

// The same for DMIS text held in memory; name stands for the path in messages.
DmisFileResult ParseDmisText(std::string_view text, const std::string& name, CProgram& program,
                             const ProgressCallback& progress = {});

// The same by the given dialect.
DmisFileResult ParseDmisFile(const std::string& path, CProgram& program, DmisDialect dialect,
                             const ProgressCallback& progress = {});
DmisFileResult ParseDmisText(std::string_view text, const std::string& name, CProgram& program,
                             DmisDialect dialect, const ProgressCallback& progress = {});

}  // namespace vantreel
