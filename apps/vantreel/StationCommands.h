#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace vantreel::cli {

// vantreel convert FILE [--name NAME]: the legacy DMIS file as a new built
// part in the station's repository; prints the part's directory.
int RunConvert(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// vantreel demo-station DIR: a complete sample station in DIR (registry,
// repository with folders, parts and a legacy file, a development
// environment stand-in).
int RunDemoStation(const std::string& directory, std::ostream& out, std::ostream& err);

}  // namespace vantreel::cli
