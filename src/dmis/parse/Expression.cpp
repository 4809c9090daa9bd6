#include "dmis/parse/Expression.h"

#include "dmis/model/DmisTables.h"
#include "dmis/parse/Lookup.h"
#include "dmis/parse/ParseContext.h"
#include "dmis/scan/Scanner.h"

#include <vector>

namespace vantreel {
namespace {

using Shape = ParseMessage::Shape;

constexpr std::size_t kMaxLabelName = 64;
constexpr std::size_t kMaxDatumName = 2;

// The expression kind an operator token makes on a level; 0 when it is not
// one of the level's operators.
int32_t OperatorKind(int level, int16_t token) {
    switch (level) {
        case 0:  // .OR.
            return token == tkOr ? ekOr : 0;
        case 1:  // .AND.
            return token == tkAnd ? ekAnd : 0;
        case 2:  // relations
            switch (token) {
                case tkEq:
                    return ekEq;
                case tkNe:
                    return ekNe;
                case tkLt:
                    return ekLt;
                case tkLe:
                    return ekLe;
                case tkGt:
                    return ekGt;
                case tkGe:
                    return ekGe;
                default:
                    return 0;
            }
        case 3:  // sums
            return token == tkPlus ? ekAdd : token == tkMinus ? ekSubtract : 0;
        case 4:  // products
            return token == tkStar ? ekMultiply : token == tkSlash ? ekDivide : 0;
        default:  // powers
            return token == tkPower ? ekPower : 0;
    }
}

}  // namespace

ExpressionParser::ExpressionParser(Scanner& scanner, ParseContext& context,
                                   NextParameter nextParameter)
    : scanner_(scanner), context_(context), nextParameter_(std::move(nextParameter)) {}

bool ExpressionParser::Fail(int32_t p0, int16_t severity, Shape shape, int32_t id,
                            std::string extra) {
    scanner_.Restore(p0, severity,
                     ParseMessage{shape, id, std::move(extra), scanner_.TokenLineNumber()});
    return false;
}

bool ExpressionParser::ParseParameter(ExpressionNode& out) {
    const int32_t p0 = scanner_.Position();
    int16_t token = scanner_.Token();
    bool minus = false;
    if (token == tkMinus) {
        minus = true;
        token = scanner_.Token();
    }
    const int32_t p1 = scanner_.Position();
    int32_t leafKind = 0;
    switch (token) {
        case tkWord:
            leafKind = ekWord;
            break;
        case tkReal:
            leafKind = ekReal;
            break;
        case tkInteger:
            leafKind = ekInteger;
            break;
        case tkString:
            leafKind = ekText;
            break;
        case tkColonNumber:
            leafKind = ekColonNumber;
            break;
        case tkTrue:
        case tkFalse:
            // The constant stands alone; a minus before it is dropped.
            out = CExpression::Make(token == tkTrue ? ekTrue : ekFalse);
            return true;
        default:
            break;
    }
    if (leafKind != 0) {
        const int16_t next = scanner_.Token();
        if (next == tkComma || next == tkEndOfLine) {
            ExpressionNode leaf = CExpression::Make(leafKind, scanner_.TokenDataAt(p1));
            out = minus ? CExpression::MakeUnary(ekNegate, std::move(leaf)) : std::move(leaf);
            scanner_.Restore(p1, 3, std::string());
            return true;
        }
        if (next == tkLeftParen && !minus && ParseLoneLabelRef(p0, p1, out)) {
            return true;
        }
    }
    // The full grammar records a message of its own before it returns, so
    // this move back records none.
    scanner_.SetPosition(p0);
    return ParseExpression(out);
}

bool ExpressionParser::ParseLoneLabelRef(int32_t p0, int32_t p1, ExpressionNode& out) {
    // The full grammar would go down every level to the label reference and
    // back up again; the parameter ends where each level's operator would be.
    if (context_.depth >= ParseContext::kMaxDepth || !IsLabelType(scanner_.TokenTextAt(p1))) {
        return false;
    }
    scanner_.SetPosition(p0);
    ExpressionNode label;
    if (!ParseLabelRef(label)) {
        return false;
    }
    const int32_t pEnd = scanner_.Position();
    const int16_t next = scanner_.Token();
    if (next != tkComma && next != tkEndOfLine) {
        return false;
    }
    RegisterLabelRef(*label);
    // Where the outermost level found no operator.
    scanner_.Restore(pEnd, 1, std::string());
    out = std::move(label);
    return true;
}

void ExpressionParser::RegisterLabelRef(const CExpression& label) {
    const VariantArray& parts = label.Value().Array();
    // One buffer for every key: a program references labels by the thousand.
    labelKey_.assign(parts[1].String());
    labelKey_ += '(';
    labelKey_ += parts[2].String();
    labelKey_ += ')';
    if (context_.Register(labelKey_, ParseContext::DefinedLabels) && context_.extended != nullptr) {
        NoteForwardReference(labelKey_);
    }
}

bool ExpressionParser::ParseExpression(ExpressionNode& out) {
    const DepthGuard guard(context_.depth, scanner_.TokenLineNumber());
    return ParseLevel(Level::Or, out);
}

bool ExpressionParser::ParseAndTerm(ExpressionNode& out) {
    return ParseLevel(Level::And, out);
}
bool ExpressionParser::ParseRelation(ExpressionNode& out) {
    return ParseLevel(Level::Relation, out);
}
bool ExpressionParser::ParseSum(ExpressionNode& out) {
    return ParseLevel(Level::Sum, out);
}
bool ExpressionParser::ParseProduct(ExpressionNode& out) {
    return ParseLevel(Level::Product, out);
}
bool ExpressionParser::ParsePower(ExpressionNode& out) {
    return ParseLevel(Level::Power, out);
}

bool ExpressionParser::ParseNotTerm(ExpressionNode& out) {
    return ParsePrefixed(tkNot, ekNot, out);
}

bool ExpressionParser::ParseSignedFactor(ExpressionNode& out) {
    return ParsePrefixed(tkMinus, ekNegate, out);
}

bool ExpressionParser::ParseOperand(Level level, ExpressionNode& out) {
    switch (level) {
        case Level::Or:
            return ParseAndTerm(out);
        case Level::And:
            return ParseNotTerm(out);
        case Level::Relation:
            return ParseSum(out);
        case Level::Sum:
            return ParseProduct(out);
        case Level::Product:
            return ParseSignedFactor(out);
        case Level::Power:
            return ParsePrimary(out);
    }
    return false;
}

bool ExpressionParser::ParseLevel(Level level, ExpressionNode& out) {
    ExpressionNode left;
    if (!ParseOperand(level, left)) {
        return false;
    }
    return Tail(level, std::move(left), out);
}

bool ExpressionParser::Tail(Level level, ExpressionNode left, ExpressionNode& out) {
    // Where each operator of the chain so far was read, and which it was.
    std::vector<std::pair<int32_t, int32_t>> chain;
    for (;;) {
        const int32_t p0 = scanner_.Position();
        const int32_t kind = OperatorKind(static_cast<int>(level), scanner_.Token());
        if (kind == 0) {
            // The token is left for the caller. Only the outermost level
            // records the move back: every inner level's record would be
            // overwritten by the levels around it before anything reads it.
            if (level == Level::Or) {
                scanner_.Restore(p0, 1, std::string());
            } else {
                scanner_.SetPosition(p0);
            }
            out = std::move(left);
            return true;
        }
        ExpressionNode right;
        if (!ParseOperand(level, right)) {
            Fail(p0, 1, Shape::Operator, 0, std::string(OperatorText(kind)));
            for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
                Fail(it->first, 1, Shape::Operator, 0, std::string(OperatorText(it->second)));
            }
            return false;
        }
        chain.emplace_back(p0, kind);
        left = CExpression::MakeBinary(kind, std::move(left), std::move(right));
    }
}

