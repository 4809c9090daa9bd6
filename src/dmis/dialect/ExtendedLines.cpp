#include "dmis/dialect/ExtendedLines.h"

#include "dmis/dialect/Windows1252.h"
#include "shared/Text.h"

#include <array>

namespace vantreel {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsLetter(unsigned char ch) noexcept {
    return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || ch >= 0x80;
}
bool IsNameChar(unsigned char ch) noexcept {
    return IsLetter(ch) || (ch >= '0' && ch <= '9') || ch == '_';
}
bool IsBlank(char ch) noexcept {
    return ch == ' ' || ch == '\t';
}
std::string_view TrimSpaces(std::string_view text) noexcept {
    return Trim(text, kBlanks);
}
unsigned char At(std::string_view text, std::size_t i) noexcept {
    return i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
}

constexpr std::array<std::string_view, 11> kDottedWords = {"EQ",  "NE", "LT",  "LE",   "GT",   "GE",
                                                           "AND", "OR", "NOT", "TRUE", "FALSE"};

// Whether a line that is no comment can be a statement at all: a jump label
// "(NAME)", or a name followed by "/", "(", "=", "[", a comment or nothing.
// Anything else ("//////", "Mettre en place l'échelle") is free text.
bool IsFreeText(std::string_view line) noexcept {
    if (line.front() == '(') {
        return false;
    }
    if (!IsLetter(static_cast<unsigned char>(line.front())) && line.front() != '_') {
        return true;
    }
    std::size_t i = 1;
    while (IsNameChar(At(line, i))) {
        ++i;
    }
    while (IsBlank(static_cast<char>(At(line, i)))) {
        ++i;
    }
    const unsigned char next = At(line, i);
    return !(next == 0 || next == '/' || next == '(' || next == '=' || next == '[' ||
             (next == '$' && At(line, i + 1) == '$'));
}

// What one pass over a statement line finds outside its strings.
struct LineFacts {
    std::size_t comment = std::string_view::npos;  // where a trailing "$$" starts
    std::size_t second = std::string_view::npos;   // where a second statement starts
    bool beyondAscii = false;                      // a byte above 127 in a name
    bool spacedOperator = false;                   // a blank right after a "."
    bool unbalanced = false;     // a quote without its partner, or more ")" than "("
    bool adjacentLabel = false;  // a name right after a ")" that closes the outermost "("
};

// After a blank at depth 0 behind the first "/": a name followed by "/", or
// a label "NAME(...)" followed by "=", starts a second statement.
bool StartsStatement(std::string_view line, std::size_t i) noexcept {
    if (!IsLetter(At(line, i))) {
        return false;
    }
    while (IsNameChar(At(line, i))) {
        ++i;
    }
    std::size_t k = i;
    while (IsBlank(static_cast<char>(At(line, k)))) {
        ++k;
    }
    if (At(line, k) == '/') {
        return true;
    }
    if (At(line, i) != '(') {
        return false;
    }
    while (i < line.size() && line[i] != ')') {
        if (line[i] == '\'' || line[i] == ',') {
            return false;
        }
        ++i;
    }
    ++i;
    while (IsBlank(static_cast<char>(At(line, i)))) {
        ++i;
    }
    return At(line, i) == '=' && At(line, i + 1) != '=';
}

// The characters Examine looks at; letters, digits and commas, most of a
// line, are passed over.
constexpr std::array<bool, 256> kExamined = [] {
    std::array<bool, 256> examined{};
    for (const char ch : std::string_view("'$()[]/. \t")) {
        examined[static_cast<unsigned char>(ch)] = true;
    }
    for (std::size_t ch = 0x80; ch < examined.size(); ++ch) {
        examined[ch] = true;
    }
    return examined;
}();

LineFacts Examine(std::string_view line) noexcept {
    LineFacts facts;
    bool inString = false;
    bool afterSlash = false;
    int depth = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char ch = line[i];
        if (!kExamined[static_cast<unsigned char>(ch)]) {
            continue;
        }
        if (ch == '\'') {
            // A string is passed over whole.
            const std::size_t close = line.find('\'', i + 1);
            if (close == std::string_view::npos) {
                inString = true;
                break;
            }
            i = close;
            continue;
        }
        switch (ch) {
            case '$':
                if (At(line, i + 1) == '$') {
                    facts.comment = i;
                    facts.unbalanced = depth < 0;
                    return facts;
                }
                break;
            case '(':
            case '[':
                ++depth;
                break;
            case ')':
            case ']':
                --depth;
                if (depth == 0 && ch == ')') {
                    std::size_t k = i + 1;
                    while (IsBlank(static_cast<char>(At(line, k)))) {
                        ++k;
                    }
                    facts.adjacentLabel = facts.adjacentLabel || IsLetter(At(line, k));
                }
                break;
            case '/':
                afterSlash = afterSlash || depth == 0;
                break;
            case '.':
                facts.spacedOperator =
                    facts.spacedOperator || IsBlank(static_cast<char>(At(line, i + 1)));
                break;
            case ' ':
            case '\t':
                if (facts.second == std::string_view::npos && afterSlash && depth == 0 && i > 0 &&
                    !IsBlank(line[i - 1])) {
                    const char before = line[i - 1];
                    std::size_t k = i;
                    while (IsBlank(static_cast<char>(At(line, k)))) {
                        ++k;
                    }
                    if (before != ',' && before != '/' && before != '(' && before != '=' &&
                        before != '+' && before != '-' && before != '*' &&
                        StartsStatement(line, k)) {
                        facts.second = k;
                    }
                }
                break;
            default:
                if (static_cast<unsigned char>(ch) >= 0x80) {
                    facts.beyondAscii = true;
                }
                break;
        }
    }
    facts.unbalanced = inString || depth < 0;
    return facts;
}

