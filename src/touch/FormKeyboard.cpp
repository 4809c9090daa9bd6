#include "touch/FormKeyboard.h"

#include "shared/Resources.h"
#include "touch/FormHelpers.h"
#include "touch/ModalDialogs.h"
#include "touch/frmMessageBox.h"
#include "vantreel/Error.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace vantreel {
namespace {

constexpr int kLeft = 180;       // twips from the left edge to the first row
constexpr int kRowsBelow = 360;  // twips between the input box and the first row

// The character keys, row by row: one character, or unshifted then shifted.
const std::vector<std::vector<QString>>& CharacterRows() {
    static const std::vector<std::vector<QString>> rows = {
        {"1!", "2@", "3#", "4$", "5%", "6^", "7&", "8*", "9(", "0)", "-_", "=+", "\\|"},
        {"Q", "W", "E", "R", "T", "Y", "U", "I", "O", "P", "[{", "]}"},
        {"A", "S", "D", "F", "G", "H", "J", "K", "L", ";:", "'\""},
        {"Z", "X", "C", "V", "B", "N", "M", ",<", ".>", "/?"},
    };
    return rows;
}

QString Caption(const QString& tag) {
    QString caption = tag.size() == 1 ? tag : tag.mid(1, 1) + "\n" + tag.left(1);
    caption.replace("&", "&&");  // an ampersand shows instead of marking a shortcut
    return caption;
}

}  // namespace

FormKeyboard::FormKeyboard(QWidget* parent)
    : QDialog(parent), lblPrompt_(new QLabel(this)), txtValue_(new QLineEdit(this)) {
    setObjectName("FormKeyboard");
    lblPrompt_->setObjectName("lblPrompt");
    txtValue_->setObjectName("txtValue");
    setModal(true);
}

int FormKeyboard::Pixels(int twips) const {
    return TwipsToPixels(this, twips);
}

void FormKeyboard::SetLanguage(int32_t lLanguage) {
    language_ = lLanguage;
    vantreel::SetLanguage(language_);
}

QPushButton* FormKeyboard::Key(const QString& tag) const {
    for (QPushButton* key : keys_) {
        if (key->property("Tag").toString() == tag) {
            return key;
        }
    }
    return nullptr;
}

void FormKeyboard::AddKey(const QString& tag, const QString& caption, int left, int top,
                          int width) {
    auto* key = new QPushButton(caption, this);
    key->setObjectName(QString("cmdKey%1").arg(keys_.size()));
    key->setProperty("Tag", tag);
    key->setFocusPolicy(Qt::NoFocus);
    key->setGeometry(Pixels(left), Pixels(top), Pixels(width), Pixels(metrics_.CmdButtonHeight()));
    connect(key, &QPushButton::clicked, this, [this, tag] { Touch(tag); });
    keys_.push_back(key);
}

