#include "vantreel/PartInformation.h"

#include "partinfo/FormPartInfo.h"
#include "partinfo/PartInfoSession.h"
#include "partinfo/SystemPrinters.h"
#include "shared/Resources.h"
#include "touch/GuiHost.h"
#include "touch/ModalDialogs.h"
#include "touch/frmMessageBox.h"
#include "vantreel/Error.h"

#include <exception>

namespace vantreel {

struct PartInformation::Impl {
    PartInfoSession session;             // outlives the form, which points to it
    std::unique_ptr<FormPartInfo> form;  // made on the first call, kept
};

PartInformation::PartInformation() : impl_(std::make_unique<Impl>()) {
    try {
        InitResources();
        int32_t language = 0;
        SetLanguage(language);
    } catch (const std::exception&) {
        // texts fall back to their not-found message
    }
}

PartInformation::~PartInformation() = default;

bool PartInformation::ShowInformation(const std::string& partDir, const std::string& userKey,
                                      const std::string& machineKey, int32_t language,
                                      bool touchScreen) {
    try {
        EnsureGuiHost();
        InitResources();
        SetLanguage(language);
        try {
            impl_->session.Open(partDir);
        } catch (const Error& error) {
            ShowErrorDescription(error);
            return false;
        }
        impl_->session.Load(SystemPrinters(), userKey, machineKey);
        if (!impl_->form) {
            impl_->form = std::make_unique<FormPartInfo>();
        }
        impl_->form->Load(impl_->session, language, touchScreen);
        ShowModal(*impl_->form);
        return impl_->form->Result();
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace vantreel
