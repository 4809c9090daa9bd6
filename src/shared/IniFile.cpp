#include "shared/IniFile.h"

#include "shared/AtomicFile.h"
#include "shared/InputFile.h"
#include "shared/Text.h"
#include "vantreel/Error.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <optional>
#include <string_view>
#include <thread>
#include <vector>

namespace vantreel {
namespace {

constexpr std::size_t kValueBuffer = 4096;
// The byte order mark Notepad puts before UTF-8 text.
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
// How long a write waits for the other writers of the file: far longer than
// any number of them a station runs at once needs.
constexpr std::chrono::seconds kLockWait{60};
constexpr std::chrono::milliseconds kLongestPause{20};

std::string_view TrimLine(std::string_view text) {
    return Trim(text, kWhitespace);
}

bool SameName(std::string_view a, std::string_view b) {
    return EqualsIgnoringCase(a, b);
}

// One line of the file as it relates to sections and keys.
struct IniLine {
    std::string text;  // without its line end
    std::optional<std::string_view> section;
    std::optional<std::string_view> key;
    std::string_view value;
};

// The lines of content after its byte order mark, if it has one.
std::vector<IniLine> SplitLines(const std::string& content) {
    std::vector<IniLine> lines;
    std::size_t from = content.starts_with(kUtf8Mark) ? kUtf8Mark.size() : 0;
    while (from < content.size()) {
        std::size_t end = content.find('\n', from);
        if (end == std::string::npos) {
            end = content.size();
        }
        std::string text = content.substr(from, end - from);
        if (!text.empty() && text.back() == '\r') {
            text.pop_back();
        }
        lines.push_back({std::move(text), {}, {}, {}});
        from = end + 1;
    }
    for (IniLine& line : lines) {
        const std::string_view trimmed = TrimLine(line.text);
        if (trimmed.starts_with('[')) {
            line.section = TrimLine(trimmed.substr(1, trimmed.find(']') - 1));
        } else if (!trimmed.starts_with(';') && trimmed.find('=') != std::string_view::npos) {
            const std::size_t equals = trimmed.find('=');
            line.key = TrimLine(trimmed.substr(0, equals));
            line.value = TrimLine(trimmed.substr(equals + 1));
        }
    }
    return lines;
}

// The lines [begin, end) of the first section named section; nullopt when absent.
std::optional<std::pair<std::size_t, std::size_t>> FindSection(const std::vector<IniLine>& lines,
                                                               std::string_view section) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].section && SameName(*lines[i].section, TrimLine(section))) {
            std::size_t end = i + 1;
            while (end < lines.size() && !lines[end].section) {
                ++end;
            }
            return std::make_pair(i + 1, end);
        }
    }
    return std::nullopt;
}

std::string Unquoted(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value.substr(0, kValueBuffer - 1));
}

bool ReadAll(int fd, std::string& content) {
    content.clear();
    char buffer[65536];
    for (;;) {
        const ssize_t count = read(fd, buffer, sizeof buffer);
        if (count < 0) {
            return false;
        }
        if (count == 0) {
            return true;
        }
        content.append(buffer, static_cast<std::size_t>(count));
    }
}

// An exclusive lock on the file at path, held on the inode the path names
// when the lock is granted: a writer that got there first replaced the file,
// and the next attempt locks the new one. Waits up to kLockWait in all, in
// pauses that grow to kLongestPause, so a busy file delays a write but does
// not fail it; -1 when the file cannot be opened or the wait runs out.
// Opens path (made when missing, created then set) and takes its lock.
int LockFile(const std::string& path, bool& created) {
    const auto deadline = std::chrono::steady_clock::now() + kLockWait;
    std::chrono::milliseconds pause{1};
    const auto wait = [&] {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, kLongestPause);
        return true;
    };
    while (true) {
        int fd = open(path.c_str(), O_RDWR | O_CLOEXEC);
        created = false;
        if (fd < 0 && errno == ENOENT) {
            fd = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            created = fd >= 0;
            if (fd < 0 && errno == EEXIST) {
                if (!wait()) {
                    return -1;
                }
                continue;  // another writer made it meanwhile
            }
        }
        if (fd < 0) {
            return -1;
        }
        int locked = flock(fd, LOCK_EX | LOCK_NB);
        while (locked != 0 && (errno == EWOULDBLOCK || errno == EINTR) && wait()) {
            locked = flock(fd, LOCK_EX | LOCK_NB);
        }
        if (locked != 0) {
            close(fd);
            return -1;
        }
        struct stat held {
        }, named{};
        if (fstat(fd, &held) == 0 && stat(path.c_str(), &named) == 0 &&
            held.st_ino == named.st_ino && held.st_dev == named.st_dev) {
            return fd;
        }
        close(fd);
        if (!wait()) {
            return -1;
        }
    }
}