void FormKeyboard::Build(const std::string& sPrompt, const std::string& sValue) {
    for (QPushButton* key : keys_) {
        delete key;
    }
    keys_.clear();
    shift_ = false;
    cancelled_ = false;
    initial_ = sValue;
    result_.clear();

    ApplySystemFont(this);
    metrics_.InitializeForScreen(this);
    setWindowTitle(QString::fromStdString(GetResString(110039)));

    // Square keys as high as a command button.
    const int keyWidth = metrics_.CmdButtonHeight();
    const int keyHeight = metrics_.CmdButtonHeight();
    const int rowWidth = 13 * keyWidth;
    const int promptHeight = metrics_.CmdButtonHeight();
    lblPrompt_->setText(QString::fromStdString(sPrompt));
    lblPrompt_->setGeometry(Pixels(kLeft), Pixels(kLeft), Pixels(rowWidth), Pixels(promptHeight));
    txtValue_->setText(QString::fromStdString(sValue));
    const int inputTop = kLeft + promptHeight;
    txtValue_->setGeometry(Pixels(kLeft), Pixels(inputTop), Pixels(rowWidth), Pixels(keyHeight));
    metrics_.SetLabel(lblPrompt_);
    metrics_.SetLabel(txtValue_);

    const int commandWidth = metrics_.CmdButtonWidth();
    int offsets[5];
    offsets[0] = kLeft;
    offsets[1] = offsets[0] + ScreenRes::ToInteger(commandWidth / 4.0);
    offsets[2] = offsets[1] + ScreenRes::ToInteger(commandWidth / 8.0);
    offsets[3] = offsets[2] + ScreenRes::ToInteger(commandWidth / 4.0);
    offsets[4] = offsets[3];
    const int firstTop = inputTop + keyHeight + kRowsBelow;
    auto top = [&](int row) { return firstTop + (row - 1) * keyHeight; };

    const auto& rows = CharacterRows();
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            AddKey(rows[r][c], Caption(rows[r][c]), offsets[r] + static_cast<int>(c) * keyWidth,
                   top(static_cast<int>(r) + 1), keyWidth);
        }
    }
    // SHIFT ends row 4; CANCEL, SPACE, DELETE and ENTER make row 5.
    shiftKey_ = static_cast<int>(keys_.size());
    AddKey("SHIFT", QString::fromStdString(GetResString(110040)), offsets[3] + 10 * keyWidth,
           top(4), 2 * keyWidth);
    keys_.back()->setCheckable(true);
    int left = offsets[4];
    AddKey("CANCEL", QString::fromStdString(GetResString(110005)), left, top(5), 2 * keyWidth);
    left += 2 * keyWidth;
    AddKey("SPACE", QString(), left, top(5), 6 * keyWidth);
    left += 6 * keyWidth;
    AddKey("DELETE", QString::fromStdString(GetResString(110041)), left, top(5), 2 * keyWidth);
    left += 2 * keyWidth;
    AddKey("ENTER", QString::fromStdString(GetResString(110036)), left, top(5), 2 * keyWidth);
    for (QPushButton* key : keys_) {
        QFont font = key->font();
        font.setPointSize(metrics_.CmdButtonFontSize());
        key->setFont(font);
    }
    const int width = std::max(offsets[4] + 12 * keyWidth, kLeft + rowWidth) + kLeft;
    const int height = top(5) + keyHeight + kLeft;
    setFixedSize(Pixels(width), Pixels(height));
    CenterForm(this);
    txtValue_->setFocus(Qt::OtherFocusReason);
}

void FormKeyboard::Touch(const QString& tag) {
    QString text = txtValue_->text();
    if (tag == "SHIFT") {
        shift_ = !shift_;
        if (shiftKey_ >= 0) {
            keys_[static_cast<std::size_t>(shiftKey_)]->setChecked(shift_);  // shows it is engaged
        }
    } else if (tag == "SPACE") {
        text += ' ';
    } else if (tag == "DELETE") {
        text.chop(1);
    } else if (tag == "CANCEL") {
        result_.clear();
        cancelled_ = true;
        accept();
        return;
    } else if (tag == "ENTER") {
        result_ = text.toStdString();
        cancelled_ = false;
        accept();
        return;
    } else if (!tag.isEmpty()) {
        text += !shift_           ? tag.left(1).toLower()
                : tag.size() == 2 ? tag.mid(1, 1)
                                  : tag.left(1).toUpper();
    }
    txtValue_->setText(text);
    txtValue_->setCursorPosition(static_cast<int>(text.size()));
    txtValue_->setFocus();
}

void FormKeyboard::setVisible(bool visible) {
    QDialog::setVisible(visible);
    if (!visible) {
        return;
    }
    txtValue_->deselect();
    txtValue_->setCursorPosition(static_cast<int>(txtValue_->text().size()));
}

void FormKeyboard::reject() {
    result_.clear();
    cancelled_ = true;
    QDialog::reject();
}

std::string FormKeyboard::InputString(const std::string& sPrompt, const std::string& sValue) {
    try {
        Build(sPrompt, sValue);
    } catch (const Error& error) {
        // A keyboard that cannot be laid out (a context server that is
        // registered but cannot be made) says why and leaves the text alone.
        ShowErrorDescription(error);
        return sValue;
    }
    cancelled_ = false;
    if (ShowModal(*this) != QDialog::Accepted) {
        cancelled_ = true;  // closed without ENTER or CANCEL, however that came about
    }
    return cancelled_ ? initial_ : result_;
}

}  // namespace vantreel
