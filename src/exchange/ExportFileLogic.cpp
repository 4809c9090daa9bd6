#include "exchange/ExportFileLogic.h"

#include "shared/MessageBox.h"
#include "shared/Paths.h"
#include "shared/Resources.h"

#include <fcntl.h>
#include <unistd.h>

namespace vantreel {

bool ExportFileLogic::Ok(const std::string& path, const std::string& title, const std::string& user,
                         const std::string& comments) {
    const int fd = path.empty() ? -1
                                : open(path.c_str(),
                                       O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK, 0644);
    if (fd < 0 || close(fd) != 0) {
        MsgBoxEx(GetResString(125104), vbOKOnly, GetResString(110089));
        return false;
    }
    state_.exportPath = path;
    state_.title = title;
    state_.user = user;
    state_.comments = comments;
    state_.result = true;
    return true;
}

std::string ExportPartLogic::PartNameOf(const std::string& firstPart) {
    std::string path = firstPart;
    while (!path.empty() && IsPathSeparator(path.back())) {
        path.pop_back();
    }
    std::size_t at = path.size();
    while (at > 0 && !IsPathSeparator(path[at - 1])) {
        --at;
    }
    return path.substr(at);
}

bool ExportPartLogic::Ok(const std::string& dir) {
    if (dir.size() > 3 && !DirectoryExists(dir)) {
        MsgBoxEx(FormatResString(125117, dir), vbOKOnly, GetResString(125010));
        return false;
    }
    std::string target = dir;
    AddPathSeparator(target);
    state_.targetDir = target;
    state_.result = true;
    return true;
}

}  // namespace vantreel
