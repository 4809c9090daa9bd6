#pragma once

#include "partselect/PartSelectState.h"

#include <QDialog>
#include <QIcon>

#include <memory>
#include <string>
#include <vector>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace vantreel {

class FormSelectDrive;

// The part selection dialog: walks the part repository, and leaves the
// part, name or directory the operator chose (or the parts picked for
// export) in its state. The window shows the state and hands every user
// action to the rules of PartSelectLogic; the state belongs to the caller
// and outlives the window.
//
// Controls by objectName: lblLookin, cboStack, tbMain (actions "upone",
// "new", "list", "details", "selectdrive"), lvMain, lblPartProg, txtName,
// cmdOK, cmdCancel, cmdHelp, and the hidden cmdReload, staging lists
// lvFolders, lvParts and lvFiles, and image list ilTree. Every list item
// carries its entry's key ("F:", "P:" or "D:" and the full path) as
// Qt::UserRole data.
class FormPartSelect : public QDialog {
    Q_OBJECT

  public:
    explicit FormPartSelect(PartSelectState& state, QWidget* parent = nullptr);
    ~FormPartSelect() override;

    // Loads the dialog and shows it modally once.
    void ShowDialog();

    // The loading steps without showing: captions, the repository root, the
    // first listing. False after an error was shown.
    bool Load();

    // Opens sPath ("" = the repository root) as the only folder and lists it.
    void ResetView(const std::string& sPath);

    PartSelectState& State() noexcept { return state_; }

    // The drive selection behind the "selectdrive" button, made on first use.
    FormSelectDrive& DriveDialog();

    // Escape and the window's close button cancel as Cancel does.
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void ShowState();
    void ShowList();
    void ShowStaged(QTreeWidget* list, const std::vector<ListEntry>& entries);
    QIcon Image(const char* key) const;
    void ShowControls();
    int IndexOf(QTreeWidgetItem* item) const;
    void ClickItem(QTreeWidgetItem* item);
    void DoubleClickItem(QTreeWidgetItem* item);
    void PressOkButton();
    void HandleOutcome(int outcome);
    void RenameItem(QTreeWidgetItem* item);
    void Toolbar(const std::string& key);

    PartSelectState& state_;
    std::unique_ptr<FormSelectDrive> drive_;
    unsigned shownListVersion_ = 0;
    bool listShown_ = false;
    bool sized_ = false;
    bool updating_ = false;

    QLabel* lblLookin_;
    QComboBox* cboStack_;
    QToolBar* tbMain_;
    QTreeWidget* lvMain_;
    QTreeWidget* lvFolders_;
    QTreeWidget* lvParts_;
    QTreeWidget* lvFiles_;
    QListWidget* ilTree_;
    QLabel* lblPartProg_;
    QLineEdit* txtName_;
    QPushButton* cmdOK_;
    QPushButton* cmdCancel_;
    QPushButton* cmdHelp_;
    QPushButton* cmdReload_;
};

}  // namespace vantreel
