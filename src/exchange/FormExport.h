#pragma once

#include "exchange/ExportFileLogic.h"

#include <QDialog>

#include <cstdint>
#include <string>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QPushButton;

namespace vantreel {

// The export file and its header: title, user, comments.
class FormExport : public QDialog {
    Q_OBJECT

  public:
    explicit FormExport(QWidget* parent = nullptr);

    bool Display(int32_t lLangID);
    void Load(int32_t lLangID);
    const ExportFileState& State() noexcept { return logic_.State(); }

  private:
    void Changed();

    ExportFileLogic logic_;
    int32_t language_ = 0;
    QLabel* lblDestination_;
    QLineEdit* txtExportPath_;
    QPushButton* cmdBrowse_;
    QGroupBox* frmHeader_;
    QLabel* lblTitle_;
    QLineEdit* txtTitle_;
    QLabel* lblUser_;
    QLineEdit* txtUser_;
    QLabel* lblComments_;
    QPlainTextEdit* txtComments_;
    QPushButton* cmdOK_;
    QPushButton* cmdCancel_;
    QPushButton* cmdHelp_;
};

// The folder a legacy export goes to: mount points stand for drives.
class FormExportPart : public QDialog {
    Q_OBJECT

  public:
    explicit FormExportPart(QWidget* parent = nullptr);

    bool Display(int32_t lLangID, const std::string& firstPart = {});
    void Load(int32_t lLangID, const std::string& firstPart = {});
    const ExportPartState& State() noexcept { return logic_.State(); }

    // The folder Dir1 shows; SetDirectory moves Dir1 (and Drive1) there.
    std::string Directory() const { return directory_.toStdString(); }
    void SetDirectory(const QString& path);

  private:
    void DriveChanged(int index);
    void FillDirectories();

    ExportPartLogic logic_;
    int32_t language_ = 0;
    QString directory_;
    QLabel* lblExportPart_;
    QComboBox* Drive1_;
    QListWidget* Dir1_;
    QPushButton* cmdOK_;
    QPushButton* cmdCancel_;
};

}  // namespace vantreel
