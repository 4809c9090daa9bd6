#include "shared/StringTable.h"
#include "shared/Text.h"

#include "shared/InputFile.h"
#include "shared/RunTimeError.h"
#include "vantreel/Error.h"

#include <charconv>

namespace vantreel {
namespace {

std::string_view TrimLine(std::string_view text) {
    return Trim(text, kWhitespace);
}

[[noreturn]] void ThrowAt(const std::string& name, int line, const std::string& what) {
    throw MakeError(RunTimeError::FileNotRead, "StringTable",
                    name + ", line " + std::to_string(line) + ": " + what);
}

// The text between the quotes that open at text[0], with escapes resolved.
std::string QuotedText(std::string_view text, const std::string& name, int line) {
    std::string result;
    std::size_t i = 1;
    for (;;) {
        if (i >= text.size()) {
            ThrowAt(name, line, "the text has no closing double quote");
        }
        const char c = text[i];
        if (c == '"') {
            if (i + 1 < text.size() && text[i + 1] == '"') {
                result += '"';
                i += 2;
                continue;
            }
            if (!TrimLine(text.substr(i + 1)).empty()) {
                ThrowAt(name, line, "unexpected text after the closing double quote");
            }
            return result;
        }
        if (c == '\\' && i + 1 < text.size()) {
            const char escaped = text[i + 1];
            if (escaped == 'n' || escaped == 't' || escaped == '\\') {
                result += escaped == 'n' ? '\n' : escaped == 't' ? '\t' : '\\';
                i += 2;
                continue;
            }
        }
        result += c;
        ++i;
    }
}

}  // namespace

StringTable StringTable::Load(const std::string& path) {
    // Only a regular file within the limit: a FIFO or a device in the data
    // directory must neither block nor fill the memory.
    std::string text;
    try {
        text = ReadInputFile(path, kMaxStringTableBytes, RunTimeError::FileNotRead, "StringTable");
    } catch (const Error& error) {
        throw MakeError(RunTimeError::FileNotRead, "StringTable",
                        path + " cannot be read: " + error.Description());
    }
    return Parse(text, path);
}

StringTable StringTable::Parse(std::string_view text, const std::string& name) {
    StringTable table;
    enum class Where { Outside, AfterKeyword, Inside } where = Where::Outside;
    int lineNumber = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = TrimLine(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++lineNumber;
        if (line.empty() || line.starts_with("//")) {
            continue;
        }
        switch (where) {
            case Where::Outside:
                if (line != "STRINGTABLE") {
                    ThrowAt(name, lineNumber, "STRINGTABLE expected");
                }
                where = Where::AfterKeyword;
                continue;
            case Where::AfterKeyword:
                if (line != "BEGIN" && line != "{") {
                    ThrowAt(name, lineNumber, "BEGIN expected");
                }
                where = Where::Inside;
                continue;
            case Where::Inside:
                break;
        }
        if (line == "END" || line == "}") {
            where = Where::Outside;
            continue;
        }
        int32_t id = 0;
        const auto [stop, error] = std::from_chars(line.data(), line.data() + line.size(), id);
        if (error != std::errc() || id < 0) {
            ThrowAt(name, lineNumber, "a string ID expected");
        }
        std::string_view rest = TrimLine(line.substr(static_cast<std::size_t>(stop - line.data())));
        if (rest.starts_with(',')) {
            rest = TrimLine(rest.substr(1));
        }
        if (!rest.starts_with('"')) {
            ThrowAt(name, lineNumber, "a text in double quotes expected after the ID");
        }
        if (!table.strings_.emplace(id, QuotedText(rest, name, lineNumber)).second) {
            ThrowAt(name, lineNumber, "string " + std::to_string(id) + " is defined twice");
        }
    }
    if (where != Where::Outside) {
        ThrowAt(name, lineNumber, "END expected before the end of the file");
    }
    return table;
}

std::optional<std::string_view> StringTable::Find(int32_t id) const {
    const auto found = strings_.find(id);
    if (found == strings_.end()) {
        return std::nullopt;
    }
    return std::string_view(found->second);
}

}  // namespace vantreel
