#include "partselect/FormSelectDrive.h"

#include "partselect/PartIcons.h"
#include "shared/Resources.h"
#include "touch/FormHelpers.h"
#include "touch/ModalDialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QStorageInfo>
#include <QVBoxLayout>

namespace vantreel {
namespace {

QString Res(int32_t id) {
    return QString::fromStdString(GetResString(id));
}

}  // namespace

FormSelectDrive::FormSelectDrive(QWidget* parent)
    : QDialog(parent),
      optDrive0_(new QRadioButton(this)),
      optDrive1_(new QRadioButton(this)),
      lblSelectDrive_(new QLabel(this)),
      drvSelect_(new QComboBox(this)),
      cmdOK_(new QPushButton(this)),
      cmdCancel_(new QPushButton(this)) {
    setObjectName("FormSelectDrive");
    optDrive0_->setObjectName("optDrive0");
    optDrive1_->setObjectName("optDrive1");
    lblSelectDrive_->setObjectName("lblSelectDrive");
    drvSelect_->setObjectName("drvSelect");
    cmdOK_->setObjectName("cmdOK");
    cmdCancel_->setObjectName("cmdCancel");
    lblSelectDrive_->setBuddy(drvSelect_);
    drvSelect_->setMinimumContentsLength(24);
    drvSelect_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cmdOK_->setDefault(true);

    auto* drive = new QHBoxLayout;
    drive->addSpacing(20);
    drive->addWidget(lblSelectDrive_);
    drive->addWidget(drvSelect_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK_);
    buttons->addWidget(cmdCancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(optDrive0_);
    layout->addWidget(optDrive1_);
    layout->addLayout(drive);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(optDrive0_, &QRadioButton::clicked, this, [this] {
        ChooseDriveOption(state_, 0);
        ShowState();
    });
    connect(optDrive1_, &QRadioButton::clicked, this, [this] {
        ChooseDriveOption(state_, 1);
        ShowState();
    });
    connect(drvSelect_, &QComboBox::activated, this, [this](int index) {
        ChangeDrive(state_, index);
        ShowState();
    });
    connect(cmdOK_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel_, &QPushButton::clicked, this, &QDialog::reject);
}

// Escape and the window's close button cancel as Cancel does.
void FormSelectDrive::reject() {
    CancelDriveSelect(state_);
    QDialog::reject();
}

std::vector<Drive> FormSelectDrive::MountedDrives() {
    std::vector<Drive> drives;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady()) {
            continue;
        }
        const std::string root = volume.rootPath().toStdString();
        if (IsUserDrive(root, volume.fileSystemType().toStdString())) {
            drives.push_back({root, volume.name().toStdString()});
        }
    }
    SortDrives(drives);
    return drives;
}

void FormSelectDrive::SetDrives(std::vector<Drive> drives) {
    state_.Drives = std::move(drives);
    state_.CurrentDrive = 0;
    drivesSet_ = true;
}

void FormSelectDrive::Load() {
    ApplySystemFont(this);
    setWindowTitle(Res(125112));
    optDrive0_->setText(Res(125113));
    optDrive1_->setText(Res(125114));
    lblSelectDrive_->setText(Res(125115));
    cmdOK_->setText(Res(110004));
    cmdCancel_->setText(Res(110005));
    if (!drivesSet_) {
        state_.Drives = MountedDrives();
        state_.CurrentDrive = 0;
    }
    drvSelect_->clear();
    const QIcon icon = PartIcon("selectdrive");
    for (const Drive& drive : state_.Drives) {
        drvSelect_->addItem(icon, QString::fromStdString(DriveLine(drive)));
    }
    // Nothing to choose without a drive.
    optDrive1_->setEnabled(!state_.Drives.empty());
    LoadDriveSelect(state_);
    ShowState();
}

void FormSelectDrive::ShowState() {
    optDrive0_->setChecked(state_.Option == 0);
    optDrive1_->setChecked(state_.Option == 1);
    lblSelectDrive_->setEnabled(state_.DriveListEnabled);
    drvSelect_->setEnabled(state_.DriveListEnabled);
    QPalette palette = drvSelect_->palette();
    palette.setColor(
        QPalette::Text,
        QApplication::palette().color(
            state_.DriveListEnabled ? QPalette::Active : QPalette::Disabled, QPalette::Text));
    drvSelect_->setPalette(palette);
    if (drvSelect_->currentIndex() != state_.CurrentDrive) {
        drvSelect_->setCurrentIndex(state_.CurrentDrive);
    }
}

std::string FormSelectDrive::SelectDrive() {
    Load();
    CenterForm(this);
    ShowModal(*this);
    return state_.Result;
}

}  // namespace vantreel
