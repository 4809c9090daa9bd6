#pragma once

#include <QDialog>

#include <cstdint>
#include <string>
#include <vector>

class QLabel;
class QPushButton;
class QScrollArea;

namespace vantreel {

class Error;

// The library's own message box: the button sets, icons and default-button
// flags of the Windows message box (MessageBoxStyle), captions in the
// current language, on top of every window, centred on the screen. Escape
// answers Cancel where there is a Cancel button; a box closed without a
// button returns 0. The focused button is the default one: Enter presses it.
// Buttons grow to fit their captions, the text wraps, and the window never
// grows beyond the screen's available area: a text too long for it scrolls.
// The text can be selected with the mouse; Ctrl+C copies the selection, or
// the whole text when nothing is selected.
class frmMessageBox : public QDialog {
    Q_OBJECT

  public:
    explicit frmMessageBox(QWidget* parent = nullptr);

    // Builds the box, shows it modally and returns ReturnCode.
    int16_t Initialize(const std::string& sPrompt, int32_t iFlags, const std::string& sTitle);
    void Display(const std::string& sPrompt, const std::string& sTitle);
    bool YesNo(const std::string& sPrompt, const std::string& sTitle);

    int16_t ReturnCode() const noexcept { return returnCode_; }
    void SetReturnCode(int16_t code) noexcept { returnCode_ = code; }

    // The parts of a built box, for tests and screenshots.
    QPushButton* Button(int index) const;  // 1-based; nullptr outside
    int ButtonCount() const noexcept { return static_cast<int>(buttons_.size()); }
    int DefaultButton() const noexcept { return defaultButton_; }
    QString IconKey() const { return iconKey_; }

    // Builds the box without showing it.
    void Build(const std::string& sPrompt, int32_t iFlags, const std::string& sTitle);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool focusNextPrevChild(bool next) override;

  private:
    void Layout();
    void CopyText() const;

    QLabel* lblMsg_;
    QLabel* picIcon_;
    QScrollArea* scrMsg_;
    std::vector<QPushButton*> buttons_;
    int defaultButton_ = 1;
    QString iconKey_;
    int16_t returnCode_ = 0;
};

// The MsgBoxEx handler of a Qt host: a new frmMessageBox for every message.
// EnsureGuiHost (touch/GuiHost.h) installs it; the command-line tool keeps
// its console handler.
int32_t QtMessageBox(const std::string& text, int32_t style, const std::string& title);

// Reports an error: its description with the information icon, titled
// vTitle or string 110089.
void ShowErrorDescription(const Error& error, const std::string& vTitle = {});

}  // namespace vantreel
