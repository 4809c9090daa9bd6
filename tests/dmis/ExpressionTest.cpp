#include "ParseHelpers.h"

namespace vantreel::test {
namespace {

// Parses text (one logical line) with one routine of the expression parser.
class ExpressionTest : public ParserTest {
  protected:
    enum class Entry { Parameter, Expression };

    std::string Parse(const std::string& text, Entry entry = Entry::Expression,
                      bool describe = true) {
        program_ = std::make_unique<CProgram>();
        scanner_ = std::make_unique<Scanner>();
        // A word before the text, as a statement word stands before its
        // parameters: at position 0 the scanner keeps only weightier messages.
        scanner_->ScanText("XX " + text, *program_, "t");
        scanner_->SetPosition(1);
        parser_ =
            std::make_unique<ExpressionParser>(*scanner_, context_, [this](ExpressionNode& out) {
                const int32_t p = scanner_->Position();
                if (scanner_->Token() != tkComma) {
                    scanner_->Restore(p, 2, std::string());
                    return false;
                }
                return parser_->ParseParameter(out);
            });
        ExpressionNode node = std::make_unique<CExpression>();
        ok_ = entry == Entry::Expression ? parser_->ParseExpression(node)
                                         : parser_->ParseParameter(node);
        result_ = std::move(node);
        return ok_ ? (describe ? Describe(*result_) : "parsed") : "failed";
    }

