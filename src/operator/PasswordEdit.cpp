#include "operator/PasswordEdit.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>

namespace vantreel {

PasswordEdit::PasswordEdit(QWidget* parent) : QLineEdit(parent) {
    setEchoMode(QLineEdit::Password);
    // Every character shows as "*", whatever mask the desktop style prefers.
    setStyleSheet("QLineEdit { lineedit-password-character: 42; }");
    setDragEnabled(false);  // a drag would carry the text out
    setInputMethodHints(Qt::ImhHiddenText | Qt::ImhSensitiveData | Qt::ImhNoPredictiveText |
                        Qt::ImhNoAutoUppercase);
}

void PasswordEdit::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy) || event->matches(QKeySequence::Cut)) {
        event->accept();  // swallowed: nothing reaches the clipboard
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void PasswordEdit::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu();
    for (QAction* action : menu->actions()) {
        const QString name = action->objectName();
        if (name == "edit-copy" || name == "edit-cut") {
            action->setEnabled(false);
        }
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

}  // namespace vantreel