// ". EQ ." and the like without their blanks; names the first such operator.
std::string CloseDottedOperators(std::string_view line, std::string& named) {
    std::string out;
    out.reserve(line.size());
    bool inString = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char ch = line[i];
        if (ch == '\'') {
            inString = !inString;
        }
        if (inString || ch != '.') {
            out.push_back(ch);
            continue;
        }
        std::size_t k = i + 1;
        bool blanks = false;
        while (IsBlank(static_cast<char>(At(line, k)))) {
            ++k;
            blanks = true;
        }
        const std::size_t start = k;
        while ((At(line, k) >= 'A' && At(line, k) <= 'Z') ||
               (At(line, k) >= 'a' && At(line, k) <= 'z')) {
            ++k;
        }
        const std::string letters = ToUpperAscii(line.substr(start, k - start));
        while (IsBlank(static_cast<char>(At(line, k)))) {
            ++k;
            blanks = true;
        }
        bool known = false;
        for (const std::string_view word : kDottedWords) {
            known = known || letters == word;
        }
        if (!known || !blanks || At(line, k) != '.') {
            out.push_back(ch);
            continue;
        }
        if (named.empty()) {
            named = "." + letters + ".";
        }
        out += "." + letters + ".";
        i = k;
    }
    return out;
}

}  // namespace

ExtendedLines::ExtendedLines(std::string_view text, DialectWarnings& warnings)
    : warnings_(warnings), source_(text) {
    utf8_ = HasBytesBeyondAscii(text) && IsUtf8(text);
    // Physical lines end at CR, CR LF or LF, as PhysicalLineReader splits
    // them; they are read in place, copied only when rewritten.
    std::size_t position = text.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
    int32_t number = 0;
    bool toldUtf8 = false;
    while (position < text.size()) {
        std::size_t end = position;
        while (end < text.size() && text[end] != '\n' && text[end] != '\r') {
            ++end;
        }
        std::string_view physical = text.substr(position, end - position);
        position = end + (end < text.size() && text[end] == '\r' && end + 1 < text.size() &&
                                  text[end + 1] == '\n'
                              ? 2
                              : 1);
        ++number;
        if (utf8_ && HasBytesBeyondAscii(physical)) {
            if (!toldUtf8) {
                warnings_.Add(number, kReadAsUtf8);
                toldUtf8 = true;
            }
            scratch_.clear();
            if (CopyUtf8AsWindows1252(physical, scratch_) > 0) {
                warnings_.Add(number, kNoWindows1252);
            }
            physical = scratch_;
        }
        Physical(physical, number);
    }
    if (continuing_) {
        continuing_ = false;
        Logical(TrimSpaces(joined_), number);
    }
    if (droppedLines_ > 0) {
        warnings_.Add(firstDropped_, kTextAfterEndfil, std::to_string(droppedLines_));
    }
    // A file without any statement stays without ENDFIL: nothing to convert.
    if (!endfilSeen_ && anyStatement_) {
        warnings_.Add(number, kEndfilSupplied);
        Emit("ENDFIL", {}, number);
    }
}