    ParseContext context_;
    std::unique_ptr<CProgram> program_;
    std::unique_ptr<Scanner> scanner_;
    std::unique_ptr<ExpressionParser> parser_;
    bool ok_ = false;
    ExpressionNode result_;
};

struct TreeCase {
    const char* source;
    const char* tree;
};

TEST_F(ExpressionTest, PrecedenceAndAssociativity) {
    const TreeCase cases[] = {
        {"U+W*Z", "1(U, 3(W, Z))"},
        {"A-B-C", "2(2(A, B), C)"},
        {"2**3**2", "5(5(10(2), 10(3)), 10(2))"},
        {"-A+B", "1(6(A), B)"},
        {"--A", "6(6(A))"},
        {"A/B", "4(A, B)"},
        {"X .LT. 3 .AND. .NOT. Y .EQ. 2", "25(22(X, 10(3)), 18(19(Y, 10(2))))"},
        {"A .OR. B .AND. C", "17(A, 25(B, C))"},
        {".NOT. .NOT. A", "18(18(A))"},
        {"A.NE.B .LE. C", "21(20(A, B), C)"},
        {"A.GT.B.GE.C", "24(23(A, B), C)"},
        {"(1+2)*3", "3(26(1(10(1), 10(2))), 10(3))"},
        {"2**-1", "5(10(2), 6(1))"},
        {"-2.5*X", "3(6(10(2.5)), X)"},
        {"'ABC'+12:30:15", "1(10('ABC'), 10(12:30:15))"},
    };
    for (const TreeCase& c : cases) {
        EXPECT_EQ(Parse(c.source), c.tree) << c.source;
    }
}

TEST_F(ExpressionTest, PrimaryAlternatives) {
    const TreeCase cases[] = {
        {"F(C1)", "9[F;C1]"},
        {"FA(P-1.5)", "9[FA;P-1.5]"},
        {"SIN(X)", "27[SIN;1;X]"},
        {"NAME()", "27[NAME;0]"},
        {"MAX(A,B+1,3)", "27[MAX;3;A;1(B, 10(1));10(3)]"},
        {"ARR[2,3]", "16[ARR;2;2;3]"},
        {"ARR[7]", "16[ARR;1;7]"},
        {"DAT(A-B)", "15[DAT;2;A;B]"},
        {"DAT(A)", "15[DAT;1;A]"},
        {"DAT(ABC)", "27[DAT;1;ABC]"},
        {"SW(1)", "27[SW;1;1]"},  // SW makes the scanner read 1 as a name
        {"-5", "6(10(5))"},
        {"7", "10(7)"},
        {"NAME", "NAME"},
        {"((A))", "26(26(A))"},
    };
    for (const TreeCase& c : cases) {
        EXPECT_EQ(Parse(c.source), c.tree) << c.source;
    }
}

TEST_F(ExpressionTest, ParametersTakeTheQuickPath) {
    const TreeCase cases[] = {
        {"5,", "5"},       {"5", "5"},           {"5+1,", "1(10(5), 10(1))"}, {"-5", "6(5)"},
        {"-.TRUE.", "29"}, {".FALSE.,X", "30"},  {"WORD,", "WORD"},           {"'T',", "'T'"},
        {"1.5", "1.5"},    {"12:30,", "12:30:"}, {"-A+B", "1(6(A), B)"},
    };
    for (const TreeCase& c : cases) {
        EXPECT_EQ(Parse(c.source, Entry::Parameter), c.tree) << c.source;
    }
    // The quick path leaves the comma as the next token.
    Parse("5,6", Entry::Parameter);
    EXPECT_EQ(scanner_->Token(), tkComma);
    EXPECT_EQ(scanner_->Severity(), 3);
}

struct LoneReferenceCase {
    const char* source;
    const char* tree;
    int32_t position;  // where the parameter ends
    int16_t next;      // the token after it
    bool registered;   // whether F(P) is a defined label afterwards
};

// A parameter that is one label reference takes a short way; the tree, the
// place, the severity and the registered label are those of the full grammar,
// and so are the cases that only start like one.
TEST_F(ExpressionTest, ALoneLabelReferenceEndsAsTheFullGrammarEnds) {
    const LoneReferenceCase cases[] = {
        {"F(P),G", "9[F;P]", 5, tkComma, true},
        {"F(P)", "9[F;P]", 5, tkEndOfLine, true},
        {"-F(P),G", "6(9[F;P])", 6, tkComma, true},
        {"F(P)+1,", "1(9[F;P], 10(1))", 7, tkComma, true},
        {"F(P)(", "9[F;P]", 5, tkLeftParen, true},
        {"F(P) G", "9[F;P]", 5, tkWord, true},
        {"F(,1", "F", 2, tkLeftParen, false},
        {"F(P", "F", 2, tkLeftParen, false},
        {"F(10),G", "9[F;10]", 5, tkComma, false},
        {"FOO(P),G", "27[FOO;1;P]", 5, tkComma, false},
        {"FA(P)[1],", "9[FA;P]", 5, tkLeftBracket, false},
    };
    for (const LoneReferenceCase& c : cases) {
        context_.Clear();
        EXPECT_EQ(Parse(c.source, Entry::Parameter), c.tree) << c.source;
        EXPECT_EQ(scanner_->Severity(), 1) << c.source;
        EXPECT_EQ(scanner_->Message(), "") << c.source;
        EXPECT_EQ(scanner_->Position(), c.position) << c.source;
        EXPECT_EQ(scanner_->Token(), c.next) << c.source;
        EXPECT_EQ(context_.IsRegistered("F(P)", ParseContext::DefinedLabels), c.registered)
            << c.source;
    }
}

TEST_F(ExpressionTest, LabelReferencesRegisterTheirLabel) {
    EXPECT_EQ(Parse("F(C1)+1"), "1(9[F;C1], 10(1))");
    EXPECT_TRUE(context_.IsRegistered("F(C1)", ParseContext::DefinedLabels));
    EXPECT_TRUE(context_.IsRegistered("f(c1)", ParseContext::DefinedLabels));
    EXPECT_FALSE(context_.IsRegistered("F(C1)", ParseContext::JumpLabels));
}

TEST_F(ExpressionTest, LabelNamesHaveAtMost64Characters) {
    const std::string name64(64, 'N');
    EXPECT_EQ(Parse("F(" + name64 + ")"), "9[F;" + name64 + "]");
    const std::string name65(65, 'N');
    EXPECT_EQ(Parse("F(" + name65 + ")"), "27[F;1;" + name65 + "]");
}

struct FailureCase {
    const char* source;
    int16_t severity;
    const char* message;
};

TEST_F(ExpressionTest, FailuresLeaveTheLastMessage) {
    const FailureCase cases[] = {
        {"A.EQ.", 1, "Operator .EQ. is not followed by a valid operand (line 1)"},
        {"A+B*", 1, "Operator + is not followed by a valid operand (line 1)"},
        {"A+B+", 1, "Operator + is not followed by a valid operand (line 1)"},
        {"2**-X", 1, "Operator ** is not followed by a valid operand (line 1)"},
        {",", 1, "Syntax error: Value or expression expected (line 1)"},
        {"(A", 1, "Syntax error: Value or expression expected (line 1)"},
        {".TRUE.", 1, "Syntax error: Value or expression expected (line 1)"},
    };
    for (const FailureCase& c : cases) {
        EXPECT_EQ(Parse(c.source), "failed") << c.source;
        EXPECT_EQ(scanner_->Severity(), c.severity) << c.source;
        EXPECT_EQ(scanner_->Message(), c.message) << c.source;
    }
}

TEST_F(ExpressionTest, AssignTargets) {
    program_ = std::make_unique<CProgram>();
    scanner_ = std::make_unique<Scanner>();
    scanner_->ScanText("X=ASSIGN/1\nY=FEAT/1\n7=ASSIGN", *program_, "t");
    ExpressionParser parser(*scanner_, context_, nullptr);
    ExpressionNode node = std::make_unique<CExpression>();
    ASSERT_TRUE(parser.ParseAssignTarget(node));
    EXPECT_EQ(Describe(*node), "28[X]");
    EXPECT_EQ(scanner_->Token(), tkWord);
    EXPECT_EQ(scanner_->TokenTextAt(scanner_->Position()), "ASSIGN");

    scanner_->SetPosition(6);  // Y=FEAT
    EXPECT_FALSE(parser.ParseAssignTarget(node));
    EXPECT_EQ(scanner_->Severity(), 1);
    EXPECT_EQ(scanner_->Message(), "ASSIGN, OBTAIN or VALUE expected after \"=\" (line 2)");
    EXPECT_EQ(scanner_->Position(), 6);

    scanner_->SetPosition(12);  // 7=ASSIGN
    EXPECT_FALSE(parser.ParseAssignTarget(node));
    EXPECT_EQ(scanner_->Severity(), 2);
}

TEST_F(ExpressionTest, DeepNestingEndsWithAnException) {
    const std::string deep = std::string(100000, '(') + "A" + std::string(100000, ')');
    EXPECT_THROW(Parse(deep), NestedTooDeeply);
    EXPECT_EQ(context_.depth, 0);
    // Long flat chains are no nesting at all.
    std::string chain = "A";
    for (int i = 0; i < 100000; ++i) {
        chain += "+B";
    }
    EXPECT_EQ(Parse(chain, Entry::Expression, false), "parsed");
    EXPECT_EQ(result_->BuildString(), chain);
}

}  // namespace
}  // namespace vantreel::test
