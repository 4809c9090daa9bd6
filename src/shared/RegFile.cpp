#include "shared/RegFile.h"

#include "shared/AtomicFile.h"
#include "shared/InputFile.h"
#include "shared/Text.h"

#include "shared/RunTimeError.h"
#include "vantreel/Error.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <vector>

namespace vantreel {
namespace {

constexpr RunTimeError kFileError = RunTimeError::FileNotRead;
constexpr RunTimeError kWriteError = RunTimeError::FileNotWritten;
constexpr const char* kSource = "RegFile";
constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";
constexpr std::string_view kHeader4 = "REGEDIT4";
// regedit breaks a hex list once a line, with its "xx,", reaches this column;
// the "\" that follows keeps every line within 80 columns.
constexpr std::size_t kHexWrapColumn = 77;
constexpr std::string_view kHexIndent = "  ";

// ---- Text encodings --------------------------------------------------------

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// The code point starting at text[pos], advancing pos past it; nullopt (pos
// unchanged) for a malformed sequence.
std::optional<char32_t> NextUtf8(std::string_view text, std::size_t& pos) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    std::size_t length = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        cp = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        cp = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        cp = lead & 0x07;
        minimum = 0x10000;
    } else {
        return std::nullopt;
    }
    if (text.size() - pos < length) {
        return std::nullopt;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(pos + i) & 0xC0) != 0x80) {
            return std::nullopt;
        }
        cp = (cp << 6) | (byte(pos + i) & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return std::nullopt;
    }
    pos += length;
    return cp;
}

// The offset of the first malformed UTF-8 sequence, npos when there is none.
std::size_t FirstInvalidUtf8(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (!NextUtf8(text, pos)) {
            return pos;
        }
    }
    return std::string_view::npos;
}

// UTF-16LE bytes as UTF-8. On failure returns nullopt and sets failedAt to the
// byte offset of the odd byte or the unpaired surrogate.
std::optional<std::string> Utf16LeToUtf8(std::string_view bytes, std::size_t& failedAt) {
    std::string out;
    out.reserve(bytes.size() / 2);
    const auto unit = [&](std::size_t i) {
        return static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                     static_cast<unsigned char>(bytes[i + 1]) << 8);
    };
    std::size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) {
        const char16_t first = unit(i);
        if (first >= 0xD800 && first <= 0xDBFF) {
            if (i + 3 < bytes.size()) {
                const char16_t second = unit(i + 2);
                if (second >= 0xDC00 && second <= 0xDFFF) {
                    AppendUtf8(out, 0x10000 + ((static_cast<char32_t>(first) - 0xD800) << 10) +
                                        (second - 0xDC00));
                    i += 2;
                    continue;
                }
            }
            failedAt = i;
            return std::nullopt;
        }
        if (first >= 0xDC00 && first <= 0xDFFF) {
            failedAt = i;
            return std::nullopt;
        }
        AppendUtf8(out, first);
    }
    if (i != bytes.size()) {
        failedAt = i;
        return std::nullopt;
    }
    return out;
}

// UTF-8 text as UTF-16LE bytes; nullopt when text is not UTF-8.
std::optional<std::string> Utf8ToUtf16Le(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    const auto put = [&](char32_t unit) {
        out += static_cast<char>(unit & 0xFF);
        out += static_cast<char>(unit >> 8);
    };
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::optional<char32_t> cp = NextUtf8(text, pos);
        if (!cp) {
            return std::nullopt;
        }
        if (*cp >= 0x10000) {
            put(0xD800 + ((*cp - 0x10000) >> 10));
            put(0xDC00 + ((*cp - 0x10000) & 0x3FF));
        } else {
            put(*cp);
        }
    }
    return out;
}

// The columns text takes in the UTF-16 file: its UTF-16 code units.
std::size_t Utf16Length(std::string_view text) {
    std::size_t units = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::optional<char32_t> cp = NextUtf8(text, pos);
        if (!cp) {
            ++pos;  // not reached for checked text; count the byte and go on
        }
        units += cp && *cp >= 0x10000 ? 2 : 1;
    }
    return units;
}

