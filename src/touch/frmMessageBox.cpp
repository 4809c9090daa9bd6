#include "touch/frmMessageBox.h"

#include "shared/MessageBox.h"
#include "shared/Resources.h"
#include "touch/ModalDialogs.h"
#include "vantreel/Error.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include <algorithm>

namespace vantreel {
namespace {

constexpr int kTwipsPerInch = 1440;
constexpr int kButtonWidth = 1200;  // twips
constexpr int kButtonHeight = 375;
constexpr int kGap = 150;
constexpr int kMinimumContentWidth = 3700;
constexpr int kMinimumMessageHeight = 1080;
constexpr int kButtonRowGap = 300;
constexpr int kScreenMargin = 3000;

struct ButtonKind {
    int32_t caption;  // string ID
    int16_t code;
};

std::vector<ButtonKind> ButtonsFor(int32_t flags) {
    switch (flags & 7) {
        case 0:
            return {{110004, vbOK}};
        case 1:
            return {{110004, vbOK}, {110005, vbCancel}};
        case 2:
            return {{110090, vbAbort}, {110091, vbRetry}, {110092, vbIgnore}};
        case 3:
            return {{110006, vbYes}, {110007, vbNo}, {110005, vbCancel}};
        case 4:
            return {{110006, vbYes}, {110007, vbNo}};
        case 5:
            return {{110091, vbRetry}, {110005, vbCancel}};
        default:
            return {};
    }
}

QString IconKeyFor(int32_t flags) {
    switch (flags & 0x70) {
        case vbCritical:
            return "Critical";
        case vbQuestion:
            return "Question";
        case vbExclamation:
            return "Exclamation";
        case vbInformation:
            return "Information";
        default:
            return {};
    }
}

QStyle::StandardPixmap IconFor(const QString& key) {
    if (key == "Critical")
        return QStyle::SP_MessageBoxCritical;
    if (key == "Question")
        return QStyle::SP_MessageBoxQuestion;
    if (key == "Exclamation")
        return QStyle::SP_MessageBoxWarning;
    return QStyle::SP_MessageBoxInformation;
}

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

frmMessageBox::frmMessageBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      lblMsg_(new QLabel(this)),
      picIcon_(new QLabel(this)) {
    setObjectName("frmMessageBox");
    lblMsg_->setObjectName("lblMsg");
    lblMsg_->setWordWrap(true);
    lblMsg_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    picIcon_->setObjectName("picIcon");
    setModal(true);
}

int frmMessageBox::Pixels(int twips) const {
    return twips * logicalDpiX() / kTwipsPerInch;
}

QPushButton* frmMessageBox::Button(int index) const {
    return index >= 1 && index <= ButtonCount() ? buttons_[static_cast<std::size_t>(index - 1)]
                                                : nullptr;
}

void frmMessageBox::Build(const std::string& sPrompt, int32_t iFlags, const std::string& sTitle) {
    for (QPushButton* button : buttons_) {
        delete button;
    }
    buttons_.clear();
    returnCode_ = 0;
    setWindowTitle(Text(sTitle));

    for (const ButtonKind& kind : ButtonsFor(iFlags)) {
        auto* button = new QPushButton(Text(GetResString(kind.caption)), this);
        button->setObjectName(QString("cmdButton%1").arg(buttons_.size() + 1));
        button->setProperty("Tag", QString::number(kind.code));
        button->setAutoDefault(false);
        const int16_t code = kind.code;
        connect(button, &QPushButton::clicked, this, [this, code] {
            returnCode_ = code;
            done(code);
        });
        buttons_.push_back(button);
    }
    const int count = ButtonCount();
    defaultButton_ = 1;
    if ((iFlags & 0x300) == 0x100 && count >= 2) {
        defaultButton_ = 2;
    } else if ((iFlags & 0x300) == 0x200 && count >= 3) {
        defaultButton_ = 3;
    }
    if (QPushButton* button = Button(defaultButton_)) {
        button->setDefault(true);
    }
    iconKey_ = IconKeyFor(iFlags);

    // Layout, in twips converted with the screen's logical DPI.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int screenWidth = screen != nullptr ? screen->geometry().width() : 1024;
    const int screenHeight = screen != nullptr ? screen->geometry().height() : 768;
    const int gap = Pixels(kGap);
    int left = gap;
    if (!iconKey_.isEmpty()) {
        const QPixmap icon = style()->standardIcon(IconFor(iconKey_)).pixmap(32, 32);
        picIcon_->setPixmap(icon);
        picIcon_->setGeometry(gap, gap, icon.width(), icon.height());
        picIcon_->show();
        left = gap + icon.width() + gap;
    } else {
        picIcon_->hide();
    }
    lblMsg_->setText(Text(sPrompt));
    const int maximumTextWidth = std::max(Pixels(1000), screenWidth - Pixels(kScreenMargin));
    const QSize textSize =
        lblMsg_->fontMetrics()
            .boundingRect(QRect(0, 0, maximumTextWidth, 100000), Qt::TextWordWrap, lblMsg_->text())
            .size();
    const int buttonWidth = Pixels(kButtonWidth);
    const int buttonHeight = Pixels(kButtonHeight);
    const int buttonRow = (buttonWidth + gap) * count + gap;
    const int contentWidth =
        std::max({buttonRow, Pixels(kMinimumContentWidth), left + textSize.width() + gap});
    const int messageHeight = std::max(Pixels(kMinimumMessageHeight), textSize.height() + 2 * gap);
    lblMsg_->setGeometry(left, gap, contentWidth - left - gap, messageHeight - 2 * gap);
    if (!iconKey_.isEmpty()) {  // the icon stands beside the middle of the text
        picIcon_->move(gap, gap + (messageHeight - 2 * gap - picIcon_->height()) / 2);
    }
    const int buttonTop = messageHeight + Pixels(kButtonRowGap);
    int buttonLeft = (contentWidth - buttonRow) / 2 + gap;
    for (QPushButton* button : buttons_) {
        button->setGeometry(buttonLeft, buttonTop, buttonWidth, buttonHeight);
        button->show();
        buttonLeft += buttonWidth + gap;
    }
    const int height = buttonTop + buttonHeight + gap;
    setFixedSize(contentWidth, height);
    move((screenWidth - contentWidth) / 2, (screenHeight - height) / 2);
}

int16_t frmMessageBox::Initialize(const std::string& sPrompt, int32_t iFlags,
                                  const std::string& sTitle) {
    Build(sPrompt, iFlags, sTitle);
    ShowModal(*this);
    return returnCode_;
}

void frmMessageBox::Display(const std::string& sPrompt, const std::string& sTitle) {
    Initialize(sPrompt, vbOKOnly, sTitle);
}

bool frmMessageBox::YesNo(const std::string& sPrompt, const std::string& sTitle) {
    return Initialize(sPrompt, vbYesNo, sTitle) == vbYes;
}

void frmMessageBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        // Escape answers Cancel, and only where there is a Cancel button.
        for (QPushButton* button : buttons_) {
            if (button->property("Tag").toString() == QString::number(vbCancel)) {
                button->click();
                return;
            }
        }
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmMessageBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (QPushButton* button = Button(defaultButton_)) {
        button->setFocus();
    }
    if (QGuiApplication::platformName() != "offscreen") {  // nothing to raise there
        raise();
        activateWindow();
    }
}

int32_t QtMessageBox(const std::string& text, int32_t style, const std::string& title) {
    frmMessageBox box;
    return box.Initialize(
        text, style, title.empty() ? QCoreApplication::applicationName().toStdString() : title);
}

void ShowErrorDescription(const Error& error, const std::string& vTitle) {
    MsgBoxEx(error.Description(), vbInformation, vTitle.empty() ? GetResString(110089) : vTitle);
}

namespace {

// A GUI host shows the library's messages in frmMessageBox.
void InstallForQApplication() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr) {
        SetMessageBoxHandler(QtMessageBox);
    }
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallForQApplication)

}  // namespace vantreel