bool ExpressionParser::ParsePrefixed(int16_t prefixToken, int32_t kind, ExpressionNode& out) {
    // Where each prefix was read; the operand goes into the output itself
    // when there is none, else into a new node that the prefixes wrap.
    std::vector<int32_t> prefixes;
    for (;;) {
        const int32_t p0 = scanner_.Position();
        if (scanner_.Token() == prefixToken) {
            prefixes.push_back(p0);
            continue;
        }
        scanner_.SetPosition(p0);  // a level below records before anything reads it
        break;
    }
    if (prefixes.empty()) {
        return prefixToken == tkNot ? ParseRelation(out) : ParsePower(out);
    }
    ExpressionNode operand;
    const bool parsed = prefixToken == tkNot ? ParseRelation(operand) : ParsePower(operand);
    if (!parsed) {
        for (auto it = prefixes.rbegin(); it != prefixes.rend(); ++it) {
            scanner_.Restore(*it, 1, std::string());
        }
        return false;
    }
    for (std::size_t i = 0; i < prefixes.size(); ++i) {
        operand = CExpression::MakeUnary(kind, std::move(operand));
    }
    out = std::move(operand);
    return true;
}

bool ExpressionParser::ParsePrimary(ExpressionNode& out) {
    const int32_t p0 = scanner_.Position();
    if (ParseLabelRef(out)) {
        RegisterLabelRef(*out);
        return true;
    }
    if (ParseIndexedName(out) || ParseConstant(out) || ParseDatumRef(out) ||
        ParseFunctionCall(out) || ParseName(out) || ParseParenthesized(out) ||
        ParseLogicalConstant(out)) {
        return true;
    }
    return Fail(p0, 1, Shape::Wrapped, kNoExpression);
}

