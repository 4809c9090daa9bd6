#pragma once

#include "partinfo/PartInfoSettings.h"

namespace vantreel {

// The printers installed on the system (through Qt's print support: CUPS on
// Linux), in the system's order, and the current (default) printer. A station
// without a printer gives an empty list and an empty current name.
PrinterList SystemPrinters();

}  // namespace vantreel
