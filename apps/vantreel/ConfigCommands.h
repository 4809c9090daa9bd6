#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace vantreel::cli {

// vantreel config repository-root [APPLICATION] | install-directory
int RunConfig(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// vantreel strings ID [--lang LCID] | check
int RunStrings(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace vantreel::cli