bool ExpressionParser::ParseLabelName(std::string& name) {
    const int16_t token = scanner_.Token();
    if (token == tkWord) {
        const std::string_view text = scanner_.TokenTextAt(scanner_.Position());
        if (text.size() > kMaxLabelName) {
            return false;
        }
        name.assign(text);
        return true;
    }
    if (token != tkInteger) {
        return false;
    }
    std::string text = scanner_.TokenData().ToText();
    if (text.size() > kMaxLabelName) {
        return false;
    }
    name = std::move(text);
    return true;
}

bool ExpressionParser::ParseLabelRef(ExpressionNode& out) {
    const int32_t p0 = scanner_.Position();
    if (scanner_.Token() != tkWord || !IsLabelType(scanner_.TokenTextAt(scanner_.Position()))) {
        return Fail(p0, 2, Shape::Wrapped, kLabelTypeExpected);
    }
    const int32_t pType = scanner_.Position();
    if (scanner_.Token() != tkLeftParen) {
        return Fail(p0, 1, Shape::Wrapped, kLeftParenExpected);
    }
    std::string& name = labelName_;
    if (!ParseLabelName(name)) {
        return Fail(p0, 1, Shape::Wrapped, kNameExpected);
    }
    if (scanner_.Token() != tkRightParen) {
        return Fail(p0, 1, Shape::Wrapped, kClosingExpected);
    }
    VariantArray parts(1, 2);
    parts[1] = Variant::FromString(scanner_.TokenTextAt(pType));
    parts[2] = Variant::FromString(name);
    out = CExpression::Make(ekLabelRef, Variant::FromArray(std::move(parts)));
    return true;
}

