#include "components/LegacyList.h"

#include "shared/Text.h"
#include "vantreel/Error.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vantreel {
namespace {

constexpr const char* kSource = "LegacyList";

std::string Backslashes(std::string path) {
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    return path;
}

}  // namespace

LegacyList LegacyList::Read(const std::string& path) {
    // O_NONBLOCK: a pipe or device given as the list must not hang the reader.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        throw Error(53, kSource,
                    "The list file '" + path + "' cannot be opened: " + std::strerror(errno));
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        throw Error(75, kSource, "'" + path + "' is not a list file");
    }
    if (static_cast<uint64_t>(info.st_size) > kMaxSize) {
        close(fd);
        throw Error(7, kSource, "The list file '" + path + "' is larger than 4 MB");
    }
    std::string text(static_cast<std::size_t>(info.st_size), '\0');
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t got = read(fd, text.data() + done, text.size() - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            close(fd);
            throw Error(75, kSource, "The list file '" + path + "' cannot be read");
        }
        done += static_cast<std::size_t>(got);
    }
    close(fd);

    LegacyList list;
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            list.lines.push_back(line);
            line.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else {
            line += c;
        }
    }
    if (!line.empty()) {
        list.lines.push_back(line);
    }
    return list;
}

std::string LegacyList::Write(const std::string& partName, const std::vector<std::string>& folders,
                              const std::vector<std::string>& files) {
    std::string text = partName + "\r\n" + kKind + "\r\n";
    for (const std::string& folder : folders) {
        text += "F:" + Backslashes(folder) + "\r\n";
    }
    for (const std::string& file : files) {
        text += "D:" + Backslashes(file) + "\r\n";
    }
    return text;
}

bool LegacyList::IsVisualBasic() const {
    return lines.size() >= 2 && EqualsIgnoringCase(lines[1], kKind);
}

bool LegacyList::IsWellFormed() const {
    if (!IsVisualBasic()) {
        return false;
    }
    for (std::size_t i = 2; i < lines.size(); ++i) {
        const std::string tag = ToUpperAscii(std::string_view(lines[i]).substr(0, 2));
        if (lines[i].empty()) {
            continue;
        }
        if (tag != "D:" && tag != "F:") {
            return false;
        }
    }
    return true;
}

}  // namespace vantreel
