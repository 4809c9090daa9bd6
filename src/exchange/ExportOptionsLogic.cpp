#include "exchange/ExportOptionsLogic.h"

#include "components/ComponentFactory.h"

#include <algorithm>

namespace vantreel {

std::vector<const Part*> ExportOptionsState::PartList() const {
    std::vector<const Part*> list;
    for (const auto& part : parts) {
        list.push_back(part.get());
    }
    return list;
}

void ExportOptionsLogic::Load(const std::string& firstPart) {
    state_.parts.clear();
    state_.result = false;
    state_.legacy = false;
    state_.firstPart = firstPart;
    selected_ = -1;
    if (!firstPart.empty()) {
        AddPart(firstPart);
    }
}

bool ExportOptionsLogic::AddPart(const std::string& path) {
    const auto named = [&](const std::string& name) {
        return std::any_of(state_.parts.begin(), state_.parts.end(),
                           [&](const auto& part) { return part->PartName() == name; });
    };
    if (path.empty() || named(path)) {
        return false;
    }
    std::unique_ptr<Part> part = CreatePart();
    std::string directory = path;
    part->OpenProject(directory);
    // The name is the key of the list: one part of a name at a time.
    if (named(part->PartName())) {
        return false;
    }
    state_.parts.push_back(std::move(part));
    return true;
}

void ExportOptionsLogic::RemovePart(int index) {
    if (index < 0 || index >= static_cast<int>(state_.parts.size())) {
        return;
    }
    state_.parts.erase(state_.parts.begin() + index);
    selected_ = -1;
}

Part* ExportOptionsLogic::SelectedPart() const {
    return selected_ >= 0 && selected_ < static_cast<int>(state_.parts.size())
               ? state_.parts[static_cast<std::size_t>(selected_)].get()
               : nullptr;
}

void ExportOptionsLogic::Ok(bool fix, bool source, bool executable) {
    state_.fix = fix;
    state_.source = source;
    state_.executable = executable;
    state_.result = true;
}

std::vector<std::string> ExportOptionsLogic::Entries() const {
    std::vector<std::string> names;
    for (const auto& part : state_.parts) {
        names.push_back(part->PartName());
    }
    return names;
}

void AdditionalFilesLogic::Load() {
    files_.clear();
    const int16_t count = part_.AdditionalFilesCount();
    for (int16_t i = 1; i <= count; ++i) {
        files_.push_back(part_.AdditionalFiles(i));
    }
}

bool AdditionalFilesLogic::Add(const std::string& path) {
    if (path.empty() || std::find(files_.begin(), files_.end(), path) != files_.end()) {
        return false;
    }
    part_.AdditionalFileAdd(path);
    files_.push_back(path);
    return true;
}

void AdditionalFilesLogic::Remove(int index) {
    if (index < 0 || index >= static_cast<int>(files_.size())) {
        return;
    }
    part_.AdditionalFileRemove(static_cast<int16_t>(index + 1));
    files_.erase(files_.begin() + index);
}

}  // namespace vantreel
