#include "ConfigCommands.h"

#include "shared/Configuration.h"
#include "shared/Resources.h"
#include "shared/StringTable.h"
#include "vantreel/Error.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <map>
#include <optional>
#include <ostream>
#include <regex>

namespace vantreel::cli {
namespace {

std::optional<int32_t> ParseNumber(const std::string& text) {
    int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// Every table of the data directory by language code and group.
struct TableFile {
    std::string code;
    std::string group;
    std::filesystem::path path;
};

std::vector<TableFile> TableFiles() {
    std::vector<TableFile> files;
    const std::regex name("([A-Z]{3})([0-9]{5,})\\.rc");
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(LibraryDirectory(), error)) {
        std::smatch match;
        const std::string file = entry.path().filename().string();
        if (std::regex_match(file, match, name)) {
            files.push_back({match[1], match[2], entry.path()});
        }
    }
    std::sort(files.begin(), files.end(),
              [](const TableFile& a, const TableFile& b) { return a.path < b.path; });
    return files;
}

// Lists the English IDs that another language lacks, and tables that do not parse.
int CheckStrings(std::ostream& out, std::ostream& err) {
    std::map<std::string, std::map<std::string, StringTable>> tables;  // group -> code -> table
    int problems = 0;
    for (const TableFile& file : TableFiles()) {
        try {
            tables[file.group].emplace(file.code, StringTable::Load(file.path.string()));
        } catch (const Error& error) {
            err << error.Description() << '\n';
            ++problems;
        }
    }
    std::size_t englishCount = 0;
    std::map<std::string, bool> languages;
    for (const auto& [group, byCode] : tables) {
        const auto english = byCode.find("ENU");
        if (english == byCode.end()) {
            continue;
        }
        englishCount += english->second.Strings().size();
        for (const auto& [code, table] : byCode) {
            languages[code] = true;
            std::vector<int32_t> missing;
            for (const auto& [id, text] : english->second.Strings()) {
                if (!table.Find(id)) {
                    missing.push_back(id);
                }
            }
            std::sort(missing.begin(), missing.end());
            for (const int32_t id : missing) {
                out << code << '\t' << id << "\tmissing\n";
                ++problems;
            }
        }
    }
    // A language without a table for one of the English groups misses all of it.
    for (const auto& [code, present] : languages) {
        for (const auto& [group, byCode] : tables) {
            if (byCode.contains("ENU") && !byCode.contains(code)) {
                out << code << '\t' << group << "\ttable missing\n";
                ++problems;
            }
        }
    }
    if (problems == 0) {
        out << englishCount << " English strings, all present in";
        for (const auto& [code, present] : languages) {
            if (code != "ENU") {
                out << ' ' << code;
            }
        }
        out << '\n';
    }
    return problems == 0 ? 0 : 1;
}

}  // namespace

int RunConfig(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    try {
        if (!args.empty() && args[0] == "repository-root" && args.size() <= 2) {
            out << GetRepositoryRoot(args.size() == 2 ? args[1] : "") << '\n';
            return 0;
        }
        if (args.size() == 1 && args[0] == "install-directory") {
            out << GetInstallDirectory() << '\n';
            return 0;
        }
    } catch (const Error& error) {
        err << "ERROR: " << error.Description() << '\n';
        return 1;
    }
    err << "usage: vantreel config repository-root [APPLICATION] | install-directory\n";
    return 2;
}

int RunStrings(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() == 1 && args[0] == "check") {
        return CheckStrings(out, err);
    }
    std::optional<int32_t> id = args.empty() ? std::nullopt : ParseNumber(args[0]);
    std::optional<int32_t> language = 0;
    if (args.size() == 3 && args[1] == "--lang") {
        language = ParseNumber(args[2]);
    } else if (args.size() != 1) {
        id.reset();
    }
    if (!id || !language) {
        err << "usage: vantreel strings ID [--lang LCID] | check\n";
        return 2;
    }
    try {
        InitResources();
        SetLanguage(*language);
        out << GetResString(*id) << '\n';
    } catch (const Error& error) {
        err << "ERROR: " << error.Description() << '\n';
        return 1;
    }
    return 0;
}

}  // namespace vantreel::cli
