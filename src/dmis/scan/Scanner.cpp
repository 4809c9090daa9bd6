#include "dmis/scan/Scanner.h"
#include "shared/Text.h"

#include "dmis/dialect/ExtendedLines.h"
#include "dmis/model/CComments.h"
#include "dmis/model/CProgram.h"
#include "dmis/scan/LabelTypes.h"
#include "dmis/scan/PhysicalLineReader.h"
#include "shared/InputFile.h"
#include "shared/RunTimeError.h"
#include "vantreel/Error.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>
#include <optional>

namespace vantreel {
namespace {

constexpr int32_t kInt32Max = std::numeric_limits<int32_t>::max();

// Character classes, one bit each, in one table.
enum CharClass : uint8_t {
    kLetter = 1,        // A-Z, a-z
    kDigit = 2,         // 0-9
    kUnderscore = 4,    // _
    kLabelPunct = 8,    // - and ., which continue a word after a label type
    kBeyondAscii = 16,  // bytes above 127, letters in the extended dialect
    kLowerCase = 32,    // a-z, besides kLetter
};

constexpr std::array<uint8_t, 256> MakeCharClasses() {
    std::array<uint8_t, 256> classes{};
    for (int ch = 0; ch < 256; ++ch) {
        uint8_t c = 0;
        if (ch >= 'A' && ch <= 'Z') {
            c = kLetter;
        } else if (ch >= 'a' && ch <= 'z') {
            c = kLetter | kLowerCase;
        } else if (ch >= '0' && ch <= '9') {
            c = kDigit;
        } else if (ch == '_') {
            c = kUnderscore;
        } else if (ch == '-' || ch == '.') {
            c = kLabelPunct;
        } else if (ch >= 0x80) {
            c = kBeyondAscii;
        }
        classes[static_cast<std::size_t>(ch)] = c;
    }
    return classes;
}

constexpr std::array<uint8_t, 256> kCharClasses = MakeCharClasses();

// The tokens that are one character and nothing else, whatever follows.
struct SingleCharToken {
    char ch;
    int16_t kind;
};
constexpr SingleCharToken kSingleCharTokens[] = {
    {'(', tkLeftParen},   {')', tkRightParen},   {'/', tkSlash},
    {',', tkComma},       {'=', tkEquals},       {'+', tkPlus},
    {'[', tkLeftBracket}, {']', tkRightBracket}, {'"', tkDoubleQuote},
};

// kSingleCharTokens by character; -1 for every other character.
constexpr std::array<int16_t, 256> MakeSingleCharKinds() {
    std::array<int16_t, 256> kinds{};
    kinds.fill(-1);
    for (const SingleCharToken& token : kSingleCharTokens) {
        kinds[static_cast<unsigned char>(token.ch)] = token.kind;
    }
    return kinds;
}
constexpr std::array<int16_t, 256> kSingleCharKinds = MakeSingleCharKinds();

uint8_t ClassOf(unsigned char ch) noexcept {
    return kCharClasses[ch];
}
bool IsAlpha(unsigned char ch) noexcept {
    return (ClassOf(ch) & kLetter) != 0;
}
bool IsDigit(unsigned char ch) noexcept {
    return ch >= '0' && ch <= '9';
}

// DMIS lines are trimmed of the space character only, not of tabs.
std::string_view TrimSpaces(std::string_view text) noexcept {
    const char* begin = text.data();
    const char* end = begin + text.size();
    while (begin != end && *begin == ' ') {
        ++begin;
    }
    while (end != begin && end[-1] == ' ') {
        --end;
    }
    return std::string_view(begin, static_cast<std::size_t>(end - begin));
}

constexpr uint64_t kPowersOfTen[] = {1,
                                     10,
                                     100,
                                     1000,
                                     10000,
                                     100000,
                                     1000000,
                                     10000000,
                                     100000000,
                                     1000000000,
                                     10000000000,
                                     100000000000,
                                     1000000000000,
                                     10000000000000,
                                     100000000000000,
                                     1000000000000000};

// The dotted operators, by their letters.
struct DottedOperator {
    std::string_view letters;
    int16_t kind;
};

constexpr DottedOperator kDottedOperators[] = {
    {"EQ", tkEq},   {"NE", tkNe},     {"LT", tkLt},       {"LE", tkLe},
    {"GT", tkGt},   {"GE", tkGe},     {"AND", tkAnd},     {"OR", tkOr},
    {"NOT", tkNot}, {"TRUE", tkTrue}, {"FALSE", tkFalse},
};

}  // namespace

// Where the tokens come from when they are made as the cursor reaches them:
// the file or text, its physical lines, and a line being joined.
struct Scanner::Source {
    InputFile file;
    std::optional<PhysicalLineReader> reader;
    // The extended dialect: the whole text and its prepared lines.
    std::string text;
    std::optional<ExtendedLines> lines;
    std::size_t nextLine = 0;
    CProgram* program = nullptr;
    std::string name;
    std::string joined;
    bool continuing = false;
};

Scanner::Scanner() = default;
Scanner::~Scanner() = default;

bool Scanner::ScanFile(const std::string& path, CProgram& objProgram) {
    return OpenFile(path, objProgram) && FinishScan(true);
}

std::unique_ptr<Scanner::Source> Scanner::NewSource(CProgram& objProgram, const std::string& name) {
    state_ = Start;
    pending_ = 0;
    failed_ = false;
    source_.reset();
    auto source = std::make_unique<Source>();
    source->program = &objProgram;
    source->name = name;
    return source;
}

bool Scanner::ScanText(std::string_view text, CProgram& objProgram, const std::string& name) {
    source_ = NewSource(objProgram, name);
    source_->reader.emplace(text);
    return FinishScan(true);
}

bool Scanner::OpenFile(const std::string& path, CProgram& objProgram) {
    std::unique_ptr<Source> source = NewSource(objProgram, path);
    try {
        source->file =
            OpenInputFile(path, kMaxDmisFileBytes, RunTimeError::PathFileAccessError, "Scanner");
        source->reader.emplace(source->file.get());
    } catch (const Error& error) {
        lastError_ = "ParseFile error on '" + path + "', " + error.Description();
        return false;
    }
    source_ = std::move(source);
    return true;
}

void Scanner::OpenExtendedText(std::string text, CProgram& objProgram, const std::string& name,
                               DialectWarnings& warnings) {
    std::unique_ptr<Source> source = NewSource(objProgram, name);
    source->text = std::move(text);
    source->lines.emplace(source->text, warnings);
    source_ = std::move(source);
}

bool Scanner::FinishScan(bool keepTokens) {
    while (source_) {
        ScanUpTo(keepTokens || count_ > kInt32Max - kTokenBlock ? kInt32Max : count_ + kTokenBlock);
        if (!keepTokens) {
            ReleaseTokensBefore(count_ + 1);
        }
    }
    return !failed_;
}

void Scanner::ScanUpTo(int32_t position) noexcept {
    try {
        while (source_ && count_ < position) {
            if (!ScanNextLine()) {
                source_.reset();
            }
        }
        return;
    } catch (const Error& error) {
        lastError_ = "ParseFile error on '" + source_->name + "', " + error.Description();
    } catch (const std::bad_alloc&) {
        lastError_ = "ParseFile error on '" + source_->name + "', not enough memory for its tokens";
    }
    failed_ = true;
    source_.reset();
}

bool Scanner::ScanNextLine() {
    // Lines ending in "$" are joined, the next line appended to them; every
    // other line is scanned where the reader holds it.
    Source& source = *source_;
    if (source.lines) {
        if (source.nextLine == source.lines->Count()) {
            return false;
        }
        const std::size_t i = source.nextLine++;
        lineNum_ = source.lines->Number(i);
        ScanLogicalLine(source.lines->Text(i), *source.program);
        return true;
    }
    std::string_view physical;
    while (source.reader->NextLine(physical)) {
        if (lineNum_ == kInt32Max) {
            throw MakeError(RunTimeError::Overflow, "Scanner",
                            "the file has more than 2147483647 lines");
        }
        ++lineNum_;
        std::string_view trimmed;
        if (source.continuing) {
            source.joined.append(physical);
            trimmed = TrimSpaces(source.joined);
        } else {
            trimmed = TrimSpaces(physical);
        }
        if (IsContinuation(trimmed)) {
            // Keep the trimmed line without its "$"; the next line is appended.
            trimmed.remove_suffix(1);
            if (source.continuing) {
                const auto begin = static_cast<std::size_t>(trimmed.data() - source.joined.data());
                source.joined.erase(begin + trimmed.size());
                source.joined.erase(0, begin);
            } else {
                source.joined.assign(trimmed);
            }
            source.continuing = true;
            continue;
        }
        source.continuing = false;
        ScanLogicalLine(trimmed, *source.program);
        return true;
    }
    // A file whose last line ends in "$": what was joined is still a whole
    // line, so it is treated like any other, last token and comment included.
    if (source.continuing) {
        source.continuing = false;
        ScanLogicalLine(TrimSpaces(source.joined), *source.program);
        return true;
    }
    return false;
}

bool Scanner::ScanLines(const ExtendedLines& lines, CProgram& objProgram, const std::string& name) {
    state_ = Start;
    pending_ = 0;
    try {
        for (std::size_t i = 0; i < lines.Count(); ++i) {
            lineNum_ = lines.Number(i);
            ScanLogicalLine(lines.Text(i), objProgram);
        }
        return true;
    } catch (const Error& error) {
        lastError_ = "ParseFile error on '" + name + "', " + error.Description();
    } catch (const std::bad_alloc&) {
        lastError_ = "ParseFile error on '" + name + "', not enough memory for its tokens";
    }
    return false;
}

void Scanner::ScanLogicalLine(std::string_view line, CProgram& objProgram) {
    if (line.empty()) {
        return;
    }
    if (line.starts_with("$$")) {
        auto comment = std::make_unique<CComment>();
        comment->SetComment(std::string(line));
        comment->SetLineNumber(lineNum_);
        if (!objProgram.objComments) {
            objProgram.objComments = std::make_unique<CComments>();
        }
        objProgram.objComments->AddComment(std::move(comment));
        return;
    }
    ScanLine(line);
}

bool Scanner::IsContinuation(std::string_view line) noexcept {
    const std::string_view t = TrimSpaces(line);
    if (t.size() == 1) {
        return t == "$";
    }
    return t.size() >= 2 && t.back() == '$' && t != "$$";
}

// Feeds the line, followed by one blank that ends its last token, to the
// lexer. The common tokens are taken whole; whatever else the line holds goes
// through the lexer character by character.
void Scanner::ScanLine(std::string_view line) {
    const char* const begin = line.data();
    const char* const end = begin + line.size();
    std::size_t r = line.size();
    while (r > 0 && line[r - 1] == ' ') {
        --r;
    }
    const char* p = begin;
    while (p != end) {
        if (state_ == Start) {
            const char* const stop = LexToken(p, end);
            if (stop != p) {
                p = stop;
                continue;
            }
        } else if (state_ == InWord || state_ == InFraction) {
            // The letters of a word and the digits of a fraction only grow the
            // token: a run of them is taken in one step.
            const char* q = p;
            if (state_ == InWord) {
                const uint8_t mask = WordRunMask();
                while (q != end && (ClassOf(static_cast<unsigned char>(*q)) & mask) != 0) {
                    ++q;
                }
                text_.append(p, q);
            } else {
                while (q != end && IsDigit(static_cast<unsigned char>(*q))) {
                    ++q;
                }
                firstDigits_.append(p, q);
            }
            p = q;
            if (p == end) {
                break;
            }
        }
        const auto i = static_cast<std::size_t>(p - begin);
        const unsigned char ch = static_cast<unsigned char>(*p);
        const unsigned char next = i + 1 < r ? static_cast<unsigned char>(line[i + 1]) : 0;
        LexChar(ch, next);
        if (pending_ != 0) {
            const unsigned char again = pending_;
            pending_ = 0;
            LexChar(again, next);
        }
        ++p;
    }
    LexChar(' ', 0);
    if (pending_ != 0) {
        const unsigned char again = pending_;
        pending_ = 0;
        LexChar(again, 0);
    }
    AddToken(tkEndOfLine);
}

uint8_t Scanner::WordRunMask() const noexcept {
    return static_cast<uint8_t>(kLetter | kDigit | kUnderscore |
                                (afterLabelType_ ? kLabelPunct : 0) |
                                (lettersBeyondAscii_ ? kBeyondAscii : 0));
}

const char* Scanner::LexToken(const char* p, const char* end) {
    const auto ch = static_cast<unsigned char>(*p);
    switch (ClassOf(ch) & ~kLowerCase) {
        case kLetter:
        case kUnderscore:
            return LexWordFrom(p, end);
        case kDigit:
            return LabelTestHolds() ? LexWordFrom(p, end) : LexNumber(p, end);
        case kBeyondAscii:
            return lettersBeyondAscii_ ? LexWordFrom(p, end) : p;
        default:
            break;
    }
    if (const int16_t kind = kSingleCharKinds[ch]; kind >= 0) {
        AddPlain(kind);
        return p + 1;
    }
    switch (ch) {
        case '-':
            if (LabelTestHolds()) {
                return LexWordFrom(p, end);
            }
            AddPlain(tkMinus);
            return p + 1;
        case '.':
            return LabelTestHolds() ? LexWordFrom(p, end) : p;
        case '*':
            if (p + 1 != end && p[1] == '*') {
                AddPlain(tkPower);
                return p + 2;
            }
            AddPlain(tkStar);
            return p + 1;
        default:
            if (ch <= 32) {
                // Blanks, tabs and other control characters separate tokens.
                do {
                    ++p;
                } while (p != end && static_cast<unsigned char>(*p) <= 32);
                return p;
            }
            return p;  // strings, dotted words and invalid characters
    }
}

const char* Scanner::LexWordFrom(const char* p, const char* end, std::string_view prefix) {
    const uint8_t mask = WordRunMask();
    uint8_t seen = ClassOf(static_cast<unsigned char>(*p));
    const char* q = p + 1;
    for (; q != end; ++q) {
        const uint8_t c = ClassOf(static_cast<unsigned char>(*q));
        if ((c & mask) == 0) {
            break;
        }
        seen |= c;
    }
    const TokenRecord::TextRef ref =
        StoreText(prefix, std::string_view(p, static_cast<std::size_t>(q - p)));
    char* const text = pool_.LastStored(ref.length);
    if ((seen & kLowerCase) != 0) {
        for (char* c = text; c != text + ref.length; ++c) {
            *c = UpperAscii(*c);
        }
    }
    // Label types have at most three letters.
    afterLabelType_ = ref.length <= 3 && IsScannerLabelType(std::string_view(text, ref.length));
    AddWord(ref);
    return q;
}

const char* Scanner::LexNumber(const char* p, const char* end) {
    // The integer part; a value out of range is left to the character-wise
    // lexer, which reports it.
    uint64_t value = 0;
    const char* q = p;
    do {
        value = value * 10 + static_cast<uint64_t>(*q - '0');
        if (value > static_cast<uint64_t>(kInt32Max)) {
            return p;
        }
        ++q;
    } while (q != end && IsDigit(static_cast<unsigned char>(*q)));
    const auto integer = static_cast<int32_t>(value);
    const unsigned char after = q != end ? static_cast<unsigned char>(*q) : ' ';
    if (after == ':') {
        return p;  // a colon number
    }
    if (IsAlpha(after) || after == '_') {
        // The digits start a word, written as the integer's value: 007X is 7X.
        char digits[16];
        const auto written = std::to_chars(digits, digits + sizeof digits, integer);
        return LexWordFrom(
            q, end, std::string_view(digits, static_cast<std::size_t>(written.ptr - digits)));
    }
    if (after != '.') {
        TokenRecord& token = NewRecord();
        token.kind = tkInteger;
        token.line = lineNum_;
        token.data.integer = integer;
        return q;
    }
    const char* const fraction = q + 1;
    const char* f = fraction;
    while (f != end && IsDigit(static_cast<unsigned char>(*f))) {
        ++f;
    }
    if (f != end && (*f == 'E' || *f == 'e') && f + 1 != end &&
        (IsDigit(static_cast<unsigned char>(f[1])) || f[1] == '+' || f[1] == '-')) {
        return p;  // an exponent
    }
    const auto count = static_cast<std::size_t>(f - fraction);
    double real = integer;
    if (count > 0) {
        // As ParseReal: a short fraction and the integer part form one whole
        // number below 2^53, divided by an exact power of ten.
        constexpr uint64_t kExact = uint64_t{1} << 53;
        bool exact = false;
        if (count < std::size(kPowersOfTen)) {
            uint64_t digits = 0;
            for (const char* d = fraction; d != f; ++d) {
                digits = digits * 10 + static_cast<uint64_t>(*d - '0');
            }
            const uint64_t scale = kPowersOfTen[count];
            // Up to six digits the whole number stays below 2^31 * 10^6, far
            // below 2^53, without a division to prove it.
            if (count <= 6 || value <= (kExact - digits) / scale) {
                real = static_cast<double>(value * scale + digits) / static_cast<double>(scale);
                exact = true;
            }
        }
        if (!exact) {
            integerValue_ = integer;
            firstDigits_.assign(fraction, f);
            EmitReal();
            return f;
        }
    }
    TokenRecord& token = NewRecord();
    token.kind = tkReal;
    token.line = lineNum_;
    token.data.real = real;
    return f;
}

void Scanner::AddWord(TokenRecord::TextRef text) {
    TokenRecord& token = NewRecord();
    token.kind = tkWord;
    token.line = lineNum_;
    token.data.text = text;
    if (afterLabelType_) {
        labelWord_ = count_;
    }
}

void Scanner::AddPlain(int16_t kind) {
    TokenRecord& token = NewRecord();
    token.kind = kind;
    token.line = lineNum_;
    token.data.integer = 0;
}

void Scanner::LexChar(unsigned char ch, unsigned char next) {
    switch (state_) {
        case Start:
            LexStart(ch);
            return;
        case InWord:
            LexWord(ch);
            return;
        case InInteger:
            if (IsDigit(ch)) {
                const int digit = ch - '0';
                if (integerValue_ > (kInt32Max - digit) / 10) {
                    throw MakeError(RunTimeError::Overflow, "Scanner",
                                    "the number on line " + std::to_string(lineNum_) +
                                        " is larger than 2147483647");
                }
                integerValue_ = integerValue_ * 10 + digit;
            } else if (ch == '.') {
                state_ = InFraction;
            } else if (ch == ':') {
                state_ = InMinutes;
            } else if (IsAlpha(ch) || ch == '_') {
                state_ = InWord;
                text_ = std::to_string(integerValue_);
                text_.push_back(static_cast<char>(ch));
            } else {
                pending_ = ch;
                AddToken(tkInteger);
            }
            return;
        case InString:
            LexString(ch, next);
            return;
        case InFraction:
            LexFraction(ch, next);
            return;
        case AfterStar:
            if (ch == '*') {
                AddToken(tkPower);
            } else {
                pending_ = ch;
                AddToken(tkStar);
            }
            return;
        case AfterDot:
            LexAfterDot(ch);
            return;
        case InMinutes:
            if (IsDigit(ch)) {
                firstDigits_.push_back(static_cast<char>(ch));
            } else if (ch == ':') {
                state_ = InSeconds;
            } else {
                pending_ = ch;
                AddToken(tkColonNumber);
            }
            return;
        case InSeconds:
            if (IsDigit(ch) || ch == '.') {
                secondDigits_.push_back(static_cast<char>(ch));
            } else {
                pending_ = ch;
                AddToken(tkColonNumber);
            }
            return;
    }
}

void Scanner::LexStart(unsigned char ch) {
    if (IsAlpha(ch)) {
        state_ = InWord;
        text_.assign(1, static_cast<char>(ch));
        return;
    }
    if (IsDigit(ch)) {
        if (LabelTestHolds()) {
            state_ = InWord;
            text_.assign(1, static_cast<char>(ch));
        } else {
            state_ = InInteger;
            integerValue_ = ch - '0';
            firstDigits_.clear();
            secondDigits_.clear();
        }
        return;
    }
    if (const int16_t kind = kSingleCharKinds[ch]; kind >= 0) {
        AddToken(kind);
        return;
    }
    switch (ch) {
        case '\'':
            state_ = InString;
            text_.assign(1, '"');
            return;
        case '-':
            if (LabelTestHolds()) {
                state_ = InWord;
                text_.assign(1, '-');
            } else {
                AddToken(tkMinus);
            }
            return;
        case '*':
            state_ = AfterStar;
            return;
        case '.':
            if (LabelTestHolds()) {
                state_ = InWord;
                text_.assign(1, '.');
            } else {
                state_ = AfterDot;
                text_.clear();
                integerValue_ = 0;
                firstDigits_.clear();
                secondDigits_.clear();
            }
            return;
        case '_':
            state_ = InWord;
            text_.assign(1, '_');
            return;
        default:
            if (ch <= 32) {
                return;  // blanks, tabs and other control characters
            }
            if (ch >= 0x80 && lettersBeyondAscii_) {
                state_ = InWord;
                text_.assign(1, static_cast<char>(ch));
                return;
            }
            EmitError("Invalid character encountered");
            return;
    }
}

void Scanner::LexWord(unsigned char ch) {
    if ((ClassOf(ch) & WordRunMask()) != 0) {
        text_.push_back(static_cast<char>(ch));
        return;
    }
    MakeUpperAscii(text_);
    afterLabelType_ = IsScannerLabelType(text_);
    pending_ = ch;
    AddToken(tkWord);
}

void Scanner::LexString(unsigned char ch, unsigned char next) {
    if (ch != '\'') {
        text_.push_back(static_cast<char>(ch));
        return;
    }
    if (next == 0) {
        text_.push_back('"');
        AddToken(tkString);
        return;
    }
    const std::size_t last = text_.find_last_not_of(' ');
    if ((last != std::string::npos && text_[last] == '\'') || next == '\'') {
        text_.push_back('\'');  // a doubled quote stays doubled inside the string
        return;
    }
    text_.push_back('"');
    AddToken(tkString);
}

void Scanner::LexFraction(unsigned char ch, unsigned char next) {
    if (IsDigit(ch)) {
        firstDigits_.push_back(static_cast<char>(ch));
        return;
    }
    // An exponent: 1.5E3, 1.5E-3, 1.5e+3.
    const bool hasExponent = firstDigits_.find('E') != std::string::npos;
    if ((ch == 'E' || ch == 'e') && !hasExponent && (IsDigit(next) || next == '+' || next == '-')) {
        firstDigits_.push_back('E');
        return;
    }
    if ((ch == '+' || ch == '-') && !firstDigits_.empty() && firstDigits_.back() == 'E') {
        firstDigits_.push_back(static_cast<char>(ch));
        return;
    }
    // Anything else ends the number and starts the next token: 1.5*2, 1.5/ ...
    pending_ = ch;
    EmitReal();
}

void Scanner::LexAfterDot(unsigned char ch) {
    if (ch == '.') {
        const std::string letters = ToUpperAscii(text_);
        for (const DottedOperator& op : kDottedOperators) {
            if (letters == op.letters) {
                AddToken(op.kind);
                return;
            }
        }
        EmitError("Invalid logical operator '" + text_ + "'");
        return;
    }
    if (IsAlpha(ch)) {
        text_.push_back(static_cast<char>(ch));
        return;
    }
    if (IsDigit(ch)) {
        if (text_.empty()) {
            firstDigits_.assign(1, static_cast<char>(ch));
            state_ = InFraction;
        }
        return;  // a digit among the letters of a dotted word is dropped
    }
    pending_ = ch;
    if (text_.empty()) {
        AddToken(tkPeriod);
    } else {
        EmitError("Invalid pattern '." + text_ + "'");
    }
}

void Scanner::EmitError(std::string message) {
    errorText_ = std::move(message);
    AddToken(tkError);
}

std::string Scanner::RealLiteral() const {
    return std::to_string(integerValue_) + "." + firstDigits_;
}

bool Scanner::ParseReal(double& value) const {
    if (firstDigits_.empty()) {
        value = integerValue_;
        return true;
    }
    // Most reals have a short fraction: integer part and fraction then form
    // one whole number below 2^53, and one division by an exact power of ten
    // rounds correctly.
    constexpr uint64_t kExact = uint64_t{1} << 53;
    if (firstDigits_.size() < std::size(kPowersOfTen)) {
        uint64_t fraction = 0;
        bool digitsOnly = true;
        for (const char c : firstDigits_) {
            if (!IsDigit(static_cast<unsigned char>(c))) {
                digitsOnly = false;
                break;
            }
            fraction = fraction * 10 + static_cast<uint64_t>(c - '0');
        }
        const uint64_t scale = kPowersOfTen[firstDigits_.size()];
        if (digitsOnly && static_cast<uint64_t>(integerValue_) <= (kExact - fraction) / scale) {
            value = static_cast<double>(static_cast<uint64_t>(integerValue_) * scale + fraction) /
                    static_cast<double>(scale);
            return true;
        }
    }
    const std::string literal = RealLiteral();
    const char* end = literal.data() + literal.size();
    const auto [stop, error] = std::from_chars(literal.data(), end, value);
    return error == std::errc() && stop == end;
}

void Scanner::EmitReal() {
    if (ParseReal(realValue_)) {
        realValueReady_ = true;
        AddToken(tkReal);
    } else {
        EmitError("Invalid number '" + RealLiteral() + "'");
    }
}

void Scanner::AddToken(int16_t nType) {
    TokenRecord& token = NewRecord();
    token.kind = nType;
    switch (nType) {
        case tkError:
            token.data.text = StoreText(errorText_);
            break;
        case tkWord:
            token.data.text = StoreText(text_);
            if (afterLabelType_) {
                labelWord_ = count_;
            }
            break;
        case tkString:
            token.data.text = StoreText(text_);
            break;
        case tkInteger:
            token.data.integer = integerValue_;
            break;
        case tkReal:
            if (!realValueReady_ && !ParseReal(realValue_)) {
                realValue_ = integerValue_;
            }
            token.data.real = realValue_;
            realValueReady_ = false;
            break;
        case tkColonNumber:
            token.data.colonIndex = static_cast<uint32_t>(colonNumbers_.size());
            colonNumbers_.push_back(
                {integerValue_, StoreText(firstDigits_), StoreText(secondDigits_)});
            break;
        default:
            token.data.integer = 0;
            break;
    }
    token.line = lineNum_;
    state_ = Start;
}

void Scanner::AddBlock() {
    if (count_ == kInt32Max) {
        throw MakeError(RunTimeError::Overflow, "Scanner",
                        "the file has more tokens than a scanner can hold");
    }
    if (blocks_.size() == blocks_.capacity() || blockTexts_.size() == blockTexts_.capacity()) {
        // Room in both lists first, so that they never differ in length.
        const std::size_t room = 2 * blocks_.size() + 16;
        blocks_.reserve(room);
        blockTexts_.reserve(room);
    }
    blocks_.push_back(std::make_unique_for_overwrite<TokenRecord[]>(kTokenBlock));
    // The first token of the new block may have stored its text already; the
    // texts of its tokens all follow the last block's start.
    blockTexts_.push_back(lastBlockText_);
    lastBlockText_ = pool_.Size();
    free_ = blocks_.back().get();
    capacity_ += kTokenBlock;
}

void Scanner::ReleaseTokensBefore(int32_t position) noexcept {
    if (position < 2 || position - 1 > count_) {
        return;
    }
    // The block that holds the token before position stays, with all after it.
    const std::size_t keepFrom = static_cast<std::size_t>(position - 2) / kTokenBlock;
    for (; releasedBlocks_ < keepFrom; ++releasedBlocks_) {
        released_.kind = tkEndOfInput;
        released_.line = blocks_[releasedBlocks_][kTokenBlock - 1].line;
        blocks_[releasedBlocks_].reset();
    }
    pool_.ReleaseBefore(blockTexts_[keepFrom]);
}

TokenRecord::TextRef Scanner::StoreText(std::string_view text) {
    return StoreText({}, text);
}

TokenRecord::TextRef Scanner::StoreText(std::string_view prefix, std::string_view text) {
    const uint32_t offset = pool_.Store(prefix, text);
    return {offset, static_cast<uint32_t>(prefix.size() + text.size())};
}

std::string_view Scanner::Text(TokenRecord::TextRef ref) const noexcept {
    return pool_.View(ref.offset, ref.length);
}

int16_t Scanner::TokenPastScanned() noexcept {
    if (position_ < 0) {
        position_ = 0;
    }
    if (position_ < kInt32Max) {
        ++position_;
    }
    if (position_ > count_ && source_) {
        ScanUpTo(position_);
    }
    return position_ <= count_ ? Record(position_).kind : static_cast<int16_t>(tkEndOfInput);
}

void Scanner::Restore(int32_t nPos, int16_t nSev, ParseMessage sMsg) {
    if (position_ > 0 || (position_ == 0 && nSev > severity_)) {
        message_ = std::move(sMsg);
        severity_ = nSev;
    }
    position_ = nPos;
}

std::string_view Scanner::TokenTextAt(int32_t position) const noexcept {
    if (position < 1 || position > count_) {
        return {};
    }
    const TokenRecord& token = Record(position);
    switch (token.kind) {
        case tkError:
        case tkWord:
        case tkString:
            return Text(token.data.text);
        default:
            return {};
    }
}

Variant Scanner::TokenDataAt(int32_t position) const {
    if (position < 1 || position > count_) {
        return Variant();
    }
    const TokenRecord& token = Record(position);
    switch (token.kind) {
        case tkError:
        case tkWord:
        case tkString:
            return Variant::FromString(Text(token.data.text));
        case tkInteger:
            return Variant::FromLong(token.data.integer);
        case tkReal:
            return Variant::FromDouble(token.data.real);
        case tkColonNumber: {
            const ColonNumber& number = colonNumbers_[token.data.colonIndex];
            VariantArray parts(1, 4);
            parts[1] = Variant::FromInteger(tkColonNumber);
            parts[2] = Variant::FromLong(number.value);
            parts[3] = Variant::FromString(Text(number.minutes));
            parts[4] = Variant::FromString(Text(number.seconds));
            return Variant::FromArray(std::move(parts));
        }
        default:
            return Variant();
    }
}

}  // namespace vantreel
