#pragma once

#include "exchange/ExportOptionsLogic.h"

#include <QDialog>

#include <cstdint>
#include <string>

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace vantreel {

// Which parts to export and what to include.
class FormExportOptions : public QDialog {
    Q_OBJECT

  public:
    explicit FormExportOptions(QWidget* parent = nullptr);

    // Loads and shows the dialog modally; True after OK.
    bool GetOptions(int32_t lLangID, const std::string& firstPart = {});
    // What loading does, without showing: texts, the first part.
    void Load(int32_t lLangID, const std::string& firstPart = {});

    // What cmdAdd does with the part the operator picked.
    void AddPart(const std::string& path);

    ExportOptionsLogic& Logic() noexcept { return logic_; }
    const ExportOptionsState& State() const noexcept { return logic_.State(); }

  private:
    void Add();
    void Remove();
    void Files();
    void Refresh();

    ExportOptionsLogic logic_;
    int32_t language_ = 0;
    QLabel* lblParts_;
    QListWidget* lstParts_;
    QCheckBox* chkFix_;
    QCheckBox* chkSource_;
    QCheckBox* chkExe_;
    QCheckBox* chkLegacy_;
    QPushButton* cmdAdd_;
    QPushButton* cmdRemove_;
    QPushButton* cmdFiles_;
    QPushButton* cmdOK_;
    QPushButton* cmdCancel_;
    QPushButton* cmdHelp_;
};

// The extra files that travel with a part; changes go to the part at once.
class FormAdditionalFiles : public QDialog {
    Q_OBJECT

  public:
    explicit FormAdditionalFiles(Part& part, QWidget* parent = nullptr);

    void Display(int32_t lLangID);
    void Load(int32_t lLangID);
    const AdditionalFilesLogic& Logic() const noexcept { return logic_; }

  private:
    void Add();
    void Remove();
    void Refresh();

    AdditionalFilesLogic logic_;
    int32_t language_ = 0;
    QListWidget* lstFiles_;
    QPushButton* cmdAdd_;
    QPushButton* cmdRemove_;
    QPushButton* cmdClose_;
    QPushButton* cmdHelp_;
};

}  // namespace vantreel