// Windows-1252, the 8-bit code page of REGEDIT4 files written on western
// stations, as UTF-8. The five bytes 1252 leaves undefined map to the C1
// controls of the same number, as Windows converts them.
std::string Windows1252ToUtf8(std::string_view bytes) {
    static constexpr char16_t kHigh[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        AppendUtf8(out, byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : byte);
    }
    return out;
}

// ---- Small text helpers ----------------------------------------------------

// .reg files separate with blanks and tabs.
std::string_view TrimBlanksLeft(std::string_view text) {
    return TrimLeft(text, kBlanksAndTabs);
}
std::string_view TrimBlanksRight(std::string_view text) {
    return TrimRight(text, kBlanksAndTabs);
}
std::string_view TrimBlanks(std::string_view text) {
    return Trim(text, kBlanksAndTabs);
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           EqualsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Up to maxDigits hex digits as a number; nullopt for anything else.
std::optional<uint32_t> ParseHex(std::string_view digits, std::size_t maxDigits) {
    if (digits.empty() || digits.size() > maxDigits) {
        return std::nullopt;
    }
    uint32_t value = 0;
    for (const char c : digits) {
        const int digit = HexDigit(c);
        if (digit < 0) {
            return std::nullopt;
        }
        value = value << 4 | static_cast<uint32_t>(digit);
    }
    return value;
}

// Text quoted for a message, cut short when long.
std::string Quoted(std::string_view text) {
    constexpr std::size_t kShown = 40;
    return "'" + std::string(text.substr(0, kShown)) + (text.size() > kShown ? "...'" : "'");
}

bool IsStringType(uint32_t type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// ---- Reading ---------------------------------------------------------------

// One change a .reg file asks for, with the line that asks for it.
struct RegOperation {
    enum class Kind { OpenKey, DeleteKey, SetValue, DeleteValue };
    Kind kind = Kind::OpenKey;
    int line = 0;
    RegHive hive = RegHive::LocalMachine;
    bool skipped = false;           // in a hive this registry does not keep
    std::vector<std::string> path;  // keys: the components below the hive
    std::string name;               // values
    uint32_t type = REG_NONE;
    std::string data;
};

// Reads the text of a .reg file into the changes it asks for; touches no store.
class RegFileReader {
  public:
    RegFileReader(std::string name, std::string_view bytes) : name_(std::move(name)) {
        Decode(bytes);
    }

    // The lines that were read but are not imported, one for each section of
    // a hive that is not kept.
    const std::vector<std::string>& Warnings() const { return warnings_; }

    std::vector<RegOperation> Read() {
        SplitLines();
        CheckHeader();
        std::vector<RegOperation> operations;
        enum class Section { None, Open, Deleted } section = Section::None;
        bool skipping = false;
        for (index_ = 1; index_ < lines_.size(); ++index_) {
            const std::string_view line = TrimBlanksLeft(lines_[index_]);
            if (line.empty() || line.front() == ';') {
                continue;
            }
            if (line.front() == '[') {
                RegOperation operation = ReadSection(line);
                section = operation.kind == RegOperation::Kind::OpenKey ? Section::Open
                                                                        : Section::Deleted;
                skipping = operation.skipped;
                if (!skipping) {
                    operations.push_back(std::move(operation));
                }
                continue;
            }
            if (line.front() != '"' && line.front() != '@') {
                Fail("unexpected text " + Quoted(line) +
                     "; a line holds a [key], a \"name\"=value, @=value or a ; comment");
            }
            if (section == Section::None) {
                Fail("a value before the first [key] line");
            }
            if (section == Section::Deleted) {
                Fail("a value below a [-key] line, which deletes that key");
            }
            RegOperation value = ReadValue(line);  // checked also where it is not kept
            if (!skipping) {
                operations.push_back(std::move(value));
            }
        }
        return operations;
    }

  private:
    [[noreturn]] void Fail(const std::string& what) const { FailAt(LineNumber(), what); }

    [[noreturn]] void FailAt(int line, const std::string& what) const {
        throw MakeError(kFileError, kSource,
                        name_ + ", line " + std::to_string(line) + ": " + what);
    }

    int LineNumber() const { return static_cast<int>(index_) + 1; }

    // The line holding byte offset of the decoded or raw text.
    static int LineOf(std::string_view text, std::size_t offset) {
        int line = 1;
        for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
            line += text[i] == '\n';
        }
        return line;
    }

    void Decode(std::string_view bytes) {
        if (bytes.starts_with("\xFF\xFE")) {
            bytes.remove_prefix(2);
            std::size_t failedAt = 0;
            std::optional<std::string> text = Utf16LeToUtf8(bytes, failedAt);
            if (!text) {
                std::size_t ignored = 0;
                const std::optional<std::string> before =
                    Utf16LeToUtf8(bytes.substr(0, failedAt), ignored);
                FailAt(before ? LineOf(*before, before->size()) : 1,
                       failedAt + 1 >= bytes.size()
                           ? "the UTF-16 file ends in the middle of a character"
                           : "a UTF-16 surrogate without its other half");
            }
            text_ = std::move(*text);
            return;
        }
        if (bytes.starts_with("\xFE\xFF")) {
            FailAt(1, "UTF-16 big-endian text cannot be read; save the file as UTF-16LE or UTF-8");
        }
        if (bytes.starts_with("\xEF\xBB\xBF")) {
            bytes.remove_prefix(3);
        } else {
            std::string_view first = bytes.substr(0, bytes.find('\n'));
            if (first.ends_with('\r')) {
                first.remove_suffix(1);
            }
            if (TrimBlanks(first) == kHeader4) {
                text_ = Windows1252ToUtf8(bytes);
                return;
            }
        }
        const std::size_t invalid = FirstInvalidUtf8(bytes);
        if (invalid != std::string_view::npos) {
            FailAt(LineOf(bytes, invalid), "the text is not UTF-8");
        }
        text_ = std::string(bytes);
    }

    void SplitLines() {
        std::string_view rest = text_;
        while (true) {
            const std::size_t end = rest.find('\n');
            std::string_view line = rest.substr(0, end);
            if (line.ends_with('\r')) {
                line.remove_suffix(1);
            }
            lines_.push_back(line);
            if (end == std::string_view::npos) {
                break;
            }
            rest.remove_prefix(end + 1);
            if (rest.empty()) {
                break;  // the line end of the last line starts no new line
            }
        }
        for (index_ = 0; index_ < lines_.size(); ++index_) {
            if (lines_[index_].find('\0') != std::string_view::npos) {
                Fail("a NUL character");
            }
            if (lines_[index_].find('\r') != std::string_view::npos) {
                Fail("a carriage return inside the line");
            }
        }
    }

    void CheckHeader() {
        index_ = 0;
        const std::string_view header = TrimBlanks(lines_[0]);
        if (header == kHeader) {
            regedit4_ = false;
        } else if (header == kHeader4) {
            regedit4_ = true;
        } else {
            Fail("not a registry file: the first line must be \"" + std::string(kHeader) +
                 "\" or \"" + std::string(kHeader4) + "\"");
        }
    }

    RegOperation ReadSection(std::string_view line) {
        const std::size_t close = line.rfind(']');
        if (close == std::string_view::npos) {
            Fail("the key line " + Quoted(line) + " has no closing ']'");
        }
        if (!TrimBlanks(line.substr(close + 1)).empty()) {
            Fail("unexpected text after the key: " + Quoted(line.substr(close + 1)));
        }
        std::string_view path = line.substr(1, close - 1);
        RegOperation operation;
        operation.line = LineNumber();
        operation.kind = RegOperation::Kind::OpenKey;
        if (path.starts_with('-')) {
            operation.kind = RegOperation::Kind::DeleteKey;
            path.remove_prefix(1);
        }
        while (path.ends_with('\\')) {
            path.remove_suffix(1);
        }
        const std::size_t separator = path.find('\\');
        const std::string_view hive = path.substr(0, separator);
        const std::optional<RegHive> known = RegHiveFromName(hive);
        if (known) {
            operation.hive = *known;
        }
        if (!known) {
            // A misspelt hive is refused: skipping it would lose its keys unseen.
            Fail(Quoted(hive) +
                 " is not a hive: a key starts with HKEY_LOCAL_MACHINE (HKLM) or "
                 "HKEY_CLASSES_ROOT (HKCR)");
        }
        if (!RegHiveKept(*known)) {
            // As regedit does with a hive it cannot write: the section is
            // read and left out, and the import goes on.
            operation.skipped = true;
            warnings_.push_back(name_ + ", line " + std::to_string(LineNumber()) + ": [" +
                                std::string(path.substr(0, 200)) +
                                "] is skipped: " + std::string(hive) +
                                " is not kept in this registry, only HKEY_LOCAL_MACHINE and "
                                "HKEY_CLASSES_ROOT are");
        }
        if (separator != std::string_view::npos) {
            std::string_view rest = path.substr(separator + 1);
            while (true) {
                const std::size_t next = rest.find('\\');
                const std::string_view component = rest.substr(0, next);
                if (component.empty()) {
                    Fail("the key " + Quoted(path) + " has an empty name between two '\\'");
                }
                if (RegistryNameLength(component) > kMaxKeyNameLength) {
                    Fail("the key name " + Quoted(component) + " is longer than " +
                         std::to_string(kMaxKeyNameLength) + " characters");
                }
                if (operation.path.size() >= static_cast<std::size_t>(kMaxKeyDepth)) {
                    Fail("the key " + Quoted(path) + " lies more than " +
                         std::to_string(kMaxKeyDepth) + " levels deep");
                }
                operation.path.emplace_back(component);
                if (next == std::string_view::npos) {
                    break;
                }
                rest.remove_prefix(next + 1);
            }
        }
        if (operation.kind == RegOperation::Kind::DeleteKey && operation.path.empty()) {
            Fail("a hive cannot be deleted");
        }
        return operation;
    }

    // The text of a "quoted" string starting at line[pos]; pos ends past the
    // closing quote.
    std::string ReadQuoted(std::string_view line, std::size_t& pos) {
        std::string text;
        for (++pos; pos < line.size(); ++pos) {
            const char c = line[pos];
            if (c == '"') {
                ++pos;
                return text;
            }
            if (c == '\\') {
                if (pos + 1 >= line.size()) {
                    break;
                }
                const char escaped = line[pos + 1];
                if (escaped == '\\' || escaped == '"') {
                    text += escaped;
                    ++pos;
                } else {
                    text += c;  // not an escape: the backslash stands as written
                }
                continue;
            }
            text += c;
        }
        Fail("the quoted text " + Quoted(line.substr(0, pos)) + " has no closing quote");
    }

    RegOperation ReadValue(std::string_view line) {
        RegOperation operation;
        operation.line = LineNumber();
        std::size_t pos = 0;
        if (line.front() == '@') {
            pos = 1;
        } else {
            operation.name = ReadQuoted(line, pos);
            if (RegistryNameLength(operation.name) > kMaxValueNameLength) {
                Fail("the value name " + Quoted(operation.name) + " is longer than " +
                     std::to_string(kMaxValueNameLength) + " characters");
            }
        }
        std::string_view rest = TrimBlanksLeft(line.substr(pos));
        if (!rest.starts_with('=')) {
            Fail("'=' expected after the value name");
        }
        rest = TrimBlanks(rest.substr(1));
        if (rest == "-") {
            operation.kind = RegOperation::Kind::DeleteValue;
            return operation;
        }
        operation.kind = RegOperation::Kind::SetValue;
        if (rest.starts_with('"')) {
            std::size_t end = 0;
            operation.type = REG_SZ;
            operation.data = ReadQuoted(rest, end);
            operation.data += '\0';
            if (!TrimBlanks(rest.substr(end)).empty()) {
                Fail("unexpected text after the value: " + Quoted(rest.substr(end)));
            }
            return operation;
        }
        if (StartsWithIgnoringCase(rest, "dword:")) {
            const std::optional<uint32_t> number = ParseHex(rest.substr(6), 8);
            if (!number) {
                Fail("dword: takes 1 to 8 hex digits, not " + Quoted(rest.substr(6)));
            }
            operation.type = REG_DWORD;
            for (int shift = 0; shift < 32; shift += 8) {
                operation.data += static_cast<char>(*number >> shift & 0xFF);
            }
            return operation;
        }
        if (StartsWithIgnoringCase(rest, "hex:")) {
            operation.type = REG_BINARY;
            rest.remove_prefix(4);
        } else if (StartsWithIgnoringCase(rest, "hex(")) {
            const std::size_t close = rest.find(')');
            const std::optional<uint32_t> type = close == std::string_view::npos
                                                     ? std::nullopt
                                                     : ParseHex(rest.substr(4, close - 4), 8);
            if (!type || close + 1 >= rest.size() || rest[close + 1] != ':') {
                Fail("hex(N): takes a type of 1 to 8 hex digits, as in hex(2):, not " +
                     Quoted(rest));
            }
            operation.type = *type;
            rest.remove_prefix(close + 2);
        } else {
            Fail("unknown data " + Quoted(rest) +
                 "; a value is \"text\", dword:, hex:, hex(N): or -");
        }
        const int firstLine = LineNumber();
        std::string bytes = ReadHexList(rest);
        operation.data = StoredData(operation.type, std::move(bytes), firstLine);
        return operation;
    }

    // The bytes of a hex list that starts with text and goes on over the lines
    // that end in a backslash.
    std::string ReadHexList(std::string_view text) {
        std::string bytes;
        bool commaPending = false;  // the last byte read still needs its comma
        while (true) {
            text = TrimBlanksRight(text);
            const bool continued = text.ends_with('\\');
            if (continued) {
                text = TrimBlanksRight(text.substr(0, text.size() - 1));
            }
            text = TrimBlanksLeft(text);
            while (!text.empty()) {
                if (commaPending) {
                    Fail("a ',' is missing before " + Quoted(text));
                }
                const std::size_t comma = text.find(',');
                const std::string_view token = TrimBlanks(text.substr(0, comma));
                const std::optional<uint32_t> byte = ParseHex(token, 2);
                if (!byte) {
                    Fail(Quoted(token) + " is not a byte of one or two hex digits");
                }
                bytes += static_cast<char>(*byte);
                if (comma == std::string_view::npos) {
                    commaPending = true;
                    break;
                }
                text = TrimBlanksLeft(text.substr(comma + 1));
            }
            if (!continued) {
                return bytes;
            }
            // Comment lines may stand between the lines of a list, as
            // regedit allows; a blank line ends it.
            do {
                if (index_ + 1 >= lines_.size()) {
                    Fail("the file ends where the continued line goes on");
                }
                text = lines_[++index_];
            } while (TrimBlanksLeft(text).starts_with(';'));
            if (TrimBlanks(text).empty()) {
                return bytes;
            }
        }
    }

    // Data of a string type held as UTF-16LE (8-bit in REGEDIT4 files) in the
    // file, as the UTF-8 the store keeps; other data as it is.
    std::string StoredData(uint32_t type, std::string bytes, int line) const {
        if (!IsStringType(type)) {
            return bytes;
        }
        if (regedit4_) {
            return Windows1252ToUtf8(bytes);
        }
        std::size_t failedAt = 0;
        std::optional<std::string> text = Utf16LeToUtf8(bytes, failedAt);
        if (!text) {
            FailAt(line, bytes.size() % 2 != 0
                             ? "the text of a hex(" + std::to_string(type) +
                                   ") value is UTF-16LE and needs an even number of bytes"
                             : "the UTF-16LE text of the value has a surrogate without its "
                               "other half");
        }
        return std::move(*text);
    }

    std::string name_;
    std::string text_;
    std::vector<std::string_view> lines_;
    std::size_t index_ = 0;
    bool regedit4_ = false;
    std::vector<std::string> warnings_;
};

// ---- Writing ---------------------------------------------------------------

std::string Escaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c == '\\' || c == '"') {
            out += '\\';
        }
        out += c;
    }
    return out;
}

