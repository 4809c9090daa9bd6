#include "touch/GuiHost.h"

#include "shared/MessageBox.h"
#include "touch/frmMessageBox.h"

#include <QApplication>

namespace vantreel {

void EnsureGuiHost() {
    if (QCoreApplication::instance() == nullptr) {
        // QApplication keeps references to argc and argv for its whole life,
        // and a host that had none expects it to last as long as the process:
        // it is made once and deliberately never destroyed.
        static int argc = 1;
        static char name[] = "vantreel";
        static char* argv[] = {name, nullptr};
        static QApplication* application = new QApplication(argc, argv);
        (void)application;
    }
    // A handler already installed (the host's own, or a test's script) stays.
    if (!HasMessageBoxHandler() &&
        qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr) {
        SetMessageBoxHandler(QtMessageBox);
    }
}

}  // namespace vantreel
