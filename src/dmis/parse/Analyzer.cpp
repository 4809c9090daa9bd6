#include "dmis/parse/Analyzer.h"

#include "dmis/model/CExpressions.h"
#include "dmis/model/CProgram.h"
#include "dmis/model/CStatement.h"
#include "dmis/model/CStatements.h"
#include "dmis/parse/Lookup.h"
#include "dmis/parse/ParseContext.h"
#include "dmis/scan/Scanner.h"

#include <algorithm>
#include <array>
#include <new>

namespace vantreel {
namespace {

using Shape = ParseMessage::Shape;

// In alphabetical order, for a binary search.
constexpr std::array<std::string_view, 23> kMeasBlockWords = {
    "ACLRAT", "CZSLCT", "DMEHW",  "DMESW",  "ENDGO",  "FEDRAT", "FINPOS", "FROM",
    "GOHOME", "GOTARG", "GOTO",   "PTMEAS", "RAPID",  "RECALL", "ROTAB",  "ROTSET",
    "SAVE",   "SCAN",   "SCNPLN", "SNSET",  "SNSLCT", "TEXT",   "WKPLAN",
};
static_assert(std::is_sorted(kMeasBlockWords.begin(), kMeasBlockWords.end()));

// The statements that open a block, by the parser of their body.
enum class BlockKind { None, Meas, Calib, Gotarg, Macro, If, Select, Do };

BlockKind BlockOf(std::string_view type) noexcept {
    if (type.size() < 2) {
        return BlockKind::None;
    }
    switch (type[0]) {
        case 'M':
            return type == "MEAS"    ? BlockKind::Meas
                   : type == "MACRO" ? BlockKind::Macro
                                     : BlockKind::None;
        case 'R':
            return type == "RMEAS" ? BlockKind::Meas : BlockKind::None;
        case 'C':
            return type == "CALIB" ? BlockKind::Calib : BlockKind::None;
        case 'G':
            return type == "GOTARG" ? BlockKind::Gotarg : BlockKind::None;
        case 'I':
            return type == "IF" ? BlockKind::If : BlockKind::None;
        case 'S':
            return type == "SELECT" ? BlockKind::Select : BlockKind::None;
        case 'D':
            return type == "DO" ? BlockKind::Do : BlockKind::None;
        default:
            return BlockKind::None;
    }
}

std::unique_ptr<CStatement> NewStatement(std::string type, int32_t line) {
    auto statement = std::make_unique<CStatement>();
    statement->SetStatementType(std::move(type));
    statement->SetLineNumber(line);
    return statement;
}

// The text a parameter names: a word's text, an array's or call's name, else
// its DMIS text.
std::string NamedText(const CExpression& node) {
    switch (node.ExpressionType()) {
        case ekWord:
            return node.Value().ToText();
        case ekDatumRef:
        case ekIndexedName:
        case ekFunctionCall:
        case ekLabelRef:
            return node.Value().Array()[1].ToText();
        default:
            return node.BuildString();
    }
}

}  // namespace

StatementParser::StatementParser(Scanner& scanner, ParseContext& context)
    : scanner_(scanner),
      context_(context),
      expressions_(scanner, context,
                   [this](ExpressionNode& out) { return ParseNextParameter(out); }) {}

bool StatementParser::Fail(int32_t p0, int16_t severity, Shape shape, int32_t id,
                           std::string extra) {
    return expressions_.Fail(p0, severity, shape, id, std::move(extra));
}

std::string_view StatementParser::CurrentWord() const {
    return scanner_.TokenKindAt(scanner_.Position()) == tkWord
               ? scanner_.TokenTextAt(scanner_.Position())
               : std::string_view();
}

bool StatementParser::StartsWithStatementWord() {
    // Read with the cursor, never ahead of it: a word that is no label type,
    // not followed by "=".
    const int32_t p = scanner_.Position();
    if (scanner_.Token() == tkWord && !IsLabelType(CurrentWord())) {
        const int32_t pWord = scanner_.Position();
        if (scanner_.Token() != tkEquals) {
            scanner_.SetPosition(pWord);
            return true;
        }
    }
    scanner_.SetPosition(p);
    return false;
}

bool StatementParser::ExpectWord(std::string_view word) {
    return scanner_.Token() == tkWord && CurrentWord() == word;
}

bool StatementParser::ExpectLineEnd(int32_t p0) {
    if (scanner_.Token() != tkEndOfLine) {
        return FailWrapped(p0, kLineEndExpected);
    }
    return true;
}

bool StatementParser::IsMeasBlockWord(std::string_view word) {
    return std::binary_search(kMeasBlockWords.begin(), kMeasBlockWords.end(), word);
}

bool StatementParser::ParseProgram(CProgram& program) {
    const int32_t p0 = scanner_.Position();
    try {
        return ParseStatementsToEnd(program);
    } catch (const NestedTooDeeply& error) {
        scanner_.Restore(p0, 1, ParseMessage{Shape::Wrapped, kNestedTooDeeply, {}, error.line});
    } catch (const std::bad_alloc&) {
        // What the failed statement held is released by now; the message
        // itself needs no memory (its parts are an ID and a line).
        const int32_t line = scanner_.TokenLineNumber();
        scanner_.Restore(p0, 1, ParseMessage{Shape::Plain, kOutOfMemory, {}, line});
    }
    return false;
}

bool StatementParser::ParseStatementsToEnd(CProgram& program) {
    const int32_t p0 = scanner_.Position();
    for (;;) {
        auto statement = std::make_unique<CStatement>();
        if (!ParseStatement(*statement)) {
            break;
        }
        program.objStatements->AddStatement(std::move(statement));
        scanner_.ReleaseTokensBefore(scanner_.Position());
    }
    if (scanner_.Severity() == 1) {
        scanner_.Restore(p0, 1, scanner_.MessageParts());
        return false;
    }
    for (const auto& [name, line] : context_.PendingJumpList()) {
        if (!context_.IsRegistered(name, ParseContext::JumpLabels)) {
            scanner_.Restore(
                scanner_.Position(), 2,
                ParseMessage{Shape::Wrapped, kUndefinedJumpLabel, "JUMPTO " + name, line});
            return false;
        }
    }
    const int32_t pEnd = scanner_.Position();
    if (!ExpectWord("ENDFIL")) {
        return Fail(pEnd, 2, Shape::Wrapped, kWordMissing, " ENDFIL");
    }
    program.objStatements->AddStatement(NewStatement("ENDFIL", scanner_.TokenLineNumber()));
    const int32_t pLine = scanner_.Position();
    if (scanner_.Token() != tkEndOfLine) {
        return FailWrapped(pLine, kLineEndExpected);
    }
    const int32_t pInput = scanner_.Position();
    if (scanner_.Token() != tkEndOfInput) {
        return FailWrapped(pInput, kTokensAfterEndfil);
    }
    return true;
}

bool StatementParser::ParseStatement(CStatement& statement) {
    const DepthGuard guard(context_.depth, scanner_.TokenLineNumber());
    if (context_.progress) {
        context_.progress();
    }
    bool parsed = ParseSimpleStatement(statement);
    if (parsed) {
        switch (BlockOf(statement.StatementType())) {
            case BlockKind::Meas:
                parsed = ParseMeasBlock(statement);
                break;
            case BlockKind::Calib:
                parsed = ParseCalibBlock(statement);
                break;
            case BlockKind::Gotarg:
                parsed = ParseGotargBlock(statement);
                break;
            case BlockKind::Macro:
                parsed = ParseMacroBlock(statement);
                break;
            case BlockKind::If:
                parsed = ParseIfBlock(statement);
                break;
            case BlockKind::Select:
                parsed = ParseSelectBlock(statement);
                break;
            case BlockKind::Do:
                parsed = ParseDoBlock(statement);
                break;
            case BlockKind::None:
                break;
        }
        if (parsed) {
            return true;
        }
    }
    if (scanner_.Severity() == 1) {
        scanner_.Restore(0, 1, scanner_.MessageParts());
        return false;
    }
    return ParseCzoneDefinition(statement);
}

bool StatementParser::ParseSimpleStatement(CStatement& statement) {
    const int32_t p = scanner_.Position();

    ExpressionNode label;
    if (StartsWithStatementWord()) {
        // Neither a left-hand label, an assignment nor a label statement:
        // the last of the three attempts would have left its message, read
        // with the cursor on the word.
        Fail(p, 2, Shape::Wrapped, kLeftParenExpected);
    } else if (expressions_.ParseLabelRef(label)) {
        const VariantArray& parts = label->Value().Array();
        const std::string_view labelType = parts[1].String();
        labelKey_.assign(labelType);
        labelKey_ += '(';
        labelKey_ += parts[2].String();
        labelKey_ += ')';
        if (!context_.Register(labelKey_, ParseContext::DefinedLabels) && labelType != "F" &&
            labelType != "FA" && labelType != "V" && !TakeLaterDefinition(labelKey_)) {
            return FailWrapped(p, kLabelDefinedTwice);
        }
        statement.SetLValue(std::move(label));
        if (scanner_.Token() != tkEquals) {
            return FailWrapped(p, kSeparatorExpected, " =");
        }
    } else if (scanner_.Severity() == 1) {
        return false;
    } else {
        ExpressionNode target;
        if (expressions_.ParseAssignTarget(target)) {
            if (!context_.IsRegistered(target->Value().ToText(), ParseContext::DeclaredVariables) &&
                !TakeUndeclared(target->Value().ToText())) {
                return FailWrapped(p, kUndeclaredName);
            }
            statement.SetLValue(std::move(target));
        } else if (scanner_.Severity() == 1) {
            return false;
        } else if (ParseLabelStatement(statement)) {
            return true;
        } else if (scanner_.Severity() == 1) {
            return false;
        }
    }

    if (scanner_.Token() != tkWord) {
        return Fail(p, 2, Shape::Wrapped, kWordExpected);
    }
    if (CurrentWord() == "ENDFIL") {
        scanner_.Restore(p, 5, std::string());
        return false;
    }
    statement.SetStatementType(CurrentWord());
    statement.SetLineNumber(scanner_.TokenLineNumber());
    // The statement's own copy: it stays while more tokens are read.
    const std::string_view word = statement.StatementType();

    if (word == "GOHOME" || word == "XTERN" || word == "DFTCAS") {
        return ExpectLineEnd(p);
    }
    if (word == "MACRO") {
        const int32_t afterWord = scanner_.Position();
        if (scanner_.Token() == tkEndOfLine) {
            return true;
        }
        scanner_.SetPosition(afterWord);
    }
    if (scanner_.Token() != tkSlash) {
        if (IsBareStatement(word)) {
            return true;
        }
        return Fail(p, 2, Shape::Wrapped, kSeparatorExpected);
    }
    if (!ParseParameters(statement)) {
        return false;
    }
    if (word == "JUMPTO" && statement.objExpressions->Count() > 0) {
        // JUMPTO/(NAME): the name inside the parentheses is the jump label.
        const CExpression& target = statement.objExpressions->Item(1);
        // A label is a name or a number, as (NAME) and (10) define them.
        const CExpression* inner =
            target.ExpressionType() == ekParenthesized ? target.Value().Object() : nullptr;
        while (inner != nullptr && inner->ExpressionType() == ekWrapped) {
            inner = inner->Value().Object();  // a number stands wrapped
        }
        const std::string name = inner != nullptr && (inner->ExpressionType() == ekWord ||
                                                      inner->ExpressionType() == ekInteger)
                                     ? inner->Value().ToText()
                                     : target.BuildString();
        context_.AddPendingJump(name, statement.LineNumber());
    }
    if (word == "DECL") {
        RegisterDeclarations(statement);
    }
    return ExpectLineEnd(p);
}

bool StatementParser::ParseParameters(CStatement& statement) {
    const bool output = statement.StatementType() == "OUTPUT";
    const int32_t p = scanner_.Position();
    ExpressionNode first;
    if (!expressions_.ParseParameter(first)) {
        return FailWrapped(p, kBadParameter);
    }
    CExpression* parameter = &statement.objExpressions->AddExpression(std::move(first));
    for (;;) {
        if (output && !ParseOutputParameter(*parameter)) {
            return false;
        }
        ExpressionNode next;
        if (!ParseNextParameter(next)) {
            return scanner_.Severity() != 1;
        }
        parameter = &statement.objExpressions->AddExpression(std::move(next));
    }
}

bool StatementParser::ParseNextParameter(ExpressionNode& out) {
    const int32_t p = scanner_.Position();
    if (scanner_.Token() != tkComma) {
        return Fail(p, 2, Shape::Wrapped, kSeparatorExpected, " ,");
    }
    if (!expressions_.ParseParameter(out)) {
        return FailWrapped(p, kBadParameter);
    }
    return true;
}

bool StatementParser::ParseOutputParameter(CExpression& parameter) {
    const int32_t p = scanner_.Position();
    if (scanner_.Token() != tkLeftBracket) {
        scanner_.SetPosition(p);  // no point list
        return true;
    }
    VariantArray points(0, 0);
    int16_t token = scanner_.Token();
    if (token != tkInteger && token != tkReal) {
        return FailWrapped(p, kBadPointList);
    }
    points.Append(scanner_.TokenData());
    token = scanner_.Token();
    if (token == tkComma) {
        token = scanner_.Token();
        if (token != tkInteger && token != tkReal && !TakeVariablePoint(token)) {
            return FailWrapped(p, kBadSecondPoint);
        }
        points.Append(scanner_.TokenData());
        token = scanner_.Token();
    }
    if (token != tkRightBracket) {
        return FailWrapped(p, kClosingExpected);
    }
    parameter.SetOutPutPoints(Variant::FromArray(std::move(points)));
    return true;
}

void StatementParser::RegisterDeclarations(const CStatement& statement) {
    const CExpressions& parameters = *statement.objExpressions;
    int32_t index = 1;
    if (parameters.Count() >= 1) {
        const std::string scope = NamedText(parameters.Item(1));
        if (scope == "COMMON" || scope == "GLOBAL" || scope == "LOCAL") {
            index = 2;
        }
    }
    if (index <= parameters.Count() && NamedText(parameters.Item(index)) == "CHAR") {
        ++index;  // the length
    }
    for (++index; index <= parameters.Count(); ++index) {
        context_.Register(NamedText(parameters.Item(index)), ParseContext::DeclaredVariables);
    }
}

bool StatementParser::ParseLabelStatement(CStatement& statement) {
    const int32_t p0 = scanner_.Position();
    if (scanner_.Token() != tkLeftParen) {
        return Fail(p0, 2, Shape::Wrapped, kLeftParenExpected);
    }
    const int32_t line = scanner_.TokenLineNumber();
    std::string name;
    if (!expressions_.ParseLabelName(name)) {
        return FailWrapped(p0, kNameExpected);
    }
    if (scanner_.Token() != tkRightParen) {
        return FailWrapped(p0, kClosingExpected);
    }
    if (!context_.Register(name, ParseContext::JumpLabels)) {
        return FailWrapped(p0, kLabelDefinedTwice);
    }
    statement.SetStatementType("LABEL");
    statement.SetLineNumber(line);
    statement.objExpressions->AddExpression(
        CExpression::Make(ekWord, Variant::FromString(std::move(name))));
    return ExpectLineEnd(p0);
}

bool StatementParser::ParseCzoneDefinition(CStatement& statement) {
    const int32_t p = scanner_.Position();
    ExpressionNode label;
    if (!expressions_.ParseLabelRef(label)) {
        return false;
    }
    statement.SetLValue(std::move(label));
    if (scanner_.Token() != tkEquals) {
        return FailWrapped(p, kSeparatorExpected, " =");
    }
    if (!ExpectWord("CZONE")) {
        return FailWrapped(p, kCzoneExpected, " CZONE");
    }
    statement.SetStatementType("CZONE");
    statement.SetLineNumber(scanner_.TokenLineNumber());
    return ExpectLineEnd(p);
}

bool StatementParser::ParseBodyStatement(CStatements& into, int32_t blockStart, bool& failed,
                                         CStatement** parsed) {
    const int32_t p = scanner_.Position();
    auto statement = std::make_unique<CStatement>();
    const bool ok = ParseStatement(*statement);
    if (scanner_.Severity() == 1) {
        scanner_.Restore(blockStart, 1, scanner_.MessageParts());
        failed = true;
        return false;
    }
    if (!ok) {
        // End of input, ENDFIL or a line that is no statement: the body ends
        // here and the end word is checked against it.
        scanner_.SetPosition(p);
        return false;
    }
    CStatement& added = into.AddStatement(std::move(statement));
    if (parsed != nullptr) {
        *parsed = &added;
    }
    return true;
}

bool StatementParser::ParseBody(CStatement& block, const Continues& continues,
                                std::string_view endWord, std::string_view detailWord,
                                bool measRules) {
    const int32_t blockStart = scanner_.Position();
    for (;;) {
        const int32_t p = scanner_.Position();
        scanner_.Token();
        const bool goesOn = continues(CurrentWord());
        scanner_.Restore(p, 2, std::string());
        if (!goesOn) {
            break;
        }
        bool failed = false;
        CStatement* parsed = nullptr;
        if (!ParseBodyStatement(*block.objStatements, blockStart, failed, &parsed)) {
            if (failed) {
                return false;
            }
            break;
        }
        const std::string_view type = parsed->StatementType();
        if (measRules && (type == "SAVE" || type == "RECALL")) {
            std::string labelType;
            if (parsed->objExpressions->Count() > 0) {
                labelType = NamedText(parsed->objExpressions->Item(1));
            }
            if (labelType != "S" && labelType != "SA") {
                scanner_.Restore(blockStart, 1,
                                 ParseMessage{Shape::Lined, 0,
                                              labelType + " is not a valid label for " +
                                                  std::string(type) + " in a Meas block",
                                              parsed->LineNumber()});
                return false;
            }
        }
    }
    const int32_t p = scanner_.Position();
    if (!ExpectWord(endWord)) {
        return Fail(blockStart, 1, Shape::Wrapped, kWordMissing, " " + std::string(detailWord));
    }
    block.objStatements->AddStatement(
        NewStatement(std::string(endWord), scanner_.TokenLineNumber()));
    return ExpectLineEnd(p);
}

bool StatementParser::ParseMeasBlock(CStatement& statement) {
    return ParseBody(statement, IsMeasBlockWord, "ENDMES", "ENDMEAS", true);
}

bool StatementParser::ParseCalibBlock(CStatement& statement) {
    return ParseBody(
        statement, [](std::string_view word) { return word != "ENDMES"; }, "ENDMES", "ENDMEAS",
        false);
}

bool StatementParser::ParseGotargBlock(CStatement& statement) {
    return ParseBody(
        statement, [](std::string_view word) { return word == "GOTO"; }, "ENDGO", "ENDGO", false);
}

bool StatementParser::ParseMacroBlock(CStatement& statement) {
    return ParseBody(
        statement, [](std::string_view word) { return word != "ENDMAC"; }, "ENDMAC", "ENDMAC",
        false);
}

bool StatementParser::ParseDoBlock(CStatement& statement) {
    return ParseBody(
        statement, [](std::string_view word) { return word != "ENDDO"; }, "ENDDO", "ENDDO", false);
}

bool StatementParser::ParseIfBlock(CStatement& statement) {
    const int32_t blockStart = scanner_.Position();
    auto ifBlock = NewStatement("IfBlock", statement.LineNumber());
    std::unique_ptr<CStatement> elseBlock;
    CStatement* current = ifBlock.get();
    for (;;) {
        const int32_t p = scanner_.Position();
        scanner_.Token();
        const std::string_view word = CurrentWord();
        if (word == "ELSE" && !elseBlock) {
            elseBlock = NewStatement("ElseBlock", scanner_.TokenLineNumber());
            if (!ExpectLineEnd(p)) {
                return false;
            }
            current = elseBlock.get();
            continue;
        }
        scanner_.Restore(p, 2, std::string());
        if (word == "ENDIF") {
            break;
        }
        bool failed = false;
        if (!ParseBodyStatement(*current->objStatements, blockStart, failed)) {
            if (failed) {
                return false;
            }
            break;
        }
    }
    const int32_t p = scanner_.Position();
    if (!ExpectWord("ENDIF")) {
        return Fail(blockStart, 1, Shape::Wrapped, kWordMissing, " ENDIF");
    }
    auto endif = NewStatement("ENDIF", scanner_.TokenLineNumber());
    if (ifBlock->objStatements->Count() > 0) {
        statement.objStatements->AddStatement(std::move(ifBlock));
    }
    if (elseBlock && elseBlock->objStatements->Count() > 0) {
        statement.objStatements->AddStatement(std::move(elseBlock));
    }
    statement.objStatements->AddStatement(std::move(endif));
    return ExpectLineEnd(p);
}

bool StatementParser::ParseSelectBlock(CStatement& statement) {
    const int32_t blockStart = scanner_.Position();
    std::unique_ptr<CStatement> open;  // the case being filled
    for (;;) {
        const int32_t p = scanner_.Position();
        scanner_.Token();
        const std::string word(CurrentWord());
        const int32_t line = scanner_.TokenLineNumber();
        if (word == "ENDSEL") {
            scanner_.Restore(p, 2, std::string());
            break;
        }
        if (word == "CASE" || word == "DFTCAS") {
            if (open) {
                return Fail(blockStart, 1, Shape::Wrapped, kWordMissing, " ENDCAS");
            }
            open = NewStatement(word, line);
            if (word == "CASE") {
                if (scanner_.Token() != tkSlash) {
                    return FailWrapped(p, kSeparatorExpected);
                }
                const int32_t pValue = scanner_.Position();
                ExpressionNode value;
                if (!expressions_.ParseExpression(value)) {
                    return FailWrapped(pValue, kBadCaseValue);
                }
                open->objExpressions->AddExpression(std::move(value));
            }
            if (!ExpectLineEnd(p)) {
                return false;
            }
            continue;
        }
        if (word == "ENDCAS") {
            if (!open) {
                return Fail(blockStart, 1, Shape::Wrapped, kWordMissing, " CASE");
            }
            if (!ExpectLineEnd(p)) {
                return false;
            }
            statement.objStatements->AddStatement(std::move(open));
            continue;
        }
        if (!open) {
            if (word == "ENDFIL" || scanner_.TokenKindAt(scanner_.Position()) == tkEndOfInput) {
                // The program ends inside the SELECT: it was never closed.
                scanner_.Restore(p, 2, std::string());
                break;
            }
            return Fail(blockStart, 1, Shape::Wrapped, kWordMissing, " CASE");
        }
        scanner_.Restore(p, 2, std::string());
        bool failed = false;
        if (!ParseBodyStatement(*open->objStatements, blockStart, failed)) {
            if (failed) {
                return false;
            }
            break;
        }
    }
    const int32_t p = scanner_.Position();
    const bool ended = ExpectWord("ENDSEL");
    if (open) {
        // A case still open at ENDSEL would lose its statements.
        return Fail(blockStart, 1, Shape::Wrapped, kWordMissing, " ENDCAS");
    }
    if (!ended) {
        return Fail(blockStart, 1, Shape::Wrapped, kWordMissing, " ENDSEL");
    }
    statement.objStatements->AddStatement(NewStatement("ENDSEL", scanner_.TokenLineNumber()));
    return ExpectLineEnd(p);
}

}  // namespace vantreel
