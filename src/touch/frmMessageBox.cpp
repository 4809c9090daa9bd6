#include "touch/frmMessageBox.h"

#include "shared/ErrorReport.h"
#include "shared/MessageBox.h"
#include "shared/Resources.h"
#include "touch/FormHelpers.h"
#include "touch/ModalDialogs.h"
#include "touch/ScreenRes.h"
#include "vantreel/Error.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>

namespace vantreel {
namespace {

// Layout figures, in twips.
constexpr int kButtonWidth = 1200;  // the least a button is wide
constexpr int kButtonHeight = 375;  // the least a button is high
constexpr int kGap = 150;
constexpr int kMinimumContentWidth = 3700;
constexpr int kMinimumMessageHeight = 1080;
constexpr int kButtonRowGap = 300;
constexpr int kScreenMargin = 3000;      // the text is at most the screen less this wide
constexpr int kMinimumTextWidth = 1000;  // ... and never narrower than this
constexpr int kWindowFrame = 600;        // kept free for the title bar and the borders
constexpr int kCaptionPadding = 180;     // added to a caption's own width

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
      lblMsg_(new QLabel),
      picIcon_(new QLabel(this)),
      scrMsg_(new QScrollArea(this)) {
    setObjectName("frmMessageBox");
    lblMsg_->setObjectName("lblMsg");
    lblMsg_->setWordWrap(true);
    lblMsg_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // Selectable like the text of Qt's own message box; the buttons keep the
    // keyboard, so Enter and Tab work on them and Ctrl+C reaches the box.
    lblMsg_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblMsg_->setFocusPolicy(Qt::NoFocus);
    lblMsg_->setTextFormat(Qt::PlainText);
    scrMsg_->setObjectName("scrMsg");
    scrMsg_->setFrameShape(QFrame::NoFrame);
    scrMsg_->setFocusPolicy(Qt::NoFocus);
    scrMsg_->setWidgetResizable(true);
    scrMsg_->setWidget(lblMsg_);
    scrMsg_->viewport()->setAutoFillBackground(false);
    lblMsg_->setAutoFillBackground(false);  // setWidget turned it on
    picIcon_->setObjectName("picIcon");
    setModal(true);
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

    for (const MessageBoxButton& kind : MessageBoxButtons(iFlags)) {
        auto* button = new QPushButton(Text(GetResString(kind.captionId)), this);
        button->setObjectName(QString("cmdButton%1").arg(buttons_.size()));  // cmdButton(0) first
        button->setProperty("Tag", QString::number(kind.result));
        // A button with the focus becomes the default one and takes Enter.
        button->setAutoDefault(true);
        const int16_t code = static_cast<int16_t>(kind.result);
        connect(button, &QPushButton::clicked, this, [this, code] {
            returnCode_ = code;
            done(code);
        });
        buttons_.push_back(button);
    }
    // Tab goes left to right.
    for (std::size_t i = 1; i < buttons_.size(); ++i) {
        setTabOrder(buttons_[i - 1], buttons_[i]);
    }
    defaultButton_ = MessageBoxDefaultButton(iFlags, ButtonCount());
    if (QPushButton* button = Button(defaultButton_)) {
        button->setDefault(true);
        button->setFocus(Qt::OtherFocusReason);
    }
    iconKey_ = QString::fromUtf8(MessageBoxIconKey(iFlags));
    lblMsg_->setText(Text(sPrompt));
    ApplySystemFont(this);
    Layout();
}

void frmMessageBox::Layout() {
    const QScreen* screen =
        this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    auto pixels = [this](int twips) { return TwipsToPixels(this, twips); };
    const int gap = pixels(kGap);

    int left = gap;
    if (!iconKey_.isEmpty()) {
        const QPixmap icon = style()->standardIcon(IconFor(iconKey_)).pixmap(32, 32);
        picIcon_->setPixmap(icon);
        picIcon_->resize(icon.size());
        picIcon_->show();
        left = gap + icon.width() + gap;
    } else {
        picIcon_->hide();
    }

    // Buttons: one width for all, the widest caption's, never below the minimum.
    int buttonWidth = pixels(kButtonWidth);
    int buttonHeight = pixels(kButtonHeight);
    for (QPushButton* button : buttons_) {
        const QSize hint = button->sizeHint();
        buttonWidth = std::max(buttonWidth, hint.width() + pixels(kCaptionPadding));
        buttonHeight = std::max(buttonHeight, hint.height());
    }
    const int count = ButtonCount();
    const int buttonRow = (buttonWidth + gap) * count + gap;

    // The text wraps at the widest it may be; a word wider than that scrolls.
    const int maximumTextWidth =
        std::max(pixels(kMinimumTextWidth), area.width() - pixels(kScreenMargin));
    const QRect natural = lblMsg_->fontMetrics().boundingRect(
        QRect(0, 0, maximumTextWidth, 1 << 24), Qt::TextWordWrap | Qt::AlignLeft, lblMsg_->text());
    const int textWidth = std::min(natural.width(), maximumTextWidth);
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);

