#pragma once

#include <string>

namespace vantreel {

// The file this code was loaded from: libvantreel.so for a host, the
// executable for the tool and the tests. "" when it cannot be told.
std::string LoadedFromPath();

// The data directory of an installed copy (PREFIX/share/vantreel), found
// relative to the library or executable the code was loaded from; "" when
// there is none beside it (a build tree).
std::string InstalledDataDirectory();

}  // namespace vantreel
