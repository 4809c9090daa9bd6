#pragma once

#include <iosfwd>
#include <string>

namespace vantreel::cli {

// vantreel dmis tokens FILE: the token dump of FILE on out; the scan failure,
// if any, on err. Returns the exit status.
int RunTokens(const std::string& path, std::ostream& out, std::ostream& err);

// vantreel demo FILE: the token dump of FILE, the comment lines the scan put
// into the program model, and the DMIS listing of a model built in code.
int RunDemo(const std::string& path, std::ostream& out, std::ostream& err);

}  // namespace vantreel::cli
