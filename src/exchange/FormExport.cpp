#include "exchange/FormExport.h"

#include "exchange/ExchangeWidgets.h"
#include "shared/Configuration.h"
#include "shared/Resources.h"
#include "touch/FormHelpers.h"
#include "touch/ModalDialogs.h"
#include "touch/frmMessageBox.h"
#include "vantreel/Error.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStorageInfo>
#include <QVBoxLayout>

namespace vantreel {
namespace {

constexpr int32_t kHelpExport = 35003;

}  // namespace

FormExport::FormExport(QWidget* parent)
    : QDialog(parent),
      lblDestination_(Named(new QLabel(this), "lblDestination")),
      txtExportPath_(Named(new QLineEdit(this), "txtExportPath")),
      cmdBrowse_(MakeButton(this, "cmdBrowse")),
      frmHeader_(Named(new QGroupBox(this), "frmHeader")),
      lblTitle_(Named(new QLabel(frmHeader_), "lblTitle")),
      txtTitle_(Named(new QLineEdit(frmHeader_), "txtTitle")),
      lblUser_(Named(new QLabel(frmHeader_), "lblUser")),
      txtUser_(Named(new QLineEdit(frmHeader_), "txtUser")),
      lblComments_(Named(new QLabel(frmHeader_), "lblComments")),
      txtComments_(Named(new QPlainTextEdit(frmHeader_), "txtComments")),
      cmdOK_(MakeButton(this, "cmdOK")),
      cmdCancel_(MakeButton(this, "cmdCancel")),
      cmdHelp_(MakeButton(this, "cmdHelp")) {
    setObjectName("FormExport");
    cmdBrowse_->setText("...");
    cmdBrowse_->setMinimumWidth(0);
    cmdOK_->setDefault(true);
    txtExportPath_->setMinimumWidth(360);
    txtComments_->setTabChangesFocus(true);
    txtComments_->setMinimumHeight(90);

    auto* destination = new QHBoxLayout;
    destination->addWidget(txtExportPath_, 1);
    destination->addWidget(cmdBrowse_);
    auto* header = new QGridLayout(frmHeader_);
    header->addWidget(lblTitle_, 0, 0);
    header->addWidget(txtTitle_, 0, 1);
    header->addWidget(lblUser_, 1, 0);
    header->addWidget(txtUser_, 1, 1);
    header->addWidget(lblComments_, 2, 0, Qt::AlignTop);
    header->addWidget(txtComments_, 2, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(cmdOK_);
    bottom->addWidget(cmdCancel_);
    bottom->addWidget(cmdHelp_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblDestination_);
    layout->addLayout(destination);
    layout->addWidget(frmHeader_);
    layout->addLayout(bottom);

    for (QLineEdit* box : {txtExportPath_, txtTitle_, txtUser_}) {
        connect(box, &QLineEdit::textChanged, this, [this] { Changed(); });
    }
    connect(txtComments_, &QPlainTextEdit::textChanged, this, [this] { Changed(); });
    connect(cmdBrowse_, &QPushButton::clicked, this, [this] {
        std::string start;
        try {
            start = GetRepositoryRoot("");
        } catch (const Error&) {
            start = QDir::homePath().toStdString();
        }
        const std::string file = AskFileName(this, true, 125023, 125024, start);
        if (!file.empty()) {
            txtExportPath_->setText(QString::fromStdString(file));
        }
    });
    connect(cmdOK_, &QPushButton::clicked, this, [this] {
        if (logic_.Ok(txtExportPath_->text().toStdString(), txtTitle_->text().toStdString(),
                      txtUser_->text().toStdString(), txtComments_->toPlainText().toStdString())) {
            accept();
        }
    });
    connect(cmdCancel_, &QPushButton::clicked, this, [this] {
        logic_.Cancel();
        reject();
    });
    connect(cmdHelp_, &QPushButton::clicked, this, [this] { ShowHelp(this, kHelpExport); });
}

void FormExport::Load(int32_t lLangID) {
    language_ = lLangID;
    LoadExchangeForm(this, language_);
    logic_.State().language = language_;
    setWindowTitle(ResText(125010));
    lblComments_->setText(ResText(125011));
    lblUser_->setText(ResText(125012));
    lblDestination_->setText(ResText(125013));
    lblTitle_->setText(ResText(125015));
    frmHeader_->setTitle(ResText(125022));
    cmdOK_->setText(ResText(110004));
    cmdCancel_->setText(ResText(110005));
    cmdHelp_->setText(ResText(110008));
    Changed();
    adjustSize();
    CenterForm(this);
}

bool FormExport::Display(int32_t lLangID) {
    Load(lLangID);
    ShowModal(*this);
    return logic_.State().result;
}

void FormExport::Changed() {
    SetControlEnabled(cmdOK_, ExportFileLogic::OkEnabled(txtExportPath_->text().toStdString(),
                                                         txtTitle_->text().toStdString(),
                                                         txtUser_->text().toStdString()));
}

FormExportPart::FormExportPart(QWidget* parent)
    : QDialog(parent),
      lblExportPart_(Named(new QLabel(this), "lblExportPart")),
      Drive1_(Named(new QComboBox(this), "Drive1")),
      Dir1_(Named(new QListWidget(this), "Dir1")),
      cmdOK_(MakeButton(this, "cmdOK")),
      cmdCancel_(MakeButton(this, "cmdCancel")) {
    setObjectName("FormExportPart");
    cmdOK_->setDefault(true);
    Dir1_->setMinimumSize(360, 220);
    lblExportPart_->setWordWrap(true);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(cmdOK_);
    bottom->addWidget(cmdCancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblExportPart_);
    layout->addWidget(Drive1_);
    layout->addWidget(Dir1_);
    layout->addLayout(bottom);

    connect(Drive1_, &QComboBox::activated, this, [this](int index) { DriveChanged(index); });
    // A double click opens a folder, as in a directory list.
    connect(Dir1_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { SetDirectory(item->data(Qt::UserRole).toString()); });
    connect(cmdOK_, &QPushButton::clicked, this, [this] {
        if (logic_.Ok(directory_.toStdString())) {
            accept();
        }
    });
    connect(cmdCancel_, &QPushButton::clicked, this, [this] {
        logic_.Cancel();
        reject();
    });
}

void FormExportPart::Load(int32_t lLangID, const std::string& firstPart) {
    language_ = lLangID;
    LoadExchangeForm(this, language_);
    logic_.State().language = language_;
    logic_.State().partName = ExportPartLogic::PartNameOf(firstPart);
    setWindowTitle(ResText(125010));
    lblExportPart_->setText(
        QString::fromStdString(FormatResString(125078, logic_.State().partName)));
    cmdOK_->setText(ResText(110004));
    cmdCancel_->setText(ResText(110005));
    Drive1_->clear();
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady()) {
            const QString root = volume.rootPath();
            const QString name = volume.displayName();
            Drive1_->addItem(name == root ? root : root + "  [" + name + "]", root);
        }
    }
    SetDirectory(QDir::currentPath());
    adjustSize();
    CenterForm(this);
}

