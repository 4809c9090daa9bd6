#pragma once

#include "dmis/parse/Expression.h"

#include <functional>
#include <string>
#include <string_view>

namespace vantreel {

class CProgram;
class CStatement;
class CStatements;
class ParseContext;
class Scanner;

// The DMIS statement parser: one statement per logical line, block bodies
// attached to their opening statement, labels and jumps checked, ENDFIL
// required at the end. On failure the scanner's Message and Severity tell
// what went wrong and where.
class StatementParser {
  public:
    StatementParser(Scanner& scanner, ParseContext& context);

    // The whole token list as a program; false on the first error. Nesting
    // too deep and memory running out end the parse with a message.
    bool ParseProgram(CProgram& program);
    // One statement with the block it opens.
    bool ParseStatement(CStatement& statement);
    // One statement line without a block body.
    bool ParseSimpleStatement(CStatement& statement);
    // LABEL=CZONE: a left-hand label, "=" and CZONE make the whole line.
    bool ParseCzoneDefinition(CStatement& statement);
    // Whether the next token is the word.
    bool ExpectWord(std::string_view word);

    bool ParseMeasBlock(CStatement& statement);
    bool ParseCalibBlock(CStatement& statement);
    bool ParseGotargBlock(CStatement& statement);
    bool ParseMacroBlock(CStatement& statement);
    bool ParseIfBlock(CStatement& statement);
    bool ParseSelectBlock(CStatement& statement);
    bool ParseDoBlock(CStatement& statement);

    // The words a MEAS or RMEAS body may hold.
    static bool IsMeasBlockWord(std::string_view word);

  private:
    bool ParseStatementsToEnd(CProgram& program);

    using Continues = std::function<bool(std::string_view word)>;

    bool Fail(int32_t p0, int16_t severity, ParseMessage::Shape shape, int32_t id,
              std::string extra = {});
    bool FailWrapped(int32_t p0, int32_t id, std::string extra = {}) {
        return Fail(p0, 1, ParseMessage::Shape::Wrapped, id, std::move(extra));
    }
    // The next token must end the line (167034).
    bool ExpectLineEnd(int32_t p0);
    // "," and one more parameter; false without a "," (recorded softly) or
    // when the parameter cannot be parsed (167032).
    bool ParseNextParameter(ExpressionNode& out);
    bool ParseLabelStatement(CStatement& statement);
    bool ParseOutputParameter(CExpression& parameter);
    bool ParseParameters(CStatement& statement);
    void RegisterDeclarations(const CStatement& statement);

    // The body loop the blocks share: statements while continues(word), then
    // the end word. measRules adds the SAVE/RECALL label check.
    bool ParseBody(CStatement& block, const Continues& continues, std::string_view endWord,
                   std::string_view detailWord, bool measRules);
    // One statement of a body into into; false ends the body. Sets failed when
    // the block must fail (a severity-1 error, re-recorded at blockStart).
    bool ParseBodyStatement(CStatements& into, int32_t blockStart, bool& failed,
                            CStatement** parsed = nullptr);
    std::string_view CurrentWord() const;
    // The extended dialect's acceptances (ExtendedRules.cpp); each is false
    // by the strict rules and warns when it accepts.
    // The word just read ends its line: a statement without parameters.
    bool IsBareStatement(std::string_view word);
    // A label defined once more, or referenced before its definition.
    bool TakeLaterDefinition(const std::string& key);
    // An assignment to a variable no DECL declared: declared from here on.
    bool TakeUndeclared(const std::string& name);
    // The token just read, a variable, as the last value of a point list.
    bool TakeVariablePoint(int16_t token);
    // Whether the statement starts with its statement word: a word that is
    // no label type and has no "=" after it, so that neither a left-hand
    // label, an assignment nor a label statement can start there. True leaves
    // the cursor on the word, false where it was.
    bool StartsWithStatementWord();

    Scanner& scanner_;
    ParseContext& context_;
    ExpressionParser expressions_;
    std::string labelKey_;  // the registry key of the left-hand label just read
};

}  // namespace vantreel
