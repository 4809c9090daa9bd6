#include "touch/ScreenRes.h"

#include "components/ContextServer.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTextEdit>
#include <QWidget>

namespace vantreel {
namespace {

void SetFontSize(QWidget* widget, int points) {
    QFont font = widget->font();
    font.setPointSize(points);
    widget->setFont(font);
}

}  // namespace

int TwipsToPixels(const QWidget* widget, int twips) {
    return TwipsToPixels(twips, widget != nullptr ? widget->logicalDpiX() : 96);
}

void ScreenRes::Initialize(int32_t iScreenWidth, int32_t iTwipsPerPixel) {
    ScreenMetrics::Initialize(iScreenWidth, iTwipsPerPixel, SobrelContextPresent);
}

void ScreenRes::InitializeForScreen(const QWidget* widget) {
    const int twipsPerPixel = TwipsPerPixel(widget != nullptr ? widget->logicalDpiX() : 96);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int screenPixels = screen != nullptr ? screen->geometry().width() : 1024;
    const bool touch = TouchScreen();
    const float xAspect = XAspect();
    const float yAspect = YAspect();
    Initialize(screenPixels * twipsPerPixel, twipsPerPixel);
    SetTouchScreen(touch);
    SetXAspect(xAspect);
    SetYAspect(yAspect);
}

void ScreenRes::SetCommand(QWidget* ctl) const {
    if (ctl == nullptr) {
        return;
    }
    SetFontSize(ctl, CmdButtonFontSize());
    ctl->resize(TwipsToPixels(ctl, CmdButtonWidth()), TwipsToPixels(ctl, CmdButtonHeight()));
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