bool ExpressionParser::ParseIndexedName(ExpressionNode& out) {
    const int32_t p0 = scanner_.Position();
    if (scanner_.Token() != tkWord) {
        return Fail(p0, 1, Shape::Wrapped, kWordExpected);
    }
    const int32_t pName = scanner_.Position();
    if (scanner_.Token() != tkLeftBracket) {
        return Fail(p0, 1, Shape::Wrapped, kLeftBracketExpected);
    }
    if (scanner_.Token() != tkInteger) {
        return Fail(p0, 1, Shape::Wrapped, kIndexExpected);
    }
    const int32_t pFirst = scanner_.Position();
    int32_t pSecond = 0;
    const int16_t token = scanner_.Token();
    if (token == tkComma) {
        if (scanner_.Token() != tkInteger) {
            return Fail(p0, 1, Shape::Wrapped, kIndexExpected);
        }
        pSecond = scanner_.Position();
        if (scanner_.Token() != tkRightBracket) {
            return Fail(p0, 1, Shape::Wrapped, kRightBracketExpected);
        }
    } else if (token != tkRightBracket) {
        return Fail(p0, 1, Shape::Wrapped, kRightBracketExpected);
    }
    VariantArray parts(1, 0);
    parts.Append(scanner_.TokenDataAt(pName));
    parts.Append(Variant::FromInteger(pSecond != 0 ? 2 : 1));
    parts.Append(scanner_.TokenDataAt(pFirst));
    if (pSecond != 0) {
        parts.Append(scanner_.TokenDataAt(pSecond));
    }
    out = CExpression::Make(ekIndexedName, Variant::FromArray(std::move(parts)));
    return true;
}

bool ExpressionParser::ParseConstant(ExpressionNode& out) {
    const int32_t p0 = scanner_.Position();
    if (ParseSignedConstant(out) || ParseUnsignedConstant(out)) {
        return true;
    }
    return Fail(p0, 1, Shape::Wrapped, kNoExpression);
}

bool ExpressionParser::ParseSignedConstant(ExpressionNode& out) {
    const int32_t p0 = scanner_.Position();
    if (scanner_.Token() != tkMinus) {
        return Fail(p0, 1, Shape::Wrapped, kMinusExpected);
    }
    ExpressionNode literal;
    if (!ParseLiteral(literal)) {
        return Fail(p0, 1, Shape::Plain, kLiteralAfterMinus);
    }
    out = CExpression::MakeUnary(ekNegate, std::move(literal));
    return true;
}

bool ExpressionParser::ParseUnsignedConstant(ExpressionNode& out) {
    const int32_t p0 = scanner_.Position();
    ExpressionNode literal;
    if (!ParseLiteral(literal)) {
        return Fail(p0, 1, Shape::Plain, kLiteralAfterMinus);
    }
    out = CExpression::MakeUnary(ekWrapped, std::move(literal));
    return true;
}

bool ExpressionParser::ParseLiteral(ExpressionNode& out) {
    const int32_t p0 = scanner_.Position();
    int32_t kind = 0;
    switch (scanner_.Token()) {
        case tkInteger:
            kind = ekInteger;
            break;
        case tkReal:
            kind = ekReal;
            break;
        case tkString:
            kind = ekText;
            break;
        case tkColonNumber:
            kind = ekColonNumber;
            break;
        default:
            return Fail(p0, 1, Shape::Plain, kLiteralExpected);
    }
    out = CExpression::Make(kind, scanner_.TokenData());
    return true;
}

bool ExpressionParser::ParseDatumRef(ExpressionNode& out) {
    const int32_t p0 = scanner_.Position();
    if (scanner_.Token() != tkWord || scanner_.TokenTextAt(scanner_.Position()) != "DAT") {
        return Fail(p0, 1, Shape::Wrapped, kWordExpected, "[DAT]");
    }
    VariantArray parts(1, 0);
    parts.Append(Variant::FromString("DAT"));
    parts.Append(Variant::FromInteger(1));
    if (scanner_.Token() != tkLeftParen) {
        return Fail(p0, 1, Shape::Wrapped, kLeftParenExpected);
    }
    std::string name;
    if (!ParseLabelName(name)) {
        return Fail(p0, 1, Shape::Wrapped, kNameExpected);
    }
    if (name.size() > kMaxDatumName) {
        return Fail(p0, 1, Shape::Plain, kDatumNameTooLong);
    }
    parts.Append(Variant::FromString(std::move(name)));
    const int32_t p1 = scanner_.Position();
    if (scanner_.Token() == tkMinus) {
        if (!ParseLabelName(name)) {
            return Fail(p0, 1, Shape::Wrapped, kNameExpected);
        }
        if (name.size() > kMaxDatumName) {
            return Fail(p0, 1, Shape::Plain, kDatumNameTooLong);
        }
        parts.Append(Variant::FromString(std::move(name)));
        parts[2] = Variant::FromInteger(2);
    } else {
        Fail(p1, 1, Shape::Wrapped, kLeftParenExpected);
    }
    if (scanner_.Token() != tkRightParen) {
        return Fail(p0, 1, Shape::Wrapped, kClosingExpected);
    }
    out = CExpression::Make(ekDatumRef, Variant::FromArray(std::move(parts)));
    return true;
}

