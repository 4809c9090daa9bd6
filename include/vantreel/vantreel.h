#pragma once

// Everything a host needs: the five public classes and the library's error.
#include "vantreel/Error.h"
#include "vantreel/Export.h"
#include "vantreel/Logon.h"
#include "vantreel/MachineSelection.h"
#include "vantreel/PartInformation.h"
#include "vantreel/PartSelection.h"
