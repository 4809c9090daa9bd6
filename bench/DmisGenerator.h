#pragma once

#include <cstdint>
#include <string>

namespace vantreel::bench {

// A realistic DMIS part program of about `lines` physical lines: features,
// measurement blocks with points, outputs and tolerances, comment lines,
// continuations and labels with "-" and ".", written as a station writes them.
std::string GenerateDmisProgram(int64_t lines);

}  // namespace vantreel::bench
