#include "vantreel/Logon.h"

#include "operator/FormLogon.h"
#include "operator/LogonState.h"
#include "shared/Resources.h"
#include "touch/GuiHost.h"
#include "touch/ModalDialogs.h"

#include <QCoreApplication>

namespace vantreel {

struct Logon::Impl {
    LogonState state;
    std::unique_ptr<FormLogon> form;

    ~Impl() {
        // Widgets may only go while the application does; after it, the
        // process is ending and the form is left to it.
        if (QCoreApplication::instance() == nullptr) {
            (void)form.release();
        }
    }
};

Logon::Logon() : impl_(std::make_unique<Impl>()) {
    InitResources();
}

Logon::~Logon() = default;

void Logon::SetLastUserName(const std::string& sLastUserName) {
    impl_->state.lastUserName = sLastUserName;
}

void Logon::SetLangID(int32_t lLangID) {
    impl_->state.language = lLangID;
}

std::string Logon::Password() const {
    return impl_->state.password.Text();
}

std::string Logon::CurrentUser() const {
    return impl_->state.currentUser;
}

bool Logon::Login() {
    try {
        EnsureGuiHost();
        if (!impl_->form) {
            impl_->form = std::make_unique<FormLogon>(impl_->state);
        }
        impl_->form->Load();
        ShowModal(*impl_->form);
        return impl_->state.result;
    } catch (...) {
        return false;
    }
}

}  // namespace vantreel
