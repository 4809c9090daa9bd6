#pragma once

#include <QEvent>

#include <cstdint>
#include <vector>

class QLineEdit;
class QPushButton;
class QWidget;

namespace vantreel {

// The window side of the utilities every dialog shares.

// Gives the form and every control the desktop's general font, keeping each
// control's size, bold and italic, with the minimum size of the user's
// locale: 9 points for Japanese, Korean and Chinese (LCIDs 1041, 1042, 1028,
// 2052), 8 for all others. The overload takes the LCID itself.
void ApplySystemFont(QWidget* frm);
void ApplySystemFont(QWidget* frm, int32_t userLcid);

// The Windows LCID of the user's locale (1033 for anything unknown).
int32_t UserDefaultLcid();

// Gives the buttons one width: the widest caption's with room to spare, at
// least a standard command button's 1200 twips. Called after the captions
// are set, so translated captions fit.
void FitCommandButtons(const std::vector<QPushButton*>& buttons);

// Moves the form to the middle of its screen.
void CenterForm(QWidget* frm);

// Opens the help file (SetHelpFile) through the desktop at a context, given
// as the URL fragment "context=N"; nothing without a help file.
void ShowHelp(QWidget* owner, int32_t lContextID);

// Selects the whole text, or puts an empty selection at the start.
void SelectAllText(QLineEdit* ctl, bool bSelect);

// Enables or disables a control and gives it the desktop's window colour when
// enabled, its button-face colour when disabled; nothing for no control.
void SetControlEnabled(QWidget* ctl, bool bEnabled);

// The command a control sends its parent window (WM_COMMAND): posted to the
// parent as a ControlCommandEvent carrying the control. Nothing without a parent.
class ControlCommandEvent : public QEvent {
  public:
    static const QEvent::Type kType;
    explicit ControlCommandEvent(QWidget* control) : QEvent(kType), control_(control) {}
    QWidget* Control() const noexcept { return control_; }

  private:
    QWidget* control_;
};

void NotifyParentCommand(QWidget* ctl);

}  // namespace vantreel
