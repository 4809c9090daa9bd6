#include "shared/Resources.h"
#include "touch/GuiHost.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

// The main of every dialog test program: the dialogs are driven offscreen, in English.
int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    QApplication::setApplicationName("Vantreel Tests");
    vantreel::EnsureGuiHost();  // the library's message box, as in a Qt host
    vantreel::InitResources();
    int32_t english = 1033;
    vantreel::SetLanguage(english);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
