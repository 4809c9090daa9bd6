#pragma once

#include <QIcon>

#include <string>

namespace vantreel {

// The pictures of the part selection dialog by image key: the list's
// "folderlist", "part" and "dmis", and the toolbar's "up", "new", "list",
// "details" and "selectdrive". Each comes from the desktop's icon theme
// where it has one, else from the style's own pictures; an unknown key gives
// a null icon.
QIcon PartIcon(const std::string& key);

}  // namespace vantreel
