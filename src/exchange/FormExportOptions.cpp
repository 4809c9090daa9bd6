#include "exchange/FormExportOptions.h"

#include "exchange/ExchangeWidgets.h"
#include "exchange/PartChooser.h"
#include "shared/Resources.h"
#include "touch/FormHelpers.h"
#include "touch/ModalDialogs.h"
#include "touch/frmMessageBox.h"
#include "vantreel/Error.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantreel {
namespace {

constexpr int32_t kHelpOptions = 35002;
constexpr int32_t kHelpFiles = 35004;

}  // namespace

FormExportOptions::FormExportOptions(QWidget* parent)
    : QDialog(parent),
      lblParts_(new QLabel(this)),
      lstParts_(new QListWidget(this)),
      chkFix_(new QCheckBox(this)),
      chkSource_(new QCheckBox(this)),
      chkExe_(new QCheckBox(this)),
      chkLegacy_(new QCheckBox(this)),
      cmdAdd_(MakeButton(this, "cmdAdd")),
      cmdRemove_(MakeButton(this, "cmdRemove")),
      cmdFiles_(MakeButton(this, "cmdFiles")),
      cmdOK_(MakeButton(this, "cmdOK")),
      cmdCancel_(MakeButton(this, "cmdCancel")),
      cmdHelp_(MakeButton(this, "cmdHelp")) {
    setObjectName("FormExportOptions");
    lblParts_->setObjectName("lblParts");
    lstParts_->setObjectName("lstParts");
    chkFix_->setObjectName("chkFix");
    chkSource_->setObjectName("chkSource");
    chkExe_->setObjectName("chkExe");
    chkLegacy_->setObjectName("chkLegacy");
    lblParts_->setBuddy(lstParts_);
    cmdOK_->setDefault(true);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdAdd_);
    buttons->addWidget(cmdRemove_);
    buttons->addWidget(cmdFiles_);
    buttons->addStretch();
    auto* grid = new QGridLayout;
    grid->addWidget(lblParts_, 0, 0);
    grid->addWidget(lstParts_, 1, 0);
    grid->addLayout(buttons, 1, 1);
    auto* checks = new QVBoxLayout;
    for (QCheckBox* box : {chkFix_, chkSource_, chkExe_, chkLegacy_}) {
        checks->addWidget(box);
    }
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(cmdOK_);
    bottom->addWidget(cmdCancel_);
    bottom->addWidget(cmdHelp_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(checks);
    layout->addLayout(bottom);
    lstParts_->setMinimumSize(280, 160);

    connect(cmdAdd_, &QPushButton::clicked, this, [this] { Add(); });
    connect(cmdRemove_, &QPushButton::clicked, this, [this] { Remove(); });
    connect(cmdFiles_, &QPushButton::clicked, this, [this] { Files(); });
    connect(lstParts_, &QListWidget::currentRowChanged, this, [this](int row) {
        logic_.Select(row);
        SetControlEnabled(cmdFiles_, logic_.FilesEnabled());
    });
    connect(chkLegacy_, &QCheckBox::toggled, this, [this](bool checked) {
        logic_.SetLegacy(checked);
        for (QCheckBox* box : {chkFix_, chkSource_, chkExe_}) {
            box->setEnabled(logic_.ContentEnabled());
        }
    });
    connect(cmdOK_, &QPushButton::clicked, this, [this] {
        logic_.Ok(chkFix_->isChecked(), chkSource_->isChecked(), chkExe_->isChecked());
        accept();
    });
    connect(cmdCancel_, &QPushButton::clicked, this, [this] {
        logic_.Cancel();
        reject();
    });
    connect(cmdHelp_, &QPushButton::clicked, this, [this] { ShowHelp(this, kHelpOptions); });
}

void FormExportOptions::Load(int32_t lLangID, const std::string& firstPart) {
    language_ = lLangID;
    LoadExchangeForm(this, language_);
    logic_.State().language = language_;
    setWindowTitle(ResText(125025));
    lblParts_->setText(ResText(125026));
    chkFix_->setText(ResText(125027));
    chkSource_->setText(ResText(125028));
    chkExe_->setText(ResText(125029));
    chkLegacy_->setText(ResText(125118));
    cmdAdd_->setText(ResText(110025));
    cmdRemove_->setText(ResText(125041));
    cmdFiles_->setText(ResText(125030));
    cmdOK_->setText(ResText(110004));
    cmdCancel_->setText(ResText(110005));
    cmdHelp_->setText(ResText(110008));
    chkFix_->setChecked(logic_.State().fix);
    chkSource_->setChecked(logic_.State().source);
    chkExe_->setChecked(logic_.State().executable);
    chkLegacy_->setChecked(false);
    try {
        logic_.Load(firstPart);
    } catch (const Error& error) {
        ShowErrorDescription(error);
    }
    Refresh();
    adjustSize();
    CenterForm(this);
}

