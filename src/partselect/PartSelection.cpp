#include "vantreel/PartSelection.h"

#include "partselect/PartSelectState.h"

namespace vantreel {

struct PartSelection::Impl {
    PartSelectState state;
};

PartSelection::PartSelection() : impl_(std::make_unique<Impl>()) {}
PartSelection::~PartSelection() = default;
PartSelection::PartSelection(PartSelection&&) noexcept = default;
PartSelection& PartSelection::operator=(PartSelection&&) noexcept = default;

std::string PartSelection::PartOpen(const std::string&) {
    return {};
}
std::optional<std::vector<std::string>> PartSelection::BuildExportList(const std::string&) {
    return impl_->state.ExportCollection;
}
std::string PartSelection::PartSaveAs(const std::string&) {
    return {};
}
std::string PartSelection::PartDirectory(const std::string&) {
    return {};
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
