#include "components/ArchivePath.h"

#include <filesystem>

namespace vantreel {
namespace {

constexpr std::size_t kMaxComponent = 255;
constexpr std::size_t kMaxPath = 4096;

bool Refuse(std::string* reason, const char* why) {
    if (reason != nullptr) {
        *reason = why;
    }
    return false;
}

}  // namespace

std::string SafeRelativePath(std::string_view path, bool backslashIsSeparator,
                             std::string* reason) {
    std::string text(path);
    if (backslashIsSeparator) {
        for (char& c : text) {
            if (c == '\\') {
                c = '/';
            }
        }
    }
    while (!text.empty() && text.back() == '/') {
        text.pop_back();
    }
    const auto check = [&]() -> bool {
        if (text.empty()) {
            return Refuse(reason, "the path is empty");
        }
        if (text.size() > kMaxPath) {
            return Refuse(reason, "the path is too long");
        }
        if (text.front() == '/') {
            return Refuse(reason, "the path is absolute");
        }
        if (text.size() >= 2 && text[1] == ':') {
            return Refuse(reason, "the path starts with a drive letter");
        }
        std::size_t start = 0;
        while (start <= text.size()) {
            std::size_t end = text.find('/', start);
            if (end == std::string::npos) {
                end = text.size();
            }
            const std::string_view component(text.data() + start, end - start);
            if (component.empty()) {
                return Refuse(reason, "the path has an empty component");
            }
            if (component == "." || component == "..") {
                return Refuse(reason, "the path leaves its folder (\".\" or \"..\")");
            }
            if (component.size() > kMaxComponent) {
                return Refuse(reason, "a component of the path is longer than 255 bytes");
            }
            for (const char c : component) {
                const auto byte = static_cast<unsigned char>(c);
                if (byte < 0x20 || byte == 0x7f) {
                    return Refuse(reason, "the path holds a control character");
                }
                if (c == '\\') {
                    return Refuse(reason, "the path holds a backslash");
                }
            }
            start = end + 1;
        }
        return true;
    };
    return check() ? text : std::string();
}

bool IsSafePartName(std::string_view name) {
    const std::string safe = SafeRelativePath(name, false);
    return !safe.empty() && safe == name && safe.find('/') == std::string::npos &&
           safe.find(':') == std::string::npos;
}

bool IsBelowDirectory(const std::string& path, const std::string& dir, std::string* relative) {
    namespace fs = std::filesystem;
    const fs::path file = fs::path(path).lexically_normal();
    fs::path base = fs::path(dir).lexically_normal();
    if (!file.is_absolute() || !base.is_absolute()) {
        return false;
    }
    const fs::path rest = file.lexically_relative(base);
    if (rest.empty() || rest == "." || *rest.begin() == "..") {
        return false;
    }
    if (relative != nullptr) {
        *relative = rest.generic_string();
    }
    return true;
}

}  // namespace vantreel
