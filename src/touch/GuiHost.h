#pragma once

namespace vantreel {

// Every public class calls this before it builds a window: it makes sure a
// QApplication exists (a host without one gets one made by the library, kept
// for the rest of the process) and that the library's messages are shown in
// its own message box window rather than on the console (a handler already
// installed, the host's or a test's, is kept).
void EnsureGuiHost();

}  // namespace vantreel
