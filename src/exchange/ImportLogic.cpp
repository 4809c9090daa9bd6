#include "exchange/ImportLogic.h"

#include "components/ComponentFactory.h"
#include "components/LegacyList.h"
#include "shared/Paths.h"
#include "shared/Resources.h"

#include <sys/stat.h>

#include <algorithm>

namespace vantreel {

ImportLogic::ImportLogic()
    : formatDate_([](std::time_t time) {
          std::tm local{};
          localtime_r(&time, &local);
          char text[64];
          std::strftime(text, sizeof text, "%x %X", &local);
          return std::string(text);
      }) {}

void ImportLogic::Clear() {
    state_.exportFile.clear();
    state_.title.clear();
    state_.user.clear();
    state_.date.clear();
    state_.comments.clear();
    state_.partNames.clear();
    state_.legacy = false;
    entries_.clear();
    okEnabled_ = false;
}

void ImportLogic::SourceChanged(const std::string& text) {
    Clear();
    if (!FileExists(text)) {
        return;
    }
    state_.exportFile = text;
    std::vector<std::string> names;
    std::string title, user, date, comments;
    bool understood = false;
    try {
        understood = CreatePartExport()->BrowseProjects(text, title, user, date, comments, names);
    } catch (...) {
        understood = false;  // a part manager that raises understands nothing
    }
    if (understood) {
        state_.title = title;
        state_.user = user;
        state_.date = date;
        state_.comments = comments;
        state_.partNames = names;
        entries_ = names;
        okEnabled_ = true;
        return;
    }
    if (!LoadLegacy(text)) {
        Clear();
    }
}

bool ImportLogic::LoadLegacy(const std::string& file) {
    LegacyList list;
    try {
        list = LegacyList::Read(file);
    } catch (...) {
        return false;
    }
    if (!list.IsWellFormed()) {
        return false;
    }
    struct stat info {};
    if (stat(file.c_str(), &info) != 0) {
        return false;
    }
    state_.legacy = true;
    state_.title = FormatResString(125078, list.PartName());
    state_.user = GetResString(125079);
    state_.date = formatDate_(info.st_mtime);
    state_.comments.clear();
    okEnabled_ = true;
    return true;
}

void ImportLogic::Ok(const std::vector<int>& selected, bool templateFlag) {
    std::vector<int> indices = selected;
    std::sort(indices.begin(), indices.end());
    std::vector<std::string> names;
    for (const int index : indices) {
        if (index >= 0 && index < static_cast<int>(entries_.size())) {
            names.push_back(entries_[static_cast<std::size_t>(index)]);
        }
    }
    state_.partNames = std::move(names);
    state_.templateFlag = templateFlag;
    state_.result = true;
}

}  // namespace vantreel
