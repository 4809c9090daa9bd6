#include "touch/FormHelpers.h"

#include "shared/Resources.h"
#include "touch/ScreenRes.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLineEdit>
#include <QLocale>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QUrl>
#include <QWidget>

#include <algorithm>

namespace vantreel {

const QEvent::Type ControlCommandEvent::kType =
    static_cast<QEvent::Type>(QEvent::registerEventType());

int32_t UserDefaultLcid() {
    const QLocale locale = QLocale::system();
    switch (locale.language()) {
        case QLocale::Japanese:
            return 1041;
        case QLocale::Korean:
            return 1042;
        case QLocale::Chinese:
            return locale.territory() == QLocale::Taiwan || locale.territory() == QLocale::HongKong
                       ? 1028
                       : 2052;
        case QLocale::German:
            return locale.territory() == QLocale::Switzerland ? 2055
                   : locale.territory() == QLocale::Austria   ? 3079
                                                              : 1031;
        case QLocale::French:
            return 1036;
        case QLocale::Italian:
            return 1040;
        case QLocale::Spanish:
            return 3082;
        default:
            return 1033;
    }
}

void ApplySystemFont(QWidget* frm) {
    ApplySystemFont(frm, UserDefaultLcid());
}

void ApplySystemFont(QWidget* frm, int32_t userLcid) {
    if (frm == nullptr) {
        return;
    }
    const QString face = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    const bool eastAsian =
        userLcid == 1041 || userLcid == 1042 || userLcid == 1028 || userLcid == 2052;
    auto apply = [&](QWidget* widget) {
        QFont font = widget->font();
        const bool bold = font.bold();
        const bool italic = font.italic();
        int size = font.pointSize();
        font.setFamily(face);
        font.setBold(bold);
        font.setItalic(italic);
        if (size > 0) {
            if (eastAsian && size < 9) {
                size = 9;
            } else if (!eastAsian && size <= 8) {
                size = 8;
            }
            font.setPointSize(size);
        }
        widget->setFont(font);
    };
    apply(frm);
    for (QWidget* widget : frm->findChildren<QWidget*>()) {
        apply(widget);
    }
}

void FitCommandButtons(const std::vector<QPushButton*>& buttons) {
    int width = 0;
    for (QPushButton* button : buttons) {
        if (button != nullptr) {
            button->setMinimumWidth(0);
            width = std::max({width, TwipsToPixels(button, 1200),
                              button->sizeHint().width() + TwipsToPixels(button, 180)});
        }
    }
    for (QPushButton* button : buttons) {
        if (button != nullptr) {
            button->setMinimumWidth(width);
        }
    }
}

void CenterForm(QWidget* frm) {
    if (frm == nullptr) {
        return;
    }
    const QScreen* screen =
        frm->screen() != nullptr ? frm->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    const QRect area = screen->geometry();
    frm->move(area.x() + (area.width() - frm->width()) / 2,
              area.y() + (area.height() - frm->height()) / 2);
}

void ShowHelp(QWidget*, int32_t lContextID) {
    const std::string file = HelpFile();
    if (file.empty()) {
        return;
    }
    QUrl url = QUrl::fromLocalFile(QString::fromStdString(file));
    url.setFragment(QString("context=%1").arg(lContextID));
    QDesktopServices::openUrl(url);
}

void SelectAllText(QLineEdit* ctl, bool bSelect) {
    if (ctl == nullptr) {
        return;
    }
    if (bSelect) {
        ctl->selectAll();
    } else {
        ctl->deselect();
        ctl->setCursorPosition(0);
    }
}

void SetControlEnabled(QWidget* ctl, bool bEnabled) {
    if (ctl == nullptr) {
        return;
    }
    ctl->setEnabled(bEnabled);
    QPalette palette = ctl->palette();
    const QPalette desktop = QGuiApplication::palette();
    const QColor colour = bEnabled ? desktop.color(QPalette::Active, QPalette::Base)
                                   : desktop.color(QPalette::Active, QPalette::Button);
    for (const QPalette::ColorGroup group :
         {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base, colour);
        palette.setColor(group, QPalette::Window, colour);
    }
    ctl->setPalette(palette);
    ctl->setAutoFillBackground(true);
}

void NotifyParentCommand(QWidget* ctl) {
    if (ctl == nullptr || ctl->parentWidget() == nullptr) {
        return;
    }
    QCoreApplication::postEvent(ctl->parentWidget(), new ControlCommandEvent(ctl));
}

}  // namespace vantreel
