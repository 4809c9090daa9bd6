#pragma once

// Everything a host needs: the five public classes and the library's error.
#include "vantreel/Error.h"

#if __has_include("vantreel/PartSelection.h")
#include "vantreel/PartSelection.h"
#endif
#if __has_include("vantreel/PartInformation.h")
#include "vantreel/PartInformation.h"
#endif
#if __has_include("vantreel/Logon.h")
#include "vantreel/Logon.h"
#endif
#if __has_include("vantreel/MachineSelection.h")
#include "vantreel/MachineSelection.h"
#endif
#if __has_include("vantreel/Export.h")
#include "vantreel/Export.h"
#endif