bool FormExportPart::Display(int32_t lLangID, const std::string& firstPart) {
    Load(lLangID, firstPart);
    ShowModal(*this);
    return logic_.State().result;
}

void FormExportPart::SetDirectory(const QString& path) {
    directory_ = QDir::cleanPath(path);
    const int drive = Drive1_->findData(QStorageInfo(directory_).rootPath());
    if (drive >= 0) {
        Drive1_->setCurrentIndex(drive);
    }
    FillDirectories();
}

void FormExportPart::FillDirectories() {
    Dir1_->clear();
    // The path from the root down to the folder, then its sub-folders.
    QStringList chain;
    for (QDir dir(directory_);;) {
        chain.prepend(dir.absolutePath());
        if (dir.isRoot() || !dir.cdUp()) {
            break;
        }
    }
    int depth = 0;
    for (const QString& folder : chain) {
        const QString name = QDir(folder).isRoot() ? folder : QFileInfo(folder).fileName();
        auto* item = new QListWidgetItem(QString(depth * 2, ' ') + name, Dir1_);
        item->setData(Qt::UserRole, folder);
        ++depth;
    }
    Dir1_->setCurrentRow(Dir1_->count() - 1);
    const QFileInfoList children =
        QDir(directory_).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& child : children) {
        auto* item = new QListWidgetItem(QString(depth * 2, ' ') + child.fileName(), Dir1_);
        item->setData(Qt::UserRole, child.absoluteFilePath());
    }
}

void FormExportPart::DriveChanged(int index) {
    const QString root = Drive1_->itemData(index).toString();
    if (!QDir(root).isReadable()) {
        ShowErrorDescription(
            Error(68, "FormExportPart", "Device unavailable: " + root.toStdString()));
        SetDirectory("/");
        return;
    }
    SetDirectory(root);
}

}  // namespace vantreel
