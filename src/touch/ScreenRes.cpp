#include "touch/ScreenRes.h"

#include "components/ContextServer.h"
#include "vantreel/Error.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <limits>

namespace vantreel {
namespace {

// Twips to the widget's pixels, with the screen's logical DPI.
int Pixels(const QWidget* widget, int twips) {
    return static_cast<int>(std::lround(twips * widget->logicalDpiX() / 1440.0));
}

void SetFontSize(QWidget* widget, int points) {
    QFont font = widget->font();
    font.setPointSize(points);
    widget->setFont(font);
}

}  // namespace

int16_t ScreenRes::ToInteger(double value) {
    const double rounded = std::nearbyint(value);  // the default mode rounds halves to even
    if (!(rounded >= std::numeric_limits<int16_t>::min() &&
          rounded <= std::numeric_limits<int16_t>::max())) {
        throw Error(6, "ScreenRes", "Overflow");
    }
    return static_cast<int16_t>(rounded);
}

void ScreenRes::Initialize(int32_t iScreenWidth, int32_t iTwipsPerPixel) {
    if (iTwipsPerPixel == 0) {
        throw Error(11, "ScreenRes", "Division by zero");
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
        if (SobrelContextPresent()) {
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

int16_t ScreenRes::PicButtonHeight() const {
    return ToInteger(static_cast<double>(picHeight_) * yAspect_);
}

int16_t ScreenRes::PicButtonWidth() const {
    return ToInteger(static_cast<double>(picWidth_) * xAspect_);
}

int16_t ScreenRes::CmdButtonHeight() const {
    return touchScreen_ ? ToInteger(static_cast<double>(cmdHeight_) * yAspect_) : 360;
}

int16_t ScreenRes::CmdButtonWidth() const {
    return touchScreen_ ? ToInteger(static_cast<double>(cmdWidth_) * xAspect_) : 1200;
}

int16_t ScreenRes::CmdButtonFontSize() const noexcept {
    return touchScreen_ ? commandFont_ : 8;
}
int16_t ScreenRes::LabelFontSize() const noexcept {
    return touchScreen_ ? labelFont_ : 8;
}
int16_t ScreenRes::TitleFontSize() const noexcept {
    return touchScreen_ ? titleFont_ : 10;
}

void ScreenRes::SetCommand(QWidget* ctl) const {
    if (ctl == nullptr) {
        return;
    }
    SetFontSize(ctl, CmdButtonFontSize());
    ctl->resize(Pixels(ctl, CmdButtonWidth()), Pixels(ctl, CmdButtonHeight()));
}

void ScreenRes::SetLabel(QWidget* ctl) const {
    if (ctl != nullptr) {
        SetFontSize(ctl, LabelFontSize());
    }
}

void ScreenRes::SetAllCommands(QWidget* frm) const {
    if (frm == nullptr) {
        return;
    }
    for (QPushButton* button : frm->findChildren<QPushButton*>()) {
        SetCommand(button);
    }
}

void ScreenRes::SetAllLabels(QWidget* frm) const {
    if (frm == nullptr) {
        return;
    }
    for (QWidget* widget : frm->findChildren<QWidget*>()) {
        if (qobject_cast<QLabel*>(widget) || qobject_cast<QLineEdit*>(widget) ||
            qobject_cast<QTextEdit*>(widget) || qobject_cast<QGroupBox*>(widget) ||
            qobject_cast<QListWidget*>(widget) || qobject_cast<QComboBox*>(widget) ||
            qobject_cast<QCheckBox*>(widget) || qobject_cast<QRadioButton*>(widget)) {
            SetLabel(widget);
        }
    }
}

}  // namespace vantreel