void ExtendedLines::Physical(std::string_view line, int32_t number) {
    if (continuing_ && TrimSpaces(line).empty()) {
        // "...,DAT(C),$" and then an empty line: the statement ends here.
        continuing_ = false;
        std::string_view statement = TrimSpaces(joined_);
        if (!statement.empty() && statement.back() == ',') {
            statement = TrimSpaces(statement.substr(0, statement.size() - 1));
            warnings_.Add(number, kContinuationToBlank);
        }
        Logical(statement, number);
        return;
    }
    if (continuing_) {
        // A generator that indents continued lines splits names with it
        // ("FA(A02$" and "    F5)"): the indentation is not part of the name.
        // Elsewhere the line is joined as it stands, blanks and all.
        const std::string_view rest = TrimLeft(line, kBlanksAndTabs);
        if (rest.size() < line.size() && !joined_.empty() &&
            IsNameChar(static_cast<unsigned char>(joined_.back())) && IsNameChar(At(rest, 0))) {
            warnings_.Add(number, kIndentedContinuation);
            line = rest;
        }
        joined_.append(line);
        line = joined_;
    }
    const std::string_view trimmed = TrimSpaces(line);
    const bool continues = trimmed.size() == 1
                               ? trimmed == "$"
                               : trimmed.size() >= 2 && trimmed.back() == '$' && trimmed != "$$";
    if (continues) {
        // Keep the trimmed line without its "$"; the next line is appended.
        const std::string kept(trimmed.substr(0, trimmed.size() - 1));
        joined_ = kept;
        continuing_ = true;
        return;
    }
    continuing_ = false;
    Logical(trimmed, number);
}

void ExtendedLines::Logical(std::string_view line, int32_t number) {
    lineNumber_ = number;
    if (line.empty()) {
        return;
    }
    if (line.starts_with("$$")) {
        Emit(line, {}, number);
        return;
    }
    if (endfilSeen_) {
        if (droppedLines_++ == 0) {
            firstDropped_ = number;
        }
        return;
    }
    if (IsFreeText(line)) {
        warnings_.Add(number, kFreeText);
        Emit("$$ ", line, number);
        return;
    }
    LineFacts facts = Examine(line);
    std::string_view code = line;
    std::string_view comment;
    if (facts.comment != std::string_view::npos) {
        comment = line.substr(facts.comment);
        code = TrimSpaces(line.substr(0, facts.comment));
        warnings_.Add(number, kTrailingComment);
    }
    if (facts.beyondAscii) {
        warnings_.Add(number, kNameBeyondAscii);
    }
    std::string balanced;
    if (facts.unbalanced && Balance(code, balanced)) {
        code = balanced;
        facts = Examine(code);
    }
    std::string separated;
    if (facts.adjacentLabel && SupplyCommas(code, separated)) {
        code = separated;
        facts = Examine(code);
    }
    std::string closed;
    if (facts.spacedOperator) {
        std::string named;
        closed = CloseDottedOperators(code, named);
        if (!named.empty()) {
            warnings_.Add(number, kBlanksInOperator, named);
            code = closed;
            facts = Examine(code);
        }
    }
    while (facts.second != std::string_view::npos && facts.second < code.size()) {
        warnings_.Add(number, kTwoStatements);
        Statement(TrimSpaces(code.substr(0, facts.second)), number);
        code = code.substr(facts.second);
        facts = Examine(code);
    }
    Statement(TrimSpaces(code), number);
    if (!comment.empty()) {
        Emit(comment, {}, number);
    }
}

