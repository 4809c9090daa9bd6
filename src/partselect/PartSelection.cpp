#include "vantreel/PartSelection.h"

#include "partselect/FormPartSelect.h"
#include "partselect/PartSelectState.h"
#include "shared/Resources.h"
#include "touch/GuiHost.h"

#include <exception>

namespace vantreel {

// The dialog's state lives here, so the properties work without a window;
// the window is made on the first operation and kept with the state.
struct PartSelection::Impl {
    PartSelectState state;
    std::unique_ptr<FormPartSelect> form;

    FormPartSelect& Form() {
        if (!form) {
            EnsureGuiHost();
            form = std::make_unique<FormPartSelect>(state);
        }
        return *form;
    }

    // Writes what the operation sets (unset ones keep earlier values), shows
    // the dialog and hands back its result; an error gives the neutral one.
    template <class Settings, class Result>
    auto Run(Settings settings, Result result) -> decltype(result()) {
        try {
            FormPartSelect& dialog = Form();
            settings(state);
            dialog.ShowDialog();
            return result();
        } catch (const std::exception&) {
            return {};
        } catch (...) {
            return {};
        }
    }
};

PartSelection::PartSelection() : impl_(std::make_unique<Impl>()) {
    InitResources();
    int32_t language = 0;
    SetLanguage(language);
}

PartSelection::~PartSelection() = default;
PartSelection::PartSelection(PartSelection&&) noexcept = default;
PartSelection& PartSelection::operator=(PartSelection&&) noexcept = default;

std::string PartSelection::PartOpen(const std::string& sPrompt) {
    return impl_->Run(
        [&](PartSelectState& state) {
            state.SelectExisting = true;
            state.DirectoryMode = false;
            state.Prompt = sPrompt;
            state.DisableNewFolder = true;
        },
        [this]() -> std::string { return impl_->state.Directory; });
}

std::optional<std::vector<std::string>> PartSelection::BuildExportList(const std::string& sPrompt) {
    return impl_->Run(
        [&](PartSelectState& state) {
            state.SelectExisting = true;
            state.DirectoryMode = false;
            state.ExportMode = true;
            state.Prompt = sPrompt;
        },
        [this]() -> std::optional<std::vector<std::string>> {
            return impl_->state.ExportCollection;
        });
}

std::string PartSelection::PartSaveAs(const std::string& sPrompt) {
    return impl_->Run(
        [&](PartSelectState& state) {
            state.SelectExisting = false;
            state.DirectoryMode = false;
            state.Prompt = sPrompt;
        },
        [this]() -> std::string { return impl_->state.Directory; });
}

std::string PartSelection::PartDirectory(const std::string& sPrompt) {
    return impl_->Run(
        [&](PartSelectState& state) {
            state.SelectExisting = true;
            state.DirectoryMode = true;
            state.Prompt = sPrompt;
        },
        [this]() -> std::string { return impl_->state.Directory; });
}

bool PartSelection::RequireSource() const {
    return impl_->state.RequireSource;
}
void PartSelection::SetRequireSource(bool value) {
    impl_->state.RequireSource = value;
}
bool PartSelection::RequireExecutable() const {
    return impl_->state.RequireExecutable;
}
void PartSelection::SetRequireExecutable(bool value) {
    impl_->state.RequireExecutable = value;
}
bool PartSelection::SuppressLorimet() const {
    return impl_->state.SuppressLorimet;
}
void PartSelection::SetSuppressLorimet(bool value) {
    impl_->state.SuppressLorimet = value;
}
std::string PartSelection::Name() const {
    return impl_->state.Name;
}
std::string PartSelection::Directory() const {
    return impl_->state.Directory;
}
std::string PartSelection::HostDirectory() const {
    return impl_->state.HostDirectory;
}

}  // namespace vantreel