bool HasLineBreakOrNul(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// A REG_SZ that reads back the same from "text": one NUL at the end only.
bool IsQuotable(std::string_view data) {
    return data.ends_with('\0') && !HasLineBreakOrNul(data.substr(0, data.size() - 1));
}

std::string HexType(uint32_t type) {
    if (type == REG_BINARY) {
        return "hex:";
    }
    std::ostringstream text;
    text << "hex(" << std::hex << type << "):";
    return text.str();
}

// prefix followed by the hex list of bytes, wrapped as regedit wraps it.
std::string HexLine(const std::string& prefix, uint32_t type, std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string line = prefix + HexType(type);
    std::size_t column = Utf16Length(line);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        line += kDigits[byte >> 4];
        line += kDigits[byte & 0x0F];
        if (i + 1 == bytes.size()) {
            break;
        }
        line += ',';
        column += 3;
        if (column >= kHexWrapColumn) {
            line += "\\\r\n";
            line += kHexIndent;
            column = kHexIndent.size();
        }
    }
    return line;
}

[[noreturn]] void FailExport(const std::string& what) {
    throw MakeError(kWriteError, kSource, what + " cannot be written to a .reg file");
}

// The line (or wrapped lines) of one value of the key at path.
std::string ValueLine(const RegValue& value, const std::string& path) {
    if (HasLineBreakOrNul(value.name) || !IsValidUtf8(value.name)) {
        FailExport("the value " + Quoted(value.name) + " of " + path +
                   ", whose name has a line break or is not UTF-8,");
    }
    const std::string prefix = value.name.empty() ? "@=" : "\"" + Escaped(value.name) + "\"=";
    if (!IsStringType(value.type)) {
        if (value.type == REG_DWORD && value.data.size() == 4) {
            static constexpr char kDigits[] = "0123456789abcdef";
            std::string line = prefix + "dword:";
            for (int i = 3; i >= 0; --i) {
                const auto byte = static_cast<unsigned char>(value.data[i]);
                line += kDigits[byte >> 4];
                line += kDigits[byte & 0x0F];
            }
            return line;
        }
        return HexLine(prefix, value.type, value.data);
    }
    if (value.type == REG_SZ && IsQuotable(value.data) && IsValidUtf8(value.data)) {
        const std::string_view text(value.data.data(), value.data.size() - 1);
        return prefix + "\"" + Escaped(text) + "\"";
    }
    const std::optional<std::string> utf16 = Utf8ToUtf16Le(value.data);
    if (!utf16) {
        FailExport("the value " + Quoted(value.name) + " of " + path +
                   ", whose text is not UTF-8,");
    }
    return HexLine(prefix, value.type, *utf16);
}

}  // namespace

