#pragma once

#include "touch/ScreenRes.h"

#include <QDialog>

#include <cstdint>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;

namespace vantreel {

// The on-screen keyboard of touch stations: a prompt, an input box and
// finger-sized keys laid out like a US keyboard. ENTER returns the typed
// text, CANCEL the initial one.
class FormKeyboard : public QDialog {
    Q_OBJECT

  public:
    explicit FormKeyboard(QWidget* parent = nullptr);

    // The language of the key captions.
    void SetLanguage(int32_t lLanguage);

    // Touch-sized keys (the default) or desktop-sized ones; read by Build.
    void SetTouchScreen(bool bTouchScreen) noexcept { metrics_.SetTouchScreen(bTouchScreen); }

    // Shows the keyboard modally; the typed text after ENTER, sValue after
    // CANCEL. A keyboard that cannot be built shows the error and returns sValue.
    std::string InputString(const std::string& sPrompt, const std::string& sValue);

    // Builds the keyboard for a prompt and an initial value without showing it.
    void Build(const std::string& sPrompt, const std::string& sValue);

    // Opens with the caret after the initial value and nothing selected, as
    // the keys only ever append. (QDialog tabs into the focused box when it
    // opens, which would select all.)
    void setVisible(bool visible) override;

    // Touches the key with this Tag ("Q", "1!", "SHIFT", "ENTER" ...).
    void Touch(const QString& tag);

    bool Shift() const noexcept { return shift_; }
    bool Cancelled() const noexcept { return cancelled_; }
    QPushButton* Key(const QString& tag) const;  // nullptr when there is none
    const ScreenRes& Metrics() const noexcept { return metrics_; }

  protected:
    // Closing the window without ENTER or CANCEL counts as CANCEL.
    void reject() override;

  private:
    void AddKey(const QString& tag, const QString& caption, int left, int top, int width);
    int Pixels(int twips) const;

    QLabel* lblPrompt_;
    QLineEdit* txtValue_;
    std::vector<QPushButton*> keys_;  // cmdKey, in the order they were made
    int shiftKey_ = -1;
    bool shift_ = false;
    bool cancelled_ = false;
    std::string initial_;
    std::string result_;
    int32_t language_ = 0;
    ScreenRes metrics_;
};

}  // namespace vantreel
