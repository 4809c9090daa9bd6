#pragma once

#include <iosfwd>
#include <string>

namespace vantreel::cli {

// vantreel screenshots DIR: every window of the library built so far, drawn
// offscreen in a few states, as PNG files in DIR; prints their paths.
int RunScreenshots(const std::string& directory, std::ostream& out, std::ostream& err);

}  // namespace vantreel::cli
