#include "dmis/dialect/ExtendedRules.h"

#include "dmis/model/CExpression.h"
#include "dmis/model/CExpressions.h"
#include "dmis/model/CProgram.h"
#include "dmis/model/CStatement.h"
#include "dmis/model/CStatements.h"
#include "dmis/parse/Analyzer.h"
#include "dmis/parse/Expression.h"
#include "dmis/parse/ParseContext.h"
#include "dmis/scan/Scanner.h"

namespace vantreel {

bool StatementParser::IsBareStatement(std::string_view word) {
    if (context_.extended == nullptr || scanner_.TokenKindAt(scanner_.Position()) != tkEndOfLine) {
        return false;
    }
    // Words that close or divide a block stay the block's: a stray one is an
    // error in either dialect.
    // LABEL=CZONE has a parser of its own.
    if (word.starts_with("END") || word == "ELSE" || word == "CASE" || word == "CZONE") {
        return false;
    }
    context_.extended->warnings.Add(scanner_.TokenLineNumber(), kBareWord, std::string(word));
    return true;
}

bool StatementParser::TakeLaterDefinition(const std::string& key) {
    if (context_.extended == nullptr) {
        return false;
    }
    // The first definition after forward references is the definition they
    // meant; any later one defines the label again.
    const bool forward = context_.extended->forwardReferences.erase(key) > 0;
    context_.extended->warnings.Add(scanner_.TokenLineNumber(),
                                    forward ? kLabelBeforeDefinition : kLabelDefinedAgain, key);
    return true;
}

void ExpressionParser::NoteForwardReference(const std::string& key) {
    // F, FA and V labels may be defined any number of times anyway.
    if (key.starts_with("F(") || key.starts_with("FA(") || key.starts_with("V(")) {
        return;
    }
    context_.extended->forwardReferences.insert(key);
}

bool StatementParser::TakeUndeclared(const std::string& name) {
    if (context_.extended == nullptr) {
        return false;
    }
    context_.extended->warnings.Add(scanner_.TokenLineNumber(), kUndeclaredAssigned, name);
    if (context_.Register(name, ParseContext::DeclaredVariables)) {
        context_.extended->undeclared.emplace_back(name, scanner_.TokenLineNumber());
    }
    return true;
}

bool ExpressionParser::ParseLogicalConstant(ExpressionNode& out) {
    if (context_.extended == nullptr) {
        return false;
    }
    const int32_t p0 = scanner_.Position();
    const int16_t token = scanner_.Token();
    if (token != tkTrue && token != tkFalse) {
        scanner_.SetPosition(p0);
        return false;
    }
    context_.extended->warnings.Add(scanner_.TokenLineNumber(), kLogicalOperand,
                                    token == tkTrue ? ".TRUE." : ".FALSE.");
    out = CExpression::Make(token == tkTrue ? ekTrue : ekFalse);
    return true;
}

bool StatementParser::TakeVariablePoint(int16_t token) {
    if (context_.extended == nullptr || token != tkWord) {
        return false;
    }
    context_.extended->warnings.Add(scanner_.TokenLineNumber(), kVariablePointList,
                                    std::string(CurrentWord()));
    return true;
}

void CompleteExtendedProgram(CProgram& program, const ExtendedRules& rules) {
    if (rules.undeclared.empty() || !program.objStatements || program.objStatements->Count() == 0) {
        return;
    }
    auto declaration = std::make_unique<CStatement>();
    declaration->SetStatementType("DECL");
    declaration->SetLineNumber(rules.undeclared.front().second);
    for (const char* word : {"LOCAL", "VARIANT"}) {
        declaration->objExpressions->AddExpression(
            CExpression::Make(ekWord, Variant::FromString(word)));
    }
    for (const auto& [name, line] : rules.undeclared) {
        declaration->objExpressions->AddExpression(
            CExpression::Make(ekWord, Variant::FromString(name)));
    }
    std::unique_ptr<CStatement> last = program.objStatements->TakeLast();
    program.objStatements->AddStatement(std::move(declaration));
    program.objStatements->AddStatement(std::move(last));
}

}  // namespace vantreel
