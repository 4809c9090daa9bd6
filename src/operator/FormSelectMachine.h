#pragma once

#include "operator/MachineSelectionState.h"

#include <QDialog>

class QListWidget;
class QPushButton;

namespace vantreel {

// The machine selection dialog: the configured or the standard machines in
// lstMachines, OK (only with a selection, or by double-click), Cancel and
// Help. It shows and changes the MachineSelectionState it is given.
class FormSelectMachine : public QDialog {
    Q_OBJECT

  public:
    explicit FormSelectMachine(MachineSelectionState& state, QWidget* parent = nullptr);

    // Language, help, texts and a fresh list from the registry; then centred.
    // A missing list key raises 5001 to the caller.
    void Load();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void Ok();
    void SelectionChanged();

    MachineSelectionState& state_;
    QListWidget* lstMachines_;
    QPushButton* cmdOK_;
    QPushButton* cmdCancel_;
    QPushButton* cmdHelp_;
};

}  // namespace vantreel
