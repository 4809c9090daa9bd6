#include "vantreel/MachineSelection.h"

#include "operator/FormSelectMachine.h"
#include "operator/MachineSelectionState.h"
#include "shared/Resources.h"
#include "touch/GuiHost.h"
#include "touch/ModalDialogs.h"

#include <QCoreApplication>

namespace vantreel {

struct MachineSelection::Impl {
    MachineSelectionState state;
    std::unique_ptr<FormSelectMachine> form;

    ~Impl() {
        // Widgets may only go while the application does; after it, the
        // process is ending and the form is left to it.
        if (QCoreApplication::instance() == nullptr) {
            (void)form.release();
        }
    }
};

MachineSelection::MachineSelection() : impl_(std::make_unique<Impl>()) {
    try {
        InitResources();
        int32_t language = 0;
        SetLanguage(language);
    } catch (...) {
        // A station without its configuration still gets an object; the
        // error comes back as "" from SelectMachine.
    }
}

MachineSelection::~MachineSelection() = default;

void MachineSelection::SetMachines(const std::string& sMachines) {
    impl_->state.machines = sMachines;
}

void MachineSelection::SetNewMachine(bool bNewMachine) {
    impl_->state.newMachine = bNewMachine;
}

std::string MachineSelection::SelectMachine(int32_t lLanguage) {
    try {
        EnsureGuiHost();
        impl_->state.language = lLanguage;
        if (!impl_->form) {
            impl_->form = std::make_unique<FormSelectMachine>(impl_->state);
        }
        impl_->form->Load();
        ShowModal(*impl_->form);
        return impl_->state.result;
    } catch (...) {
        return {};
    }
}

}  // namespace vantreel
