#pragma once

#include "exchange/ImportLogic.h"

#include <QDialog>

#include <cstdint>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace vantreel {

// The source of an import (an export file or a legacy list file), what it
// holds, and which parts to bring in.
class FormImport : public QDialog {
    Q_OBJECT

  public:
    explicit FormImport(QWidget* parent = nullptr);

    bool Display(int32_t lLangID);
    void Load(int32_t lLangID);
    const ImportState& State() const noexcept { return logic_.State(); }

  private:
    void SourceChanged();

    ImportLogic logic_;
    int32_t language_ = 0;
    QLabel* lblImportSource_;
    QLineEdit* txtSource_;
    QPushButton* cmdBrowse_;
    QGroupBox* frmHeader_;
    QLabel* lblTitle_;
    QLineEdit* txtTitle_;
    QLabel* lblUser_;
    QLineEdit* txtUser_;
    QLabel* lblExportDate_;
    QLineEdit* txtDate_;
    QLabel* lblComments_;
    QLineEdit* txtComments_;
    QLabel* lblParts_;
    QListWidget* lstParts_;
    QCheckBox* chkTemplate_;
    QPushButton* cmdOK_;
    QPushButton* cmdCancel_;
    QPushButton* cmdHelp_;
};

}  // namespace vantreel
