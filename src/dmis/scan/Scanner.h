#pragma once

#include "dmis/model/Variant.h"
#include "dmis/parse/ParseMessage.h"
#include "dmis/scan/TextPool.h"
#include "dmis/scan/TokenKind.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vantreel {

class CProgram;
class DialectWarnings;
class ExtendedLines;

// One scanned token, 16 bytes. Texts (words, strings, error messages, the
// digit groups of colon numbers) live in the scanner's text pool.
struct TokenRecord {
    struct TextRef {
        uint32_t offset;
        uint32_t length;
    };
    int16_t kind;
    int32_t line;
    union {
        int32_t integer;
        double real;
        TextRef text;
        uint32_t colonIndex;
    } data;
};

// Turns one DMIS file into tokens and comment lines, then serves the parsers
// as a cursor over the tokens and keeps the message of the last parse failure.
class Scanner {
  public:
    // Lexer states.
    enum LexState : int32_t {
        Start = 0,
        InWord = 1,
        InInteger = 2,
        InString = 3,
        InFraction = 4,
        AfterStar = 5,
        AfterDot = 6,
        InMinutes = 7,
        InSeconds = 8,
    };

    // The token array grows by this many records at a time, without moving
    // the records already stored.
    static constexpr int32_t kTokenBlock = 2048;

    Scanner();
    ~Scanner();
    Scanner(const Scanner&) = delete;
    Scanner& operator=(const Scanner&) = delete;

    void Clear() noexcept {}

    // Scans the file at path, appending tokens here and comment lines to
    // objProgram's comments. False after a failure, with LastError set; what
    // was scanned before the failure stays.
    bool ScanFile(const std::string& path, CProgram& objProgram);

    // The same for text held in memory; name stands for the path in LastError.
    bool ScanText(std::string_view text, CProgram& objProgram, const std::string& name);

    // Opens the file at path for scanning as the cursor reaches its tokens:
    // Token() makes the tokens of the next lines when it passes the last one,
    // and comment lines go to objProgram's comments on the way. The look-ups
    // by position see the tokens made so far, all those the cursor reached.
    // False, with LastError set, when the file cannot be opened.
    bool OpenFile(const std::string& path, CProgram& objProgram);

    // Scans what is left of an opened file or text. keepTokens false gives
    // the tokens back as they are made (the parse is over and only comment
    // lines and failures further on are still wanted). False when the scan
    // failed, now or while the cursor moved, with LastError set; what was
    // scanned before the failure stays.
    bool FinishScan(bool keepTokens);

    // Keeps text and prepares its lines by the extended dialect, to scan them
    // as the cursor reaches their tokens, like OpenFile. Raises what preparing
    // the lines raises; name stands for the path in LastError.
    void OpenExtendedText(std::string text, CProgram& objProgram, const std::string& name,
                          DialectWarnings& warnings);

    // The logical lines the extended dialect prepared, each with its own line
    // number; name stands for the path in LastError.
    bool ScanLines(const ExtendedLines& lines, CProgram& objProgram, const std::string& name);

    // Whether bytes above 127 are letters of words and names (the extended
    // dialect: Latin-1 and Windows-1252 letters in labels). Off by default.
    void SetLettersBeyondAscii(bool value) noexcept { lettersBeyondAscii_ = value; }

    void Terminate() noexcept {}

    // Appends a token of kind nType, taking its data from the lexer registers.
    void AddToken(int16_t nType);

    // The data and line of the token at Position. Outside 1..TokenCount the
    // data is empty and the line is that of the nearest token (0 without any).
    Variant TokenData() const { return TokenDataAt(position_); }
    int32_t TokenLineNumber() const noexcept { return TokenLineAt(position_); }

    // Advances Position and returns the kind of the token there, or
    // tkEndOfInput past the last token.
    int16_t Token() noexcept {
        if (position_ >= 0 && position_ < count_) {
            ++position_;
            return Record(position_).kind;
        }
        return TokenPastScanned();
    }

    int32_t LineNum() const noexcept { return lineNum_; }
    const std::string& LastError() const noexcept { return lastError_; }
    // Records a failure found before the scanner saw the text.
    void SetLastError(std::string message) { lastError_ = std::move(message); }
    int32_t Position() const noexcept { return position_; }
    void SetPosition(int32_t value) noexcept { position_ = value; }
    int32_t ErrorOffset() const noexcept { return 0; }
    int16_t Severity() const noexcept { return severity_; }
    // The recorded parse message in the current language.
    std::string Message() const { return message_.Format(); }
    // The recorded parse message as its parts, for recording it again.
    const ParseMessage& MessageParts() const noexcept { return message_; }

    // Records a parse message (while Position is above 0 always; at 0 only
    // when nSev is higher than the recorded severity) and moves to nPos.
    void Restore(int32_t nPos, int16_t nSev, std::string sMsg) {
        Restore(nPos, nSev, ParseMessage::Of(std::move(sMsg)));
    }
    void Restore(int32_t nPos, int16_t nSev, ParseMessage sMsg);

