#pragma once

#include "partselect/DriveSelectLogic.h"

#include <QDialog>

#include <string>

class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace vantreel {

// The drive selection dialog: the default part repository or the root of a
// mounted file system. Its controls: optDrive0 (the repository), optDrive1
// (a drive), lblSelectDrive, the drive list drvSelect, cmdOK and cmdCancel.
class FormSelectDrive : public QDialog {
    Q_OBJECT

  public:
    explicit FormSelectDrive(QWidget* parent = nullptr);

    // Shows the dialog modally and returns "" (cancelled), "*" (the
    // repository) or the root path of the drive chosen.
    std::string SelectDrive();

    // The drives listed; the mounted file systems unless a caller set others.
    void SetDrives(std::vector<Drive> drives);
    const DriveSelectState& State() const noexcept { return state_; }

    // The mounted file systems an operator would keep parts on.
    static std::vector<Drive> MountedDrives();

    // Prepares the controls as loading does, without showing the dialog.
    void Load();

    void reject() override;

  private:
    void ShowState();

    DriveSelectState state_;
    bool drivesSet_ = false;
    QRadioButton* optDrive0_;
    QRadioButton* optDrive1_;
    QLabel* lblSelectDrive_;
    QComboBox* drvSelect_;
    QPushButton* cmdOK_;
    QPushButton* cmdCancel_;
};

}  // namespace vantreel
