#include "DemoModel.h"

#include "dmis/CExpression.h"
#include "dmis/CExpressions.h"
#include "dmis/CProgram.h"
#include "dmis/CStatement.h"
#include "dmis/CStatements.h"

#include <initializer_list>

namespace vantreel::cli {
namespace {

std::unique_ptr<CExpression> Word(const char* word) {
    return CExpression::Make(ekWord, Variant::FromString(word));
}

std::unique_ptr<CExpression> Real(double value) {
    return CExpression::Make(ekReal, Variant::FromDouble(value));
}

std::unique_ptr<CExpression> Integer(int32_t value) {
    return CExpression::Make(ekInteger, Variant::FromLong(value));
}

std::unique_ptr<CExpression> Wrapped(std::unique_ptr<CExpression> literal) {
    return CExpression::MakeUnary(ekWrapped, std::move(literal));
}

template <class... Parameters>
CStatement& Add(CStatements& block, const char* type, std::unique_ptr<CExpression> lValue,
                Parameters... parameters) {
    auto statement = std::make_unique<CStatement>();
    statement->SetStatementType(type);
    if (lValue) {
        statement->SetLValue(std::move(lValue));
    }
    (statement->objExpressions->AddExpression(std::move(parameters)), ...);
    return block.AddStatement(std::move(statement));
}

}  // namespace

std::unique_ptr<CProgram> BuildDemoModel() {
    auto program = std::make_unique<CProgram>();
    program->SetName("'DEMO PLATE',05.2");
    CStatements& top = *program->objStatements;

    Add(top, "UNITS", nullptr, Word("MM"), Word("ANGDEC"));
    Add(top, "FEAT", CExpression::MakeLabelRef("F", "HOLE-1"), Word("CIRCLE"), Word("INNER"),
        Word("CART"), Real(10), Real(20.5), Real(0), Real(0), Real(0), Real(1), Real(12.25));

    CStatement& meas = Add(top, "MEAS", nullptr, Word("CIRCLE"),
                           CExpression::MakeLabelRef("F", "HOLE-1"), Integer(4));
    for (const double angle : {0.0, 90.0, 180.0, 270.0}) {
        Add(*meas.objStatements, "PTMEAS", nullptr, Word("CART"), Real(angle / 10), Real(20.5),
            Real(-2), Real(0), Real(1), Real(0));
    }
    Add(*meas.objStatements, "ENDMES", nullptr);

    CStatement& loop = Add(top, "DO", nullptr, Word("I"), Integer(1), Integer(3), Integer(1));
    Add(*loop.objStatements, "OUTPUT", nullptr, CExpression::MakeLabelRef("FA", "HOLE-1"));
    Add(*loop.objStatements, "ENDDO", nullptr);

    CStatement& test =
        Add(top, "IF", nullptr,
            CExpression::MakeUnary(
                ekParenthesized,
                CExpression::MakeBinary(
                    ekGt, Word("I"),
                    CExpression::MakeBinary(ekAdd, Wrapped(Integer(2)), Wrapped(Real(0.5))))));
    CStatement& ifBlock = Add(*test.objStatements, "IfBlock", nullptr);
    Add(*ifBlock.objStatements, "TEXT", nullptr, Word("OPER"),
        CExpression::Make(ekText, Variant::FromString("\"Done\"")));
    CStatement& elseBlock = Add(*test.objStatements, "ElseBlock", nullptr);
    Add(*elseBlock.objStatements, "TEXT", nullptr, Word("OPER"),
        CExpression::Make(ekText, Variant::FromString("\"Again\"")));
    return program;
}

}  // namespace vantreel::cli