    // Gives back the memory of the tokens well before position: the statement
    // parser calls it once a top-level statement is complete, since it never
    // goes back past that. A released token reads as the end of input, on the
    // line of the last token released.
    void ReleaseTokensBefore(int32_t position) noexcept;

    // The token list itself, positions 1..TokenCount.
    int32_t TokenCount() const noexcept { return count_; }
    int16_t TokenKindAt(int32_t position) const noexcept {
        return position >= 1 && position <= count_ ? Record(position).kind
                                                   : static_cast<int16_t>(tkEndOfInput);
    }
    int32_t TokenLineAt(int32_t position) const noexcept {
        if (count_ == 0) {
            return 0;
        }
        return Record(position < 1 ? 1 : (position > count_ ? count_ : position)).line;
    }
    Variant TokenDataAt(int32_t position) const;
    // The text of a word, string or error token; empty for other kinds.
    std::string_view TokenTextAt(int32_t position) const noexcept;

  private:
    struct ColonNumber {
        int32_t value;
        TokenRecord::TextRef minutes;
        TokenRecord::TextRef seconds;
    };

    struct Source;

    // Resets the lexer and the failure for a new input and makes its source.
    std::unique_ptr<Source> NewSource(CProgram& objProgram, const std::string& name);

    // Scans lines until the token at position exists or the input ends;
    // a failure is recorded and ends the scan.
    void ScanUpTo(int32_t position) noexcept;
    // Scans the next logical line; false at the end of the input.
    bool ScanNextLine();
    void ScanLogicalLine(std::string_view line, CProgram& objProgram);
    static bool IsContinuation(std::string_view line) noexcept;
    void ScanLine(std::string_view line);
    // Takes the whole token starting at p when it is one of the common plain
    // kinds, returning where it ends; returns p, having taken nothing, for
    // anything the character-wise lexer has to decide.
    const char* LexToken(const char* p, const char* end);
    const char* LexNumber(const char* p, const char* end);
    // Adds the word made of prefix and the word characters from p on; the
    // character at p belongs to the word whatever it is.
    const char* LexWordFrom(const char* p, const char* end, std::string_view prefix = {});
    void AddWord(TokenRecord::TextRef text);
    void AddPlain(int16_t kind);
    void LexChar(unsigned char ch, unsigned char next);
    void LexStart(unsigned char ch);
    void LexWord(unsigned char ch);
    void LexString(unsigned char ch, unsigned char next);
    void LexFraction(unsigned char ch, unsigned char next);
    void LexAfterDot(unsigned char ch);
    void EmitError(std::string message);
    void EmitReal();
    // Whether the token before the last one is a label-type word.
    bool LabelTestHolds() const noexcept { return count_ >= 2 && labelWord_ == count_ - 1; }
    // The characters that continue a word, as a mask of character classes.
    uint8_t WordRunMask() const noexcept;
    bool ParseReal(double& value) const;
    std::string RealLiteral() const;

    int16_t TokenPastScanned() noexcept;
    const TokenRecord& Record(int32_t position) const noexcept {
        const std::unique_ptr<TokenRecord[]>& block =
            blocks_[static_cast<std::size_t>(position - 1) / kTokenBlock];
        return block ? block[static_cast<std::size_t>(position - 1) % kTokenBlock] : released_;
    }
    TokenRecord& NewRecord() {
        if (count_ == capacity_) {
            AddBlock();
        }
        ++count_;
        return *free_++;
    }
    void AddBlock();
    TokenRecord::TextRef StoreText(std::string_view text);
    TokenRecord::TextRef StoreText(std::string_view prefix, std::string_view text);
    std::string_view Text(TokenRecord::TextRef ref) const noexcept;

    // Token list.
    int32_t count_ = 0;
    int32_t capacity_ = 0;
    TokenRecord* free_ = nullptr;  // the next free record of the last block
    std::vector<std::unique_ptr<TokenRecord[]>> blocks_;
    std::size_t releasedBlocks_ = 0;    // leading blocks given back
    TokenRecord released_{};            // what a released position reads
    std::vector<uint32_t> blockTexts_;  // per block: no text of its tokens starts before
    uint32_t lastBlockText_ = 0;
    TextPool pool_;
    std::unique_ptr<Source> source_;  // while lines are left to scan
    bool failed_ = false;
    std::vector<ColonNumber> colonNumbers_;

    // Cursor and messages.
    int16_t severity_ = 0;
    int32_t position_ = 0;
    ParseMessage message_;
    std::string lastError_;
    int32_t lineNum_ = 0;

    // Lexer registers.
    LexState state_ = Start;
    unsigned char pending_ = 0;
    bool afterLabelType_ = false;  // whether the last word read is a label type
    int32_t labelWord_ = 0;        // the position of the last label-type word
    std::string text_;
    int32_t integerValue_ = 0;
    std::string firstDigits_;
    std::string secondDigits_;
    std::string errorText_;
    double realValue_ = 0;  // the value of the real about to be added, once parsed
    bool realValueReady_ = false;
    bool lettersBeyondAscii_ = false;
};

}  // namespace vantreel
