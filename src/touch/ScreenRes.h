#pragma once

#include <cstdint>

class QWidget;

namespace vantreel {

// Sizes of buttons and fonts for the screen, in twips (1/1440 inch) and
// points: finger-sized in touch mode (the default), desktop sizes without.
// Chosen by the screen width: 640 and 800 pixels have their own sizes, every
// other width the largest; there a Sobrel context (online or offline) makes
// the title and label fonts smaller.
class ScreenRes {
  public:
    // The screen width in twips and the twips per pixel. A twips-per-pixel
    // of 0 raises error 11 "Division by zero".
    void Initialize(int32_t iScreenWidth, int32_t iTwipsPerPixel);

    int16_t ScreenWidthPix() const noexcept { return screenWidthPix_; }
    int16_t PicButtonHeight() const;
    int16_t PicButtonWidth() const;
    int16_t CmdButtonHeight() const;
    int16_t CmdButtonWidth() const;
    int16_t CmdButtonFontSize() const noexcept;
    int16_t LabelFontSize() const noexcept;
    int16_t TitleFontSize() const noexcept;

    float XAspect() const noexcept { return xAspect_; }
    void SetXAspect(float aspect) noexcept { xAspect_ = aspect > 0 ? aspect : 1.0f; }
    float YAspect() const noexcept { return yAspect_; }
    void SetYAspect(float aspect) noexcept { yAspect_ = aspect > 0 ? aspect : 1.0f; }
    float SCALEFACTOR() const noexcept { return scaleFactor_; }
    bool TouchScreen() const noexcept { return touchScreen_; }
    void SetTouchScreen(bool touch) noexcept { touchScreen_ = touch; }

    // Command button size and font, label font; on every command button, or
    // every label-like control (labels, text boxes, frames, lists, combo
    // boxes, check boxes, option buttons) of a form.
    void SetCommand(QWidget* ctl) const;
    void SetLabel(QWidget* ctl) const;
    void SetAllCommands(QWidget* frm) const;
    void SetAllLabels(QWidget* frm) const;

    // int16(x): to the nearest integer, halves to the even neighbour; error
    // 6 "Overflow" outside the 16-bit range.
    static int16_t ToInteger(double value);

  private:
    int16_t screenWidthPix_ = 0;
    float xAspect_ = 1.0f;
    float yAspect_ = 1.0f;
    float scaleFactor_ = 1.0f;
    int16_t titleFont_ = 0;
    int16_t labelFont_ = 0;
    int16_t commandFont_ = 0;
    int16_t cmdHeight_ = 0;
    int16_t cmdWidth_ = 0;
    int16_t picHeight_ = 0;
    int16_t picWidth_ = 0;
    bool touchScreen_ = true;
};

}  // namespace vantreel
