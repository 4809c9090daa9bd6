#include "operator/FormLogon.h"

#include "operator/LogonLogic.h"
#include "operator/OperatorHelp.h"
#include "operator/PasswordEdit.h"
#include "touch/FormHelpers.h"
#include "touch/frmMessageBox.h"
#include "vantreel/Error.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantreel {
namespace {

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

FormLogon::FormLogon(LogonState& state, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      state_(state),
      lblUsername_(new QLabel(this)),
      lblPassword_(new QLabel(this)),
      txtUsername_(new QLineEdit(this)),
      txtPassword_(new PasswordEdit(this)),
      cmdOK_(new QPushButton(this)),
      cmdCancel_(new QPushButton(this)),
      cmdHelp_(new QPushButton(this)) {
    setObjectName("FormLogon");
    lblUsername_->setObjectName("lblUsername");
    lblPassword_->setObjectName("lblPassword");
    txtUsername_->setObjectName("txtUsername");
    txtPassword_->setObjectName("txtPassword");
    cmdOK_->setObjectName("cmdOK");
    cmdCancel_->setObjectName("cmdCancel");
    cmdHelp_->setObjectName("cmdHelp");
    setModal(true);

    lblUsername_->setBuddy(txtUsername_);
    lblPassword_->setBuddy(txtPassword_);
    txtUsername_->setMinimumWidth(fontMetrics().averageCharWidth() * 28);
    txtUsername_->installEventFilter(this);
    txtPassword_->installEventFilter(this);
    cmdOK_->setDefault(true);

    auto* fields = new QGridLayout;
    fields->addWidget(lblUsername_, 0, 0);
    fields->addWidget(txtUsername_, 0, 1);
    fields->addWidget(lblPassword_, 1, 0);
    fields->addWidget(txtPassword_, 1, 1);
    fields->setRowStretch(2, 1);
    fields->setHorizontalSpacing(fontMetrics().averageCharWidth() * 2);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK_);
    buttons->addWidget(cmdCancel_);
    buttons->addWidget(cmdHelp_);
    buttons->addStretch(1);
    auto* layout = new QGridLayout(this);
    layout->addLayout(fields, 0, 0);
    layout->addLayout(buttons, 0, 1);
    layout->setHorizontalSpacing(fontMetrics().averageCharWidth() * 3);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setTabOrder(txtUsername_, txtPassword_);
    setTabOrder(txtPassword_, cmdOK_);
    setTabOrder(cmdOK_, cmdCancel_);
    setTabOrder(cmdCancel_, cmdHelp_);

    connect(cmdOK_, &QPushButton::clicked, this, &FormLogon::Ok);
    connect(cmdCancel_, &QPushButton::clicked, this, &FormLogon::Cancel);
    connect(cmdHelp_, &QPushButton::clicked, this, [this] { ShowHelp(this, kLogonHelpContext); });
}

FormLogon::~FormLogon() = default;

void FormLogon::Load() {
    ApplySystemFont(this);
    const LogonTexts texts = LoadLogon(state_);
    setWindowTitle(Text(texts.caption));
    lblUsername_->setText(Text(texts.userLabel));
    lblPassword_->setText(Text(texts.passwordLabel));
    cmdOK_->setText(Text(texts.ok));
    cmdCancel_->setText(Text(texts.cancel));
    cmdHelp_->setText(Text(texts.help));
    txtUsername_->setText(Text(state_.lastUserName));
    txtPassword_->clear();
    FitCommandButtons({cmdOK_, cmdCancel_, cmdHelp_});
    adjustSize();
    CenterForm(this);
}

void FormLogon::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    activateWindow();
    QLineEdit* target = LogonFocus(txtUsername_->text().toStdString()) == LogonField::UserName
                            ? txtUsername_
                            : static_cast<QLineEdit*>(txtPassword_);
    target->setFocus(Qt::ActiveWindowFocusReason);
    SelectAllText(target, true);
}

bool FormLogon::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        // Typing replaces what the box holds.
        SelectAllText(qobject_cast<QLineEdit*>(watched), true);
    }
    return QDialog::eventFilter(watched, event);
}

void FormLogon::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        cmdCancel_->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void FormLogon::Ok() {
    QByteArray password = txtPassword_->text().toUtf8();
    try {
        ConfirmLogon(
            state_, txtUsername_->text().toStdString(),
            std::string_view(password.constData(), static_cast<std::size_t>(password.size())));
    } catch (const Error& error) {
        password.fill('\0');
        ShowErrorDescription(error);  // the dialog stays open
        return;
    }
    password.fill('\0');
    accept();
}

void FormLogon::Cancel() {
    CancelLogon(state_);
    reject();
}

void FormLogon::done(int result) {
    // However the dialog closes, the typed password does not stay in it.
    txtPassword_->clear();
    QDialog::done(result);
}

}  // namespace vantreel