std::string Updated(const std::string& content, const std::string& section, const std::string& key,
                    const std::string& value) {
    const std::vector<IniLine> lines = SplitLines(content);
    const std::string newline =
        content.empty() || content.find("\r\n") != std::string::npos ? "\r\n" : "\n";
    const std::string entry = std::string(TrimLine(key)) + "=" + value;

    std::vector<std::string> out;
    out.reserve(lines.size() + 2);
    for (const IniLine& line : lines) {
        out.push_back(line.text);
    }
    if (const auto range = FindSection(lines, section)) {
        std::size_t insertAt = range->first;
        bool replaced = false;
        for (std::size_t i = range->first; i < range->second; ++i) {
            if (lines[i].key && SameName(*lines[i].key, TrimLine(key))) {
                // The line keeps its own spelling of the key.
                out[i] = std::string(*lines[i].key) + "=" + value;
                replaced = true;
                break;
            }
            if (!TrimLine(lines[i].text).empty()) {
                insertAt = i + 1;  // after the last non-blank line of the section
            }
        }
        if (!replaced) {
            out.insert(out.begin() + static_cast<std::ptrdiff_t>(insertAt), entry);
        }
    } else {
        out.push_back("[" + std::string(TrimLine(section)) + "]");
        out.push_back(entry);
    }
    // A file that starts with a byte order mark keeps it.
    std::string result(content.starts_with(kUtf8Mark) ? kUtf8Mark : std::string_view());
    for (const std::string& line : out) {
        result += line;
        result += newline;
    }
    return result;
}

}  // namespace

bool FitsOnOneLine(std::string_view text) noexcept {
    return text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

std::string ReadIniString(const std::string& sFile, const std::string& sSection,
                          const std::string& sKey) {
    // Only a regular file within the limit is read: a FIFO or a device reads
    // as a missing file instead of blocking or filling the memory.
    std::string content;
    try {
        content =
            ReadInputFile(sFile, kMaxIniFileBytes, RunTimeError::FileNotRead, "ReadIniString");
    } catch (const Error&) {
        return {};
    }
    const std::vector<IniLine> lines = SplitLines(content);
    const auto range = FindSection(lines, sSection);
    if (!range) {
        return {};
    }
    for (std::size_t i = range->first; i < range->second; ++i) {
        if (lines[i].key && SameName(*lines[i].key, TrimLine(sKey))) {
            return Unquoted(lines[i].value);
        }
    }
    return {};
}

int32_t WriteIniString(const std::string& sFile, const std::string& sSection,
                       const std::string& sKey, const std::string& sValue) {
    if (TrimLine(sSection).empty() || TrimLine(sKey).empty() || !FitsOnOneLine(sSection) ||
        !FitsOnOneLine(sKey) || !FitsOnOneLine(sValue)) {
        return 0;  // a line break would start a line of its own: another key or section
    }
    // Only a regular file (or none) is locked, read and replaced; a symbolic
    // link is written through to its target.
    std::string target;
    if (!WriteTargetProblem(sFile, target).empty()) {
        return 0;
    }
    bool created = false;
    // The lock is taken on the file a link names: a link to no file yet makes
    // that file, and exclusive creation of the link itself would never succeed.
    const int fd = LockFile(target, created);
    if (fd < 0) {
        return 0;
    }
    std::string content;
    struct stat info {};
    bool ok = fstat(fd, &info) == 0 && static_cast<uint64_t>(info.st_size) <= kMaxIniFileBytes &&
              ReadAll(fd, content);
    if (ok) {
        try {
            AtomicFile::WriteFile(sFile, Updated(content, sSection, sKey, sValue));
        } catch (const Error&) {
            ok = false;
        }
    }
    if (!ok && created) {
        // The file made only to be locked goes again, unless it was written
        // after all: a failed first write leaves no empty file behind.
        struct stat named {};
        if (stat(target.c_str(), &named) == 0 && named.st_ino == info.st_ino &&
            named.st_dev == info.st_dev && named.st_size == 0) {
            unlink(target.c_str());
        }
    }
    close(fd);  // releases the lock
    return ok ? 1 : 0;
}

}  // namespace vantreel
