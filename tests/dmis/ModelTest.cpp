#include "dmis/model/CComments.h"
#include "dmis/model/CExpression.h"
#include "dmis/model/CExpressions.h"
#include "dmis/model/CProgram.h"
#include "dmis/model/CStatement.h"
#include "dmis/model/CStatements.h"
#include "vantreel/Error.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

namespace vantreel {
namespace {

using Node = std::unique_ptr<CExpression>;

Node Word(const char* word) {
    return CExpression::Make(ekWord, Variant::FromString(word));
}
Node Int(int32_t value) {
    return CExpression::Make(ekInteger, Variant::FromLong(value));
}
Node Real(double value) {
    return CExpression::Make(ekReal, Variant::FromDouble(value));
}
Node Wrap(Node literal) {
    return CExpression::MakeUnary(ekWrapped, std::move(literal));
}
Node Bin(int32_t kind, Node left, Node right) {
    return CExpression::MakeBinary(kind, std::move(left), std::move(right));
}

std::vector<Variant> Items(std::initializer_list<const char*> names) {
    std::vector<Variant> items;
    for (const char* name : names) {
        items.push_back(Variant::FromString(name));
    }
    return items;
}

Node ColonNumber(int32_t hours, const char* minutes, const char* seconds) {
    VariantArray parts(1, 4);
    parts[1] = Variant::FromInteger(27);
    parts[2] = Variant::FromLong(hours);
    parts[3] = Variant::FromString(minutes);
    parts[4] = Variant::FromString(seconds);
    return CExpression::Make(ekColonNumber, Variant::FromArray(std::move(parts)));
}

Node Call(const char* name, std::vector<Node> arguments) {
    std::vector<Variant> items;
    for (Node& argument : arguments) {
        items.push_back(Variant::FromObject(std::move(argument)));
    }
    return CExpression::MakeNamedList(ekFunctionCall, name, std::move(items));
}

struct ExpressionCase {
    const char* name;
    std::function<Node()> build;
    const char* text;
};

TEST(CExpression, BuildStringOfHandBuiltTrees) {
    const ExpressionCase cases[] = {
        {"product binds tighter, no blanks",
         [] { return Bin(ekAdd, Wrap(Int(1)), Bin(ekMultiply, Wrap(Int(2)), Wrap(Int(3)))); },
         "1+2*3"},
        {"parenthesised",
         [] {
             return CExpression::MakeUnary(
                 ekParenthesized,
                 Bin(ekAdd, Wrap(Int(1)), Bin(ekMultiply, Wrap(Int(2)), Wrap(Int(3)))));
         },
         "(1+2*3)"},
        {"every binary operator",
         [] {
             Node chain = Word("A");
             for (const int32_t kind : {ekSubtract, ekDivide, ekPower, ekOr, ekEq, ekNe, ekLe, ekLt,
                                        ekGt, ekGe, ekAnd}) {
                 chain = Bin(kind, std::move(chain), Word("B"));
             }
             return chain;
         },
         "A-B/B**B.OR.B.EQ.B.NE.B.LE.B.LT.B.GT.B.GE.B.AND.B"},
        {"unary minus and not",
         [] { return CExpression::MakeUnary(ekNot, CExpression::MakeUnary(ekNegate, Real(0.5))); },
         ".NOT.-0.5"},
        {"text constant", [] { return CExpression::Make(ekText, Variant::FromString("\"ABC\"")); },
         "'ABC'"},
        {"text constant with inner quotes",
         [] { return CExpression::Make(ekText, Variant::FromString("\"it''s \"x\"\"")); },
         "'it''s \"x\"'"},
        {"label reference", [] { return CExpression::MakeLabelRef("F", "C1"); }, "F(C1)"},
        {"datum pair",
         [] {
             return CExpression::MakeNamedList(ekDatumRef, "DAT", Items({"A", "B"}));
         },
         "DAT(A-B)"},
        {"single datum", [] { return CExpression::MakeNamedList(ekDatumRef, "DAT", Items({"A"})); },
         "DAT(A)"},
        {"indexed name prints parentheses",
         [] {
             std::vector<Variant> indices;
             indices.push_back(Variant::FromLong(2));
             indices.push_back(Variant::FromLong(3));
             return CExpression::MakeNamedList(ekIndexedName, "ARR", std::move(indices));
         },
         "ARR(2,3)"},
        {"call without arguments", [] { return Call("NAME", {}); }, "NAME()"},
        {"call with arguments",
         [] {
             std::vector<Node> arguments;
             arguments.push_back(Word("X"));
             arguments.push_back(Bin(ekAdd, Word("Y"), Wrap(Int(1))));
             return Call("MAX", std::move(arguments));
         },
         "MAX(X,Y+1)"},
        {"colon number", [] { return ColonNumber(12, "30", "15.5"); }, "12:30:15.5"},
        {"colon number without seconds", [] { return ColonNumber(10, "05", ""); }, "10:05:"},
        {"true", [] { return CExpression::Make(ekTrue); }, ".TRUE."},
        {"false", [] { return CExpression::Make(ekFalse); }, ".FALSE."},
        {"integer", [] { return Int(-42); }, "-42"},
        {"real", [] { return Real(12.25); }, "12.25"},
        {"assignment target",
         [] { return CExpression::Make(ekAssignTarget, Variant::FromString("X")); }, "X"},
        {"other kind prints its value",
         [] { return CExpression::Make(99, Variant::FromInteger(7)); }, "7"},
        {"empty node", [] { return std::make_unique<CExpression>(); }, ""},
    };
    for (const ExpressionCase& c : cases) {
        EXPECT_EQ(c.build()->BuildString(), c.text) << c.name;
    }
}

TEST(CExpression, MalformedValueGivesErrorNotCrash) {
    const Node node = CExpression::Make(ekAdd, Variant::FromString("not an array"));
    EXPECT_THROW((void)node->BuildString(), Error);
}

std::unique_ptr<CStatement> Statement(const char* type, Node lValue, std::vector<Node> parameters) {
    auto statement = std::make_unique<CStatement>();
    statement->SetStatementType(type);
    if (lValue) {
        statement->SetLValue(std::move(lValue));
    }
    for (Node& parameter : parameters) {
        statement->objExpressions->AddExpression(std::move(parameter));
    }
    return statement;
}

std::vector<Node> Nodes(std::initializer_list<const char*> words) {
    std::vector<Node> nodes;
    for (const char* word : words) {
        nodes.push_back(Word(word));
    }
    return nodes;
}

TEST(CStatement, BuildString) {
    EXPECT_EQ(Statement("FEAT", CExpression::MakeLabelRef("F", "C1"), Nodes({"CIRCLE", "INNER"}))
                  ->BuildString(),
              "F(C1)=FEAT/CIRCLE,INNER");
    EXPECT_EQ(Statement("ENDMES", nullptr, {})->BuildString(), "ENDMES");
    EXPECT_EQ(Statement("", nullptr, Nodes({"CIRCLE", "INNER"}))->BuildString(), "/CIRCLE,INNER");
    EXPECT_EQ(Statement("LABEL", nullptr, Nodes({"P1"}))->BuildString(), "(P1)");
    EXPECT_EQ(Statement("LABEL", Word("X"), Nodes({"P1"}))->BuildString(), "(P1)");
    EXPECT_EQ(Statement("", nullptr, {})->BuildString(), "");
    // A statement without a left-hand side has no node for it.
    auto statement = std::make_unique<CStatement>();
    EXPECT_EQ(statement->LValue(), nullptr);
}

// Reading an absent block or parameter list reads an empty one and makes
// nothing; the first statement or parameter put in makes it.
TEST(CStatement, BlockAndParametersAreMadeOnlyWhenFilled) {
    CStatement statement;
    const CStatement& reading = statement;
    EXPECT_EQ(reading.objStatements->Count(), 0);
    EXPECT_EQ(reading.objExpressions->Count(), 0);
    EXPECT_EQ(reading.BuildString(), "");
    EXPECT_EQ(statement.objStatements.get(), nullptr);
    EXPECT_EQ(statement.objExpressions.get(), nullptr);
    statement.objExpressions->AddExpression(Word("X"));
    ASSERT_NE(statement.objExpressions.get(), nullptr);
    EXPECT_EQ(reading.objExpressions->Count(), 1);
    EXPECT_EQ(statement.objStatements.get(), nullptr);
}

// Adds a statement to block and returns it.
CStatement& Add(CStatements& block, const char* type, std::vector<Node> parameters = {}) {
    return block.AddStatement(Statement(type, nullptr, std::move(parameters)));
}

std::string Listing(const CProgram& program) {
    std::ostringstream out;
    program.PrettyPrint(out);
    return out.str();
}

TEST(CProgram, EmptyProgramListsEndfilOnly) {
    CProgram program;
    EXPECT_EQ(Listing(program), "ENDFIL\n");
}

TEST(CProgram, ListingIndentsBlocksAndWritesClosingLines) {
    CProgram program;
    program.SetName("'PLATE',05.2");
    program.SetFileName("'PLATE'");
    CStatements& top = *program.objStatements;
    Add(top, "UNITS", Nodes({"MM", "ANGDEC"}));

    CStatement& meas = Add(top, "MEAS", Nodes({"CIRCLE", "F1", "3"}));
    Add(*meas.objStatements, "PTMEAS", Nodes({"CART", "1", "2", "3"}));
    Add(*meas.objStatements, "ENDMES");

    CStatement& test = Add(top, "IF", Nodes({"X"}));
    Add(*Add(*test.objStatements, "IfBlock").objStatements, "TEXT", Nodes({"A"}));
    CStatement& elseBlock = Add(*test.objStatements, "ElseBlock");
    CStatement& loop = Add(*elseBlock.objStatements, "DO", Nodes({"I", "1", "2"}));
    Add(*loop.objStatements, "GOTO", Nodes({"CART"}));

    CStatement& select = Add(top, "SELECT", Nodes({"K"}));
    CStatement& caseOne = Add(*select.objStatements, "CASE", Nodes({"1"}));
    Add(*caseOne.objStatements, "TEXT", Nodes({"ONE"}));
    Add(*select.objStatements, "DFTCAS");

    const char* expected =
        "DMISMN/'PLATE',05.2\n"
        "FILNAM/'PLATE'\n"
        "    UNITS/MM,ANGDEC\n"
        "    MEAS/CIRCLE,F1,3\n"
        "        PTMEAS/CART,1,2,3\n"
        "        ENDMES\n"
        "    ENDMES\n"
        "    IF/X\n"
        "        TEXT/A\n"
        "    Else\n"
        "        DO/I,1,2\n"
        "            GOTO/CART\n"
        "        ENDDO\n"
        "    ENDIF\n"
        "    SELECT/K\n"
        "        CASE/1\n"
        "            TEXT/ONE\n"
        "        ENDCASE\n"
        "        DFTCAS\n"
        "        ENDCASE\n"
        "    ENDSELECT\n"
        "ENDFIL\n";
    EXPECT_EQ(Listing(program), expected);
}

TEST(CProgram, IfWithoutElseClosesAfterIfBlock) {
    CProgram program;
    CStatement& test = Add(*program.objStatements, "IF", Nodes({"X"}));
    Add(*Add(*test.objStatements, "IfBlock").objStatements, "TEXT", Nodes({"A"}));
    EXPECT_EQ(Listing(program), "    IF/X\n        TEXT/A\n    ENDIF\nENDFIL\n");
}

TEST(CStatements, PositionsAreOneBased) {
    CStatements statements;
    CStatement& first = Add(statements, "A");
    CStatement& second = Add(statements, "B");
    EXPECT_EQ(statements.Count(), 2);
    EXPECT_EQ(&statements.Item(1), &first);
    EXPECT_EQ(&statements.Item(2), &second);
    for (const int32_t bad : {0, 3, -1}) {
        try {
            (void)statements.Item(bad);
            ADD_FAILURE() << bad;
        } catch (const Error& error) {
            EXPECT_EQ(error.Number(), 9);
        }
    }
    std::string order;
    for (const CStatement& statement : statements) {
        order += statement.StatementType();
    }
    EXPECT_EQ(order, "AB");
    EXPECT_THROW(statements.AddStatement(nullptr), Error);
}

TEST(CStatements, NextVariableIsLastInFirstOut) {
    CStatements::SetNextVariable(Variant::FromString("I"));
    CStatements::SetNextVariable(Variant::FromString("J"));
    EXPECT_EQ(CStatements::NextVariable().String(), "J");
    EXPECT_EQ(CStatements::NextVariable().String(), "I");
    EXPECT_TRUE(CStatements::NextVariable().IsEmpty());
}

TEST(CComments, KeepOrderAndEmptyOnTerminate) {
    CComments comments;
    for (int32_t line : {3, 7}) {
        auto comment = std::make_unique<CComment>();
        comment->SetComment("$$ line " + std::to_string(line));
        comment->SetLineNumber(line);
        comments.AddComment(std::move(comment));
    }
    EXPECT_EQ(comments.Item(2).LineNumber(), 7);
    EXPECT_EQ(comments.Item(1).Comment(), "$$ line 3");
    comments.Terminate();
    EXPECT_EQ(comments.Count(), 0);
}

TEST(Teardown, ProgressIsCalledOncePerStatementAtEveryDepth) {
    CProgram program;
    CStatement& meas = Add(*program.objStatements, "MEAS");
    Add(*meas.objStatements, "PTMEAS");
    Add(*Add(*meas.objStatements, "DO").objStatements, "GOTO");
    Add(*program.objStatements, "ENDFIL");
    int calls = 0;
    program.Terminate([&] { ++calls; });
    EXPECT_EQ(calls, 5);
    EXPECT_EQ(program.objStatements, nullptr);
    EXPECT_EQ(program.objComments, nullptr);
    EXPECT_EQ(Listing(program), "ENDFIL\n");
    program.Terminate();  // a second time does nothing
}

TEST(Teardown, TerminatedStatementAndExpressionReleaseTheirParts) {
    auto statement = Statement("FEAT", CExpression::MakeLabelRef("F", "C1"), Nodes({"CIRCLE"}));
    statement->Terminate();
    EXPECT_EQ(statement->objStatements.get(), nullptr);
    EXPECT_EQ(statement->objExpressions.get(), nullptr);
    EXPECT_EQ(statement->LValue(), nullptr);
    EXPECT_EQ(statement->BuildString(), "FEAT");

    Node node = Bin(ekAdd, Word("A"), Word("B"));
    node->Terminate();
    EXPECT_FALSE(node->HasExpressions());
    EXPECT_EQ(node->BuildString(), "A+B");
}

// Trees far deeper than the stack could take with one frame per level.
constexpr int kDepth = 1'000'000;

TEST(Teardown, VeryDeepExpressionPrintsAndGoes) {
    Node chain = Word("A");
    for (int i = 0; i < kDepth; ++i) {
        chain = Bin(ekAdd, std::move(chain), Wrap(Int(1)));
    }
    const std::string text = chain->BuildString();
    EXPECT_EQ(text.size(), 1u + 2u * kDepth);
    EXPECT_EQ(text.substr(0, 6), "A+1+1+");
    chain.reset();

    Node nested = Word("X");
    for (int i = 0; i < kDepth; ++i) {
        nested = CExpression::MakeUnary(ekParenthesized, std::move(nested));
    }
    EXPECT_EQ(nested->BuildString().size(), 1u + 2u * kDepth);
}

TEST(Teardown, VeryDeepBlocksGo) {
    {
        auto root = std::make_unique<CStatement>();
        CStatement* innermost = root.get();
        for (int i = 0; i < kDepth; ++i) {
            innermost = &Add(*innermost->objStatements, "DO", Nodes({"I"}));
        }
    }  // destroyed here
    CProgram program;
    CStatement* innermost = &Add(*program.objStatements, "IF");
    for (int i = 0; i < kDepth; ++i) {
        innermost = &Add(*innermost->objStatements, "IfBlock");
    }
    int calls = 0;
    program.Terminate([&] { ++calls; });
    EXPECT_EQ(calls, kDepth + 1);
}

// The listing reaches the stream in large pieces: a listing of many times the
// piece size has every line, in order.
TEST(CProgram, LongListingKeepsEveryLineInOrder) {
    CProgram program;
    std::string expected;
    for (int32_t i = 0; i < 20000; ++i) {
        std::vector<Node> parameters = Nodes({"CART"});
        parameters.push_back(Int(i));
        CStatement& meas = Add(*program.objStatements, "MEAS", std::move(parameters));
        Add(*meas.objStatements, "PTMEAS", Nodes({"CART"}));
        expected += "    MEAS/CART," + std::to_string(i) + "\n        PTMEAS/CART\n    ENDMES\n";
    }
    EXPECT_EQ(Listing(program), expected + "ENDFIL\n");
}

// A statement that cannot be printed stops the listing after the last whole
// line: nothing of its own line is written.
TEST(CProgram, ListingStopsAfterTheLastWholeLine) {
    CProgram program;
    Add(*program.objStatements, "UNITS", Nodes({"MM"}));
    std::vector<Node> parameters = Nodes({"CART"});
    parameters.push_back(CExpression::Make(ekAdd, Variant::FromString("not an array")));
    Add(*program.objStatements, "PTMEAS", std::move(parameters));
    std::ostringstream out;
    EXPECT_THROW(program.PrettyPrint(out), Error);
    EXPECT_EQ(out.str(), "    UNITS/MM\n");
}

}  // namespace
}  // namespace vantreel
