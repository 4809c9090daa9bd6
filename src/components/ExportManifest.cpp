#include "components/ExportManifest.h"

#include "components/ArchivePath.h"

#include <algorithm>

namespace vantreel {
namespace {

constexpr std::string_view kMagic = "Vantreel export ";

std::string Escape(std::string_view value) {
    std::string text;
    for (const char c : value) {
        switch (c) {
            case '\\':
                text += "\\\\";
                break;
            case '\r':
                text += "\\r";
                break;
            case '\n':
                text += "\\n";
                break;
            default:
                text += c;
        }
    }
    return text;
}

bool Unescape(std::string_view value, std::string& text) {
    text.clear();
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\') {
            text += value[i];
            continue;
        }
        if (++i == value.size()) {
            return false;
        }
        switch (value[i]) {
            case '\\':
                text += '\\';
                break;
            case 'r':
                text += '\r';
                break;
            case 'n':
                text += '\n';
                break;
            default:
                return false;
        }
    }
    return true;
}

std::optional<ExportManifest> Fail(std::string* reason, std::string why) {
    if (reason != nullptr) {
        *reason = std::move(why);
    }
    return std::nullopt;
}

}  // namespace

const ExportManifest::PartEntry* ExportManifest::Find(std::string_view name) const {
    const auto found = std::find_if(parts.begin(), parts.end(),
                                    [&](const PartEntry& part) { return part.name == name; });
    return found == parts.end() ? nullptr : &*found;
}

std::string WriteManifest(const ExportManifest& manifest) {
    std::string text = std::string(kMagic) + std::to_string(manifest.version) + "\n";
    const auto line = [&](std::string_view key, std::string_view value) {
        text += key;
        text += ": ";
        text += Escape(value);
        text += '\n';
    };
    line("Title", manifest.title);
    line("User", manifest.user);
    line("Date", manifest.date);
    line("Comments", manifest.comments);
    line("Fix", manifest.fix ? "1" : "0");
    line("Source", manifest.source ? "1" : "0");
    line("Executable", manifest.executable ? "1" : "0");
    for (const ExportManifest::PartEntry& part : manifest.parts) {
        line("Part", part.name);
        for (const std::string& file : part.additional) {
            line("Additional", part.name + "\t" + file);
        }
    }
    return text;
}

std::optional<ExportManifest> ParseManifest(std::string_view text, std::string* reason) {
    if (text.size() > ExportManifest::kMaxSize) {
        return Fail(reason, "the manifest is too large");
    }
    ExportManifest manifest;
    std::size_t start = 0;
    bool first = true;
    int lineNumber = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        const std::string where = "line " + std::to_string(lineNumber) + ": ";
        if (first) {
            first = false;
            if (!line.starts_with(kMagic)) {
                return Fail(reason, "this is not an export manifest");
            }
            const std::string_view number = line.substr(kMagic.size());
            if (number.empty() || number.size() > 4 ||
                !std::all_of(number.begin(), number.end(),
                             [](char c) { return c >= '0' && c <= '9'; })) {
                return Fail(reason, where + "the format version is not a number");
            }
            manifest.version = std::stoi(std::string(number));
            if (manifest.version < 1 || manifest.version > ExportManifest::kFormatVersion) {
                return Fail(reason, "the export file has format version " + std::string(number) +
                                        ", which this version cannot read");
            }
            continue;
        }
        if (line.empty()) {
            continue;
        }
        const std::size_t colon = line.find(": ");
        if (colon == std::string_view::npos) {
            return Fail(reason, where + "no \"Key: value\"");
        }
        const std::string_view key = line.substr(0, colon);
        std::string value;
        if (!Unescape(line.substr(colon + 2), value)) {
            return Fail(reason, where + "a bad escape");
        }
        const auto flag = [&](bool& target) {
            if (value != "0" && value != "1") {
                return false;
            }
            target = value == "1";
            return true;
        };
        if (key == "Title") {
            manifest.title = value;
        } else if (key == "User") {
            manifest.user = value;
        } else if (key == "Date") {
            manifest.date = value;
        } else if (key == "Comments") {
            manifest.comments = value;
        } else if (key == "Fix" || key == "Source" || key == "Executable") {
            bool& target = key == "Fix"      ? manifest.fix
                           : key == "Source" ? manifest.source
                                             : manifest.executable;
            if (!flag(target)) {
                return Fail(reason, where + "a choice that is neither 0 nor 1");
            }
        } else if (key == "Part") {
            if (!IsSafePartName(value)) {
                return Fail(reason, where + "'" + value + "' cannot name a part");
            }
            if (manifest.Find(value) != nullptr) {
                return Fail(reason, where + "the part '" + value + "' is listed twice");
            }
            manifest.parts.push_back({value, {}});
        } else if (key == "Additional") {
            const std::size_t tab = value.find('\t');
            const std::string name = value.substr(0, tab);
            if (tab == std::string::npos || manifest.parts.empty() ||
                manifest.parts.back().name != name) {
                return Fail(reason, where + "an extra file outside its part");
            }
            std::string why;
            const std::string file = SafeRelativePath(value.substr(tab + 1), false, &why);
            if (file.empty()) {
                return Fail(reason, where + "extra file '" + value.substr(tab + 1) + "': " + why);
            }
            manifest.parts.back().additional.push_back(file);
        } else {
            return Fail(reason, where + "the unknown key '" + std::string(key) + "'");
        }
    }
    if (first) {
        return Fail(reason, "the manifest is empty");
    }
    return manifest;
}

}  // namespace vantreel
