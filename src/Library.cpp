// The shared library's own translation unit. Its code comes from the static
// libraries linked into it whole; compiling the umbrella header here proves
// that every public header stands on its own, without Qt or internal headers.
#include "vantreel/vantreel.h"