bool ExtendedLines::Balance(std::string_view code, std::string& out) {
    std::size_t quotes = 0;
    int depth = 0;
    bool inString = false;
    for (const char ch : code) {
        if (ch == '\'') {
            ++quotes;
            inString = !inString;
        } else if (!inString) {
            depth += ch == '(' ? 1 : ch == ')' ? -1 : 0;
        }
    }
    bool changed = false;
    out.assign(code);
    if (quotes % 2 == 1) {
        // TEXT/OPER, PLACE SENSOR' has lost the quote that opens the text:
        // it opens after the separator before the text. A text never closed
        // is closed at the end of the line.
        const std::size_t last = out.rfind('\'');
        const std::size_t separator =
            last + 1 == out.size() ? out.find_last_of(",/", last) : std::string::npos;
        if (separator != std::string::npos) {
            std::size_t start = separator + 1;
            while (start < last && IsBlank(out[start])) {
                ++start;
            }
            out.insert(start, 1, '\'');
        } else {
            out.push_back('\'');
        }
        warnings_.Add(lineNumber_, kUnbalancedQuote);
        changed = true;
    } else if (depth < 0) {
        // ((BB-CC) * EE) ** AA): a surplus ")" at the end is dropped.
        std::size_t end = out.size();
        while (depth < 0 && end > 0 && out[end - 1] == ')') {
            --end;
            ++depth;
        }
        if (end < out.size()) {
            out.erase(end);
            warnings_.Add(lineNumber_, kSurplusParenthesis);
            changed = true;
        }
    }
    return changed;
}

bool ExtendedLines::SupplyCommas(std::string_view code, std::string& out) {
    bool inString = false;
    int depth = 0;
    bool changed = false;
    out.clear();
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char ch = code[i];
        out.push_back(ch);
        if (ch == '\'') {
            inString = !inString;
        }
        if (inString) {
            continue;
        }
        depth += ch == '(' ? 1 : ch == ')' ? -1 : 0;
        if (ch != ')' || depth != 0) {
            continue;
        }
        // FA(E02F4)FA(F02F1): a label right after a label, without a comma.
        std::size_t k = i + 1;
        while (IsBlank(static_cast<char>(At(code, k)))) {
            ++k;
        }
        if (!IsLetter(At(code, k))) {
            continue;
        }
        while (IsNameChar(At(code, k))) {
            ++k;
        }
        if (At(code, k) == '(') {
            out.push_back(',');
            if (!changed) {
                warnings_.Add(lineNumber_, kCommaSupplied);
            }
            changed = true;
        }
    }
    return changed;
}

void ExtendedLines::Statement(std::string_view code, int32_t number) {
    if (code.empty()) {
        return;
    }
    if (endfilSeen_) {
        if (droppedLines_++ == 0) {
            firstDropped_ = number;
        }
        return;
    }
    anyStatement_ = true;
    endfilSeen_ = code.size() == 6 && ToUpperAscii(code) == "ENDFIL";
    Emit(code, {}, number);
}

void ExtendedLines::Emit(std::string_view first, std::string_view second, int32_t number) {
    // A line as the file holds it stays where it is.
    if (second.empty() && first.data() >= source_.data() &&
        first.data() + first.size() <= source_.data() + source_.size()) {
        lines_.push_back({number, static_cast<std::size_t>(first.data() - source_.data()),
                          static_cast<uint32_t>(first.size()), true});
        return;
    }
    const std::size_t offset = text_.size();
    text_.append(first);
    text_.append(second);
    lines_.push_back({number, offset, static_cast<uint32_t>(text_.size() - offset), false});
}

}  // namespace vantreel
