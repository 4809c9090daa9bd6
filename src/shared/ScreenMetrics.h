#pragma once

#include <cstdint>
#include <functional>

namespace vantreel {

// Twips (1/1440 inch) and screen pixels.
constexpr int kTwipsPerInch = 1440;

// Twips to pixels at a resolution in dots per inch: to the nearest pixel,
// halves away from zero. Every window of the library converts through this
// one rule; a resolution of 0 or less counts as 96 DPI.
int TwipsToPixels(int twips, int dpi);

// The whole twips per pixel at a resolution (15 at 96 DPI, at least 1).
int TwipsPerPixel(int dpi);

// The sizes of buttons and fonts for a screen, in twips and points, without
// any window: finger-sized in touch mode (the default), desktop sizes
// without. Chosen by the screen width: 640 and 800 pixels have their own
// sizes, every other width the largest; there a Sobrel context (online or
// offline) makes the title and label fonts smaller.
class ScreenMetrics {
  public:
    // The screen width in twips and the twips per pixel. A twips-per-pixel of
    // 0 raises error 11 "Division by zero". sobrelContextPresent is asked only
    // for a width other than 640 and 800 pixels; what it throws reaches the
    // caller.
    void Initialize(int32_t iScreenWidth, int32_t iTwipsPerPixel,
                    const std::function<bool()>& sobrelContextPresent);

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
