#pragma once

#include "operator/LogonState.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace vantreel {

class PasswordEdit;

// The logon dialog: a user name and a password, OK, Cancel and Help. It
// shows and changes the LogonState it is given and nothing else.
class FormLogon : public QDialog {
    Q_OBJECT

  public:
    explicit FormLogon(LogonState& state, QWidget* parent = nullptr);
    ~FormLogon() override;

    // Language, help, texts and the proposed user name, the password box
    // empty; then centred on the screen. Registry errors reach the caller.
    void Load();

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void done(int result) override;

  private:
    void Ok();
    void Cancel();

    LogonState& state_;
    QLabel* lblUsername_;
    QLabel* lblPassword_;
    QLineEdit* txtUsername_;
    PasswordEdit* txtPassword_;
    QPushButton* cmdOK_;
    QPushButton* cmdCancel_;
    QPushButton* cmdHelp_;
};

}  // namespace vantreel
