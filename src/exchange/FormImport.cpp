#include "exchange/FormImport.h"

#include "exchange/ExchangeWidgets.h"
#include "shared/Configuration.h"
#include "touch/FormHelpers.h"
#include "touch/ModalDialogs.h"
#include "vantreel/Error.h"

#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantreel {
namespace {

constexpr int32_t kHelpImport = 35001;

}  // namespace

FormImport::FormImport(QWidget* parent)
    : QDialog(parent),
      lblImportSource_(Named(new QLabel(this), "lblImportSource")),
      txtSource_(Named(new QLineEdit(this), "txtSource")),
      cmdBrowse_(MakeButton(this, "cmdBrowse")),
      frmHeader_(Named(new QGroupBox(this), "frmHeader")),
      lblTitle_(Named(new QLabel(frmHeader_), "lblTitle")),
      txtTitle_(Named(new QLineEdit(frmHeader_), "txtTitle")),
      lblUser_(Named(new QLabel(frmHeader_), "lblUser")),
      txtUser_(Named(new QLineEdit(frmHeader_), "txtUser")),
      lblExportDate_(Named(new QLabel(frmHeader_), "lblExportDate")),
      txtDate_(Named(new QLineEdit(frmHeader_), "txtDate")),
      lblComments_(Named(new QLabel(frmHeader_), "lblComments")),
      txtComments_(Named(new QLineEdit(frmHeader_), "txtComments")),
      lblParts_(Named(new QLabel(this), "lblParts")),
      lstParts_(Named(new QListWidget(this), "lstParts")),
      chkTemplate_(Named(new QCheckBox(this), "chkTemplate")),
      cmdOK_(MakeButton(this, "cmdOK")),
      cmdCancel_(MakeButton(this, "cmdCancel")),
      cmdHelp_(MakeButton(this, "cmdHelp")) {
    setObjectName("FormImport");
    cmdBrowse_->setText("...");
    cmdBrowse_->setMinimumWidth(0);
    cmdOK_->setDefault(true);
    txtSource_->setMinimumWidth(380);
    for (QLineEdit* box : {txtTitle_, txtUser_, txtDate_, txtComments_}) {
        box->setReadOnly(true);
    }
    lstParts_->setSelectionMode(QAbstractItemView::MultiSelection);
    lstParts_->setMinimumHeight(120);
    logic_.SetDateFormatter([](std::time_t time) {
        return QLocale::system()
            .toString(QDateTime::fromSecsSinceEpoch(time), QLocale::ShortFormat)
            .toStdString();
    });

    auto* source = new QHBoxLayout;
    source->addWidget(txtSource_, 1);
    source->addWidget(cmdBrowse_);
    auto* header = new QGridLayout(frmHeader_);
    header->addWidget(lblTitle_, 0, 0);
    header->addWidget(txtTitle_, 0, 1);
    header->addWidget(lblUser_, 1, 0);
    header->addWidget(txtUser_, 1, 1);
    header->addWidget(lblExportDate_, 2, 0);
    header->addWidget(txtDate_, 2, 1);
    header->addWidget(lblComments_, 3, 0);
    header->addWidget(txtComments_, 3, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(chkTemplate_);
    bottom->addStretch();
    bottom->addWidget(cmdOK_);
    bottom->addWidget(cmdCancel_);
    bottom->addWidget(cmdHelp_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblImportSource_);
    layout->addLayout(source);
    layout->addWidget(frmHeader_);
    layout->addWidget(lblParts_);
    layout->addWidget(lstParts_);
    layout->addLayout(bottom);

    connect(txtSource_, &QLineEdit::textChanged, this, [this] { SourceChanged(); });
    connect(cmdBrowse_, &QPushButton::clicked, this, [this] {
        std::string start;
        try {
            start = GetRepositoryRoot("");
        } catch (const Error&) {
            start = QDir::homePath().toStdString();
        }
        const std::string file = AskFileName(this, false, 125039, 125040, start);
        if (!file.empty()) {
            txtSource_->setText(QString::fromStdString(file));
        }
    });
    connect(cmdOK_, &QPushButton::clicked, this, [this] {
        std::vector<int> selected;
        for (int row = 0; row < lstParts_->count(); ++row) {
            if (lstParts_->item(row)->isSelected()) {
                selected.push_back(row);
            }
        }
        logic_.Ok(selected, chkTemplate_->isChecked());
        accept();
    });
    connect(cmdCancel_, &QPushButton::clicked, this, [this] {
        logic_.Cancel();
        reject();
    });
    connect(cmdHelp_, &QPushButton::clicked, this, [this] { ShowHelp(this, kHelpImport); });
}

void FormImport::Load(int32_t lLangID) {
    language_ = lLangID;
    LoadExchangeForm(this, language_);
    logic_.State().language = language_;
    setWindowTitle(ResText(125032));
    frmHeader_->setTitle(ResText(125033));
    lblTitle_->setText(ResText(125034));
    lblUser_->setText(ResText(125012));
    lblExportDate_->setText(ResText(125035));
    lblComments_->setText(ResText(125011));
    lblParts_->setText(ResText(125036));
    chkTemplate_->setText(ResText(125037));
    lblImportSource_->setText(ResText(125038));
    cmdOK_->setText(ResText(110004));
    cmdCancel_->setText(ResText(110005));
    cmdHelp_->setText(ResText(110008));
    SourceChanged();
    adjustSize();
    CenterForm(this);
}

bool FormImport::Display(int32_t lLangID) {
    Load(lLangID);
    ShowModal(*this);
    return logic_.State().result;
}

void FormImport::SourceChanged() {
    logic_.SourceChanged(txtSource_->text().toStdString());
    const ImportState& state = logic_.State();
    txtTitle_->setText(QString::fromStdString(state.title));
    txtUser_->setText(QString::fromStdString(state.user));
    txtDate_->setText(QString::fromStdString(state.date));
    txtComments_->setText(QString::fromStdString(state.comments));
    lstParts_->clear();
    for (const std::string& name : logic_.Entries()) {
        lstParts_->addItem(QString::fromStdString(name));
        lstParts_->item(lstParts_->count() - 1)->setSelected(true);
    }
    SetControlEnabled(cmdOK_, logic_.OkEnabled());
}

}  // namespace vantreel