bool IsValidUtf8(std::string_view text) noexcept {
    return FirstInvalidUtf8(text) == std::string_view::npos;
}

std::string EncodeUtf16Le(std::string_view text) {
    return Utf8ToUtf16Le(text).value_or(std::string());
}

RegFile::RegFile() : RegFile(RegistryStore::Open()) {}

RegFile::RegFile(std::shared_ptr<RegistryStore> store) : store_(std::move(store)) {}

void RegFile::Import(const std::string& path) {
    std::string bytes;
    try {
        bytes = ReadInputFile(path, kMaxRegFileBytes, kFileError, kSource);
    } catch (const Error& error) {
        throw MakeError(kFileError, kSource, path + " cannot be read: " + error.Description());
    }
    ImportBytes(bytes, path);
}

void RegFile::ImportBytes(std::string_view bytes, const std::string& name) {
    warnings_.clear();
    RegFileReader reader(name, bytes);
    const std::vector<RegOperation> operations = reader.Read();
    warnings_ = reader.Warnings();
    RegistryStore& store = *store_;
    int line = 0;
    try {
        store.Transaction([&] {
            // The reader puts an open key before every value.
            RegKeyId current = 0;
            // The keys of the last section opened, from its hive down: the
            // next section, usually below it, starts where the two part, so
            // the import takes time in proportion to the file, not to the
            // depth of its keys times their number.
            std::optional<RegHive> openedHive;
            std::vector<std::pair<std::string, RegKeyId>> opened;
            for (const RegOperation& operation : operations) {
                line = operation.line;
                const RegKeyId root = RegistryStore::Root(operation.hive);
                switch (operation.kind) {
                    case RegOperation::Kind::OpenKey: {
                        std::size_t shared = 0;
                        if (openedHive == operation.hive) {
                            while (shared < opened.size() && shared < operation.path.size() &&
                                   opened[shared].first ==
                                       FoldRegistryName(operation.path[shared])) {
                                ++shared;
                            }
                        }
                        opened.resize(shared);
                        openedHive = operation.hive;
                        current = shared > 0 ? opened.back().second : root;
                        for (std::size_t i = shared; i < operation.path.size(); ++i) {
                            current = store.CreateKey(current, operation.path[i]);
                            opened.emplace_back(FoldRegistryName(operation.path[i]), current);
                        }
                        break;
                    }
                    case RegOperation::Kind::DeleteKey: {
                        std::string path;
                        for (const std::string& component : operation.path) {
                            path += component + "\\";
                        }
                        if (const std::optional<RegKeyId> key = store.FindKey(root, path)) {
                            store.DeleteKey(*key);
                        }
                        current = 0;
                        opened.clear();  // the deleted keys may have been among them
                        break;
                    }
                    case RegOperation::Kind::SetValue:
                        store.SetValue(current, operation.name, operation.type, operation.data);
                        break;
                    case RegOperation::Kind::DeleteValue:
                        store.DeleteValue(current, operation.name);
                        break;
                }
            }
        });
    } catch (const Error& error) {
        // Line 0: the store failed before the first line was applied (it
        // cannot be opened, or the transaction cannot begin).
        throw Error(error.Number(), error.Source(),
                    line == 0
                        ? name + " cannot be imported: " + error.Description()
                        : name + ", line " + std::to_string(line) + ": " + error.Description());
    }
}

