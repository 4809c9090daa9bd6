#include "operator/FormSelectMachine.h"

#include "operator/MachineSelectionLogic.h"
#include "operator/OperatorHelp.h"
#include "shared/RegEntry.h"
#include "touch/FormHelpers.h"

#include <QGridLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantreel {
namespace {

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

// The row of the selected entry; -1 for none.
int SelectedRow(const QListWidget* list) {
    const QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->row(selected.front());
}

}  // namespace

FormSelectMachine::FormSelectMachine(MachineSelectionState& state, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      state_(state),
      lstMachines_(new QListWidget(this)),
      cmdOK_(new QPushButton(this)),
      cmdCancel_(new QPushButton(this)),
      cmdHelp_(new QPushButton(this)) {
    setObjectName("FormSelectMachine");
    lstMachines_->setObjectName("lstMachines");
    cmdOK_->setObjectName("cmdOK");
    cmdCancel_->setObjectName("cmdCancel");
    cmdHelp_->setObjectName("cmdHelp");
    setModal(true);
    lstMachines_->setSelectionMode(QAbstractItemView::SingleSelection);
    lstMachines_->setMinimumSize(fontMetrics().averageCharWidth() * 36,
                                 fontMetrics().height() * 10);
    cmdOK_->setDefault(true);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK_);
    buttons->addWidget(cmdCancel_);
    buttons->addWidget(cmdHelp_);
    buttons->addStretch(1);
    auto* layout = new QGridLayout(this);
    layout->addWidget(lstMachines_, 0, 0);
    layout->addLayout(buttons, 0, 1);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(lstMachines_, &QListWidget::itemSelectionChanged, this,
            &FormSelectMachine::SelectionChanged);
    connect(lstMachines_, &QListWidget::itemDoubleClicked, this, [this] { Ok(); });
    connect(cmdOK_, &QPushButton::clicked, this, &FormSelectMachine::Ok);
    connect(cmdCancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdHelp_, &QPushButton::clicked, this,
            [this] { ShowHelp(this, kSelectMachineHelpContext); });
}

void FormSelectMachine::Load() {
    ApplySystemFont(this);
    lstMachines_->clear();
    RegEntry registry;
    const MachineList list = LoadMachineSelection(state_, registry);
    setWindowTitle(Text(list.caption));
    cmdOK_->setText(Text(list.ok));
    cmdCancel_->setText(Text(list.cancel));
    cmdHelp_->setText(Text(list.help));
    for (const std::string& name : list.names) {
        lstMachines_->addItem(Text(name));
    }
    SelectionChanged();
    FitCommandButtons({cmdOK_, cmdCancel_, cmdHelp_});
    adjustSize();
    CenterForm(this);
}

void FormSelectMachine::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    activateWindow();
    lstMachines_->setFocus(Qt::ActiveWindowFocusReason);
}

void FormSelectMachine::SelectionChanged() {
    cmdOK_->setEnabled(MachineOkEnabled(state_, SelectedRow(lstMachines_)));
}

void FormSelectMachine::Ok() {
    if (ConfirmMachine(state_, SelectedRow(lstMachines_))) {
        accept();
    }
}

}  // namespace vantreel