    int contentWidth = std::max({buttonRow, pixels(kMinimumContentWidth), left + textWidth + gap});
    contentWidth = std::min(contentWidth, area.width());
    int textAreaWidth = contentWidth - left - gap;
    const bool wideWord = natural.width() > textAreaWidth;
    int textHeight = natural.height() + (wideWord ? scrollBar : 0);

    int messageHeight = std::max(pixels(kMinimumMessageHeight), textHeight + 2 * gap);
    const int below = pixels(kButtonRowGap) + buttonHeight + gap;
    const int tallest =
        std::max(pixels(kMinimumMessageHeight), area.height() - pixels(kWindowFrame) - below);
    if (messageHeight > tallest) {  // the text scrolls; its scroll bar takes room beside it
        messageHeight = tallest;
        if (contentWidth + scrollBar <= area.width()) {
            contentWidth += scrollBar;
        }
        textAreaWidth = contentWidth - left - gap;
    }
    scrMsg_->setGeometry(left, gap, textAreaWidth, messageHeight - 2 * gap);
    if (!iconKey_.isEmpty()) {
        // Beside the middle of a short text, beside the first line of a long one.
        const bool shortText = textHeight + 2 * gap <= pixels(kMinimumMessageHeight);
        picIcon_->move(gap,
                       shortText ? gap + (messageHeight - 2 * gap - picIcon_->height()) / 2 : gap);
    }

    const int buttonTop = messageHeight + pixels(kButtonRowGap);
    int buttonLeft = (contentWidth - buttonRow) / 2 + gap;
    for (QPushButton* button : buttons_) {
        button->setGeometry(buttonLeft, buttonTop, buttonWidth, buttonHeight);
        button->show();
        buttonLeft += buttonWidth + gap;
    }
    const int height = buttonTop + buttonHeight + gap;
    setFixedSize(contentWidth, height);
    move(area.x() + (area.width() - contentWidth) / 2, area.y() + (area.height() - height) / 2);
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

void frmMessageBox::CopyText() const {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard != nullptr) {
        clipboard->setText(lblMsg_->hasSelectedText() ? lblMsg_->selectedText() : lblMsg_->text());
    }
}

void frmMessageBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        // Escape answers Cancel, and only where there is a Cancel button.
        for (QPushButton* button : buttons_) {
            if (button->property("Tag").toInt() == vbCancel) {
                button->click();
                return;
            }
        }
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // Enter presses the button with the focus, else the default one.
        QPushButton* pressed = Button(defaultButton_);
        for (QPushButton* button : buttons_) {
            if (button->hasFocus() || button == focusWidget()) {
                pressed = button;
            }
        }
        if (pressed != nullptr) {
            pressed->click();
        }
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Copy)) {
        CopyText();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool frmMessageBox::focusNextPrevChild(bool next) {
    const bool moved = QDialog::focusNextPrevChild(next);
    // The default role follows the focus at once, active window or not.
    if (auto* focused = qobject_cast<QPushButton*>(focusWidget())) {
        for (QPushButton* button : buttons_) {
            button->setDefault(button == focused);
        }
    }
    return moved;
}

void frmMessageBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (QPushButton* button = Button(defaultButton_)) {
        button->setDefault(true);
        button->setFocus(Qt::ActiveWindowFocusReason);
    }
    raise();
    activateWindow();
}

int32_t QtMessageBox(const std::string& text, int32_t style, const std::string& title) {
    frmMessageBox box;
    return box.Initialize(
        text, style, title.empty() ? QCoreApplication::applicationName().toStdString() : title);
}

void ShowErrorDescription(const Error& error, const std::string& vTitle) {
    ShowErrorReport(error.Description(), vTitle);
}

}  // namespace vantreel
