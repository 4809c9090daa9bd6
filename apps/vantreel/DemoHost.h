#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace vantreel::cli {

// vantreel demo-host [STATION] [--open METHOD] [--screenshot FILE] | --list:
// a host window with a button per public method on the sample station (made
// in STATION when it has none yet). --open presses a method's button once the
// window shows; --screenshot saves the screen with the dialog it opened (or
// the window alone) and quits. --list tells which methods this build can call.
int RunDemoHost(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace vantreel::cli
