#pragma once

#include <QLineEdit>

namespace vantreel {

// A text box for a password: every character shown as "*", and its text
// never leaves it by copying, cutting, dragging or the context menu; input
// methods are told the text is sensitive.
class PasswordEdit : public QLineEdit {
    Q_OBJECT

  public:
    explicit PasswordEdit(QWidget* parent = nullptr);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
};

}  // namespace vantreel
