#include "shared/ScreenMetrics.h"

#include "shared/RunTimeError.h"
#include "vantreel/Error.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vantreel {

int TwipsToPixels(int twips, int dpi) {
    if (dpi <= 0) {
        dpi = 96;
    }
    return static_cast<int>(std::lround(static_cast<double>(twips) * dpi / kTwipsPerInch));
}

int TwipsPerPixel(int dpi) {
    return std::max(1, kTwipsPerInch / std::max(1, dpi));
}

int16_t ScreenMetrics::ToInteger(double value) {
    const double rounded = std::nearbyint(value);  // the default mode rounds halves to even
    if (!(rounded >= std::numeric_limits<int16_t>::min() &&
          rounded <= std::numeric_limits<int16_t>::max())) {
        throw MakeError(RunTimeError::Overflow, "ScreenRes");
    }
    return static_cast<int16_t>(rounded);
}

void ScreenMetrics::Initialize(int32_t iScreenWidth, int32_t iTwipsPerPixel,
                               const std::function<bool()>& sobrelContextPresent) {
    if (iTwipsPerPixel == 0) {
        throw MakeError(RunTimeError::DivisionByZero, "ScreenRes");
    }
    const int32_t pixels = iScreenWidth / iTwipsPerPixel;
    screenWidthPix_ = static_cast<int16_t>(std::clamp<int32_t>(
        pixels, std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max()));
    xAspect_ = 1.0f;
    yAspect_ = 1.0f;
    if (screenWidthPix_ == 640) {
        scaleFactor_ = 1.0f;
        titleFont_ = 18;
        labelFont_ = 10;
        commandFont_ = 8;
    } else if (screenWidthPix_ == 800) {
        scaleFactor_ = 1.25f;
        titleFont_ = 22;
        labelFont_ = 10;
        commandFont_ = 12;
    } else {
        scaleFactor_ = 1.6f;
        titleFont_ = 28;
        labelFont_ = 12;
        commandFont_ = 14;
        if (sobrelContextPresent && sobrelContextPresent()) {
            titleFont_ = 22;
            labelFont_ = 10;
        }
    }
    // The single-precision factor times the base sizes, in double precision.
    const double factor = scaleFactor_;
    cmdHeight_ = ToInteger(factor * 540);
    cmdWidth_ = ToInteger(factor * 825);
    picHeight_ = ToInteger(factor * 840);
    picWidth_ = ToInteger(factor * 2400);
    touchScreen_ = true;
}

int16_t ScreenMetrics::PicButtonHeight() const {
    return ToInteger(static_cast<double>(picHeight_) * yAspect_);
}

int16_t ScreenMetrics::PicButtonWidth() const {
    return ToInteger(static_cast<double>(picWidth_) * xAspect_);
}

int16_t ScreenMetrics::CmdButtonHeight() const {
    return touchScreen_ ? ToInteger(static_cast<double>(cmdHeight_) * yAspect_) : 360;
}

int16_t ScreenMetrics::CmdButtonWidth() const {
    return touchScreen_ ? ToInteger(static_cast<double>(cmdWidth_) * xAspect_) : 1200;
}

int16_t ScreenMetrics::CmdButtonFontSize() const noexcept {
    return touchScreen_ ? commandFont_ : 8;
}

int16_t ScreenMetrics::LabelFontSize() const noexcept {
    return touchScreen_ ? labelFont_ : 8;
}

int16_t ScreenMetrics::TitleFontSize() const noexcept {
    return touchScreen_ ? titleFont_ : 10;
}

}  // namespace vantreel