bool ExpressionParser::ParseFunctionCall(ExpressionNode& out) {
    const int32_t p0 = scanner_.Position();
    if (scanner_.Token() != tkWord) {
        return Fail(p0, 1, Shape::Wrapped, kWordExpected);
    }
    const int32_t pName = scanner_.Position();
    if (scanner_.Token() != tkLeftParen) {
        return Fail(p0, 1, Shape::Wrapped, kLeftParenExpected);
    }
    VariantArray parts(1, 0);
    parts.Append(scanner_.TokenDataAt(pName));
    parts.Append(Variant::FromInteger(0));
    ExpressionNode argument;
    if (ParseExpression(argument)) {
        parts.Append(Variant::FromObject(std::move(argument)));
        int16_t count = 1;
        for (;;) {
            ExpressionNode further;
            if (!nextParameter_ || !nextParameter_(further)) {
                break;
            }
            parts.Append(Variant::FromObject(std::move(further)));
            ++count;
        }
        parts[2] = Variant::FromInteger(count);
    }
    if (scanner_.Token() != tkRightParen) {
        return Fail(p0, 1, Shape::Wrapped, kClosingExpected);
    }
    out = CExpression::Make(ekFunctionCall, Variant::FromArray(std::move(parts)));
    return true;
}

bool ExpressionParser::ParseName(ExpressionNode& out) {
    const int32_t p0 = scanner_.Position();
    if (scanner_.Token() != tkWord) {
        return Fail(p0, 2, Shape::Wrapped, kWordExpected);
    }
    out = CExpression::Make(ekWord, scanner_.TokenData());
    return true;
}

bool ExpressionParser::ParseParenthesized(ExpressionNode& out) {
    const int32_t p0 = scanner_.Position();
    if (scanner_.Token() != tkLeftParen) {
        return Fail(p0, 1, Shape::Wrapped, kLeftParenExpected);
    }
    ExpressionNode inner;
    if (!ParseExpression(inner)) {
        return Fail(p0, 1, Shape::Wrapped, kNoExpression);
    }
    if (scanner_.Token() != tkRightParen) {
        return Fail(p0, 1, Shape::Wrapped, kClosingExpected);
    }
    out = CExpression::MakeUnary(ekParenthesized, std::move(inner));
    return true;
}

bool ExpressionParser::ParseAssignTarget(ExpressionNode& out) {
    const int32_t p0 = scanner_.Position();
    if (scanner_.Token() != tkWord) {
        return Fail(p0, 2, Shape::Plain, kTargetNotWord);
    }
    const int32_t pName = scanner_.Position();
    if (scanner_.Token() != tkEquals) {
        return Fail(p0, 2, Shape::Wrapped, kEqualsExpected);
    }
    const int32_t p1 = scanner_.Position();
    const int16_t token = scanner_.Token();
    const std::string_view word =
        token == tkWord ? scanner_.TokenTextAt(scanner_.Position()) : std::string_view();
    if (word != "ASSIGN" && word != "OBTAIN" && word != "VALUE") {
        return Fail(p0, 1, Shape::Plain, kAssignExpected);
    }
    scanner_.Restore(p1, 3, std::string());
    out = CExpression::Make(ekAssignTarget, scanner_.TokenDataAt(pName));
    return true;
}

}  // namespace vantreel