std::string RegFile::KeyPath(RegKeyId key, RegHive hive) {
    if (!store_->KeyExists(key)) {
        throw MakeError(RunTimeError::KeyNotOpened, kSource, "the key to export no longer exists");
    }
    const RegKeyId classes = RegistryStore::Root(RegHive::ClassesRoot);
    std::vector<std::string> names;
    std::optional<RegKeyId> at = key;
    for (; at && !(hive == RegHive::ClassesRoot && *at == classes); at = store_->Parent(*at)) {
        names.push_back(store_->KeyName(*at));
    }
    std::string path = at ? std::string(RegHiveName(RegHive::ClassesRoot)) : std::string();
    for (auto name = names.rbegin(); name != names.rend(); ++name) {
        path += (path.empty() ? "" : "\\") + *name;
    }
    return path;
}

std::string RegFile::ExportBytes(RegKeyId key, RegHive hive) {
    std::string text = std::string(kHeader) + "\r\n\r\n";
    // Pre-order without recursion, so no depth of keys can exhaust the stack.
    std::vector<std::pair<RegKeyId, std::string>> pending{{key, KeyPath(key, hive)}};
    while (!pending.empty()) {
        const auto [id, path] = std::move(pending.back());
        pending.pop_back();
        if (HasLineBreakOrNul(path) || !IsValidUtf8(path)) {
            FailExport("the key " + Quoted(path) +
                       ", whose name has a line break or is not UTF-8,");
        }
        text += "[" + path + "]\r\n";
        for (const RegValue& value : store_->Values(id)) {
            text += ValueLine(value, path) + "\r\n";
        }
        text += "\r\n";
        const std::vector<RegSubkey> subkeys = store_->Subkeys(id);
        for (auto subkey = subkeys.rbegin(); subkey != subkeys.rend(); ++subkey) {
            pending.emplace_back(subkey->id, path + "\\" + subkey->name);
        }
    }
    // Every name and text was checked to be UTF-8 on the way.
    return "\xFF\xFE" + Utf8ToUtf16Le(text).value_or(std::string());
}

void RegFile::Export(RegKeyId key, const std::string& path, RegHive hive) {
    const std::string bytes = ExportBytes(key, hive);
    AtomicFile::WriteFile(path, bytes, kWriteError, kSource);
}

}  // namespace vantreel
