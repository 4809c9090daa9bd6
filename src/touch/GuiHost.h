#pragma once

namespace vantreel {

// Every public class, the screenshot command and the dialog tests call this
// before they build a window: it makes sure a QApplication exists (a host
// without one gets one made by the library, kept for the rest of the
// process) and that the library's messages are shown in its own message box
// window rather than on the console (a handler already installed, the host's
// or a test's, is kept). Installing it here, not from a static initializer,
// keeps the linker from dropping it from a static library.
void EnsureGuiHost();

}  // namespace vantreel