bool FormExportOptions::GetOptions(int32_t lLangID, const std::string& firstPart) {
    Load(lLangID, firstPart);
    ShowModal(*this);
    return logic_.State().result;
}

void FormExportOptions::Refresh() {
    lstParts_->blockSignals(true);
    lstParts_->clear();
    for (const std::string& name : logic_.Entries()) {
        lstParts_->addItem(QString::fromStdString(name));
    }
    lstParts_->setCurrentRow(logic_.Selected());
    lstParts_->blockSignals(false);
    SetControlEnabled(cmdOK_, logic_.OkEnabled());
    SetControlEnabled(cmdFiles_, logic_.FilesEnabled());
}

void FormExportOptions::Add() {
    const std::string path = ChoosePartToOpen(this, language_, GetResString(125031));
    if (!path.empty()) {
        AddPart(path);
    }
}

void FormExportOptions::AddPart(const std::string& path) {
    try {
        logic_.AddPart(path);
    } catch (const Error& error) {
        ShowErrorDescription(error);
    }
    Refresh();
}

void FormExportOptions::Remove() {
    logic_.RemovePart(lstParts_->currentRow());
    Refresh();
}

void FormExportOptions::Files() {
    Part* part = logic_.SelectedPart();
    if (part == nullptr) {
        return;
    }
    FormAdditionalFiles files(*part, this);
    files.Display(language_);
}

FormAdditionalFiles::FormAdditionalFiles(Part& part, QWidget* parent)
    : QDialog(parent),
      logic_(part),
      lstFiles_(new QListWidget(this)),
      cmdAdd_(MakeButton(this, "cmdAdd")),
      cmdRemove_(MakeButton(this, "cmdRemove")),
      cmdClose_(MakeButton(this, "cmdClose")),
      cmdHelp_(MakeButton(this, "cmdHelp")) {
    setObjectName("FormAdditionalFiles");
    lstFiles_->setObjectName("lstFiles");
    lstFiles_->setMinimumSize(420, 180);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {cmdAdd_, cmdRemove_, cmdClose_, cmdHelp_}) {
        buttons->addWidget(button);
    }
    buttons->insertStretch(2);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(lstFiles_);
    layout->addLayout(buttons);
    cmdClose_->setDefault(true);
    connect(cmdAdd_, &QPushButton::clicked, this, [this] { Add(); });
    connect(cmdRemove_, &QPushButton::clicked, this, [this] { Remove(); });
    connect(cmdClose_, &QPushButton::clicked, this, [this] { accept(); });
    connect(cmdHelp_, &QPushButton::clicked, this, [this] { ShowHelp(this, kHelpFiles); });
}

void FormAdditionalFiles::Load(int32_t lLangID) {
    language_ = lLangID;
    LoadExchangeForm(this, language_);
    setWindowTitle(ResText(125017));
    cmdAdd_->setText(ResText(110025));
    cmdRemove_->setText(ResText(125041));
    cmdClose_->setText(ResText(110013));
    cmdHelp_->setText(ResText(110008));
    try {
        logic_.Load();
    } catch (const Error& error) {
        ShowErrorDescription(error);
    }
    Refresh();
    adjustSize();
    CenterForm(this);
}

void FormAdditionalFiles::Display(int32_t lLangID) {
    Load(lLangID);
    ShowModal(*this);
}

void FormAdditionalFiles::Refresh() {
    lstFiles_->clear();
    for (const std::string& file : logic_.Files()) {
        lstFiles_->addItem(QString::fromStdString(file));
    }
}

void FormAdditionalFiles::Add() {
    const std::string file = AskFileName(this, false, 125020, 125021, logic_.ThePart().FullPath());
    if (file.empty()) {
        return;
    }
    try {
        logic_.Add(file);
    } catch (const Error& error) {
        ShowErrorDescription(error);
    }
    Refresh();
}

void FormAdditionalFiles::Remove() {
    const int row = lstFiles_->currentRow();
    if (row < 0) {
        return;
    }
    try {
        logic_.Remove(row);
    } catch (const Error& error) {
        ShowErrorDescription(error);
    }
    Refresh();
}

}  // namespace vantreel
