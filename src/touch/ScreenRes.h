#pragma once

#include "shared/ScreenMetrics.h"

#include <cstdint>

class QWidget;

namespace vantreel {

// Twips to the widget's pixels, through the one rule of TwipsToPixels with
// the widget's logical DPI.
int TwipsToPixels(const QWidget* widget, int twips);

// ScreenMetrics applied to widgets. Initialize asks the context server for a
// Sobrel context where the width needs it; the sizes themselves are
// ScreenMetrics' arithmetic.
class ScreenRes : public ScreenMetrics {
  public:
    // The screen width in twips and the twips per pixel. A twips-per-pixel
    // of 0 raises error 11 "Division by zero".
    void Initialize(int32_t iScreenWidth, int32_t iTwipsPerPixel);

    // Initialize with the primary screen's width and the widget's twips per
    // pixel; touch mode and aspects set before are kept.
    void InitializeForScreen(const QWidget* widget);

    // Command button size and font, label font; on every command button, or
    // every label-like control (labels, text boxes, frames, lists, combo
    // boxes, check boxes, option buttons) of a form.
    void SetCommand(QWidget* ctl) const;
    void SetLabel(QWidget* ctl) const;
    void SetAllCommands(QWidget* frm) const;
    void SetAllLabels(QWidget* frm) const;
};

}  // namespace vantreel
