#include "ParseHelpers.h"

#include "dmis/DmisFile.h"
#include "dmis/basic/BasicWords.h"
#include "dmis/basic/BasicWriter.h"
#include "vantreel/Error.h"

#include <unistd.h>
#include <cctype>
#include <filesystem>
#include <set>

namespace vantreel::test {
namespace {

class BasicWriterTest : public ParserTest {
  protected:
    // The Basic line of the last statement before ENDFIL in source.
    std::string LineOf(const std::string& source) {
        program_ = std::make_unique<CProgram>();
        const DmisFileResult result = ParseDmisText(source + "\nENDFIL\n", "t", *program_);
        EXPECT_TRUE(result.ok) << result.message << "\n" << source;
        if (!result.ok) {
            return "failed";
        }
        CStatements& statements = *program_->objStatements;
        return statements.Item(statements.Count() - 1).BuildForBas();
    }

    // Both modules of a program, with their line ends shown as |.
    std::pair<std::string, std::string> Modules(const std::string& source) {
        program_ = std::make_unique<CProgram>();
        const DmisFileResult result = ParseDmisText(source, "t", *program_);
        EXPECT_TRUE(result.ok) << result.message;
        std::ostringstream modMain, modSupport;
        program_->WriteToBas(modMain, modSupport);
        auto shown = [](std::string text) {
            std::string out;
            for (std::size_t i = 0; i < text.size(); ++i) {
                if (text.compare(i, 2, "\r\n") == 0) {
                    out += "|";
                    ++i;
                } else {
                    out += text[i];
                }
            }
            return out;
        };
        return {shown(modMain.str()), shown(modSupport.str())};
    }

    std::unique_ptr<CProgram> program_;
};

struct LineCase {
    const char* source;
    const char* basic;
};

TEST_F(BasicWriterTest, StatementLines) {
    const LineCase cases[] = {
        {"F(P1)=FEAT/CIRCLE,INNER", "DmsFEAT DmsF(\"P1\"), \"CIRCLE\", \"INNER\""},
        {"UNITS/MM,ANGDEC", "DmsUNITS \"MM\", \"ANGDEC\""},
        {"GOHOME", "DmsGOHOME"},
        {"DECL/REAL,X\nX=ASSIGN/X+1", "X = DmsASSIGN(\"X=ASSIGN/\" & \"X+1\",  X + 1)"},
        {"DECL/REAL,X\nX=ASSIGN/'a''b'", "X = DmsASSIGN(\"X=ASSIGN/\" & \"'a''b'\",  \"a'b\")"},
        {"DECL/REAL,X\nX=OBTAIN/FA(P1),3",
         "X = DmsOBTAIN(\"X=OBTAIN/FA(P1), 3\",  DmsFA(\"P1\"), 3)"},
        {"DECL/REAL,X\nX=VALUE/FA(P1),DIAM",
         "X = DmsVALUE(\"X=VALUE/FA(P1), DIAM\",  DmsFA(\"P1\"), \"DIAM\")"},
        {"CALL/M(PROBE),1,'A'", "Call PROBE(1, \"A\")"},
        {"JUMPTO/(L1)\n(L1)", "L1:"},
        {"(L1)\nJUMPTO/(L1)", "GoTo L1"},
        {"JUMPTO/(10)\n(10)", "10:"},
        {"(10)\nJUMPTO/(10)", "GoTo 10"},
        {"DECL/LOCAL,REAL,A", "Dim A As Single"},
        {"DECL/GLOBAL,INTGR,I,J", "Public I As Integer,J As Integer"},
        {"DECL/COMMON,BOOL,B", "Public B As Boolean"},
        {"DECL/LONG,N", "Public N As Long"},
        {"DECL/DOUBLE,D", "Public D As Double"},
        {"DECL/CHAR,20,S", "Public S As String * 20"},
        {"DECL/REAL,ARR[5]", "Public ARR(5) As Single"},
        {"DECL/VECTOR,V1", "Public V1 As VECTOR"},
        {"TEXT/OPER,'Hello'", "DmsTEXT \"OPER\", \"Hello\""},
        {"TEXT/QUERY,(ANSWER),20,AN,L,'Part?'",
         "DmsTEXT \"QUERY\", \"(ANSWER)\", 20, \"AN\", \"L\", \"Part?\""},
        {"DATSET/DAT(A),-ZDIR,ZORIG,-XDIR",
         "DmsDATSET DmsDAT(\"A\"), \"-ZDIR\", \"ZORIG\", \"-XDIR\""},
        {"SNSET/-PRBRAD", "DmsSNSET \"-PRBRAD\""},
        {"OUTPUT/FA(X)[1,2],TA(Y)", "DmsOUTPUT DmsFA(\"X\",1,2), DmsTA(\"Y\")"},
        {"CZ(Z1)=CZONE", "DmsCZONE DmsCZ(\"Z1\"),"},
    };
    for (const LineCase& c : cases) {
        EXPECT_EQ(LineOf(c.source), c.basic) << c.source;
    }
}

TEST_F(BasicWriterTest, ExpressionTexts) {
    const LineCase cases[] = {
        {"1 .GE. 2", "1>=2"},
        {"1 .GT. 2", "1 > 2"},
        {"U.EQ.B.OR.U.NE.C", "U = B Or U <> C"},
        {"U.LE.B.AND.U.LT.C", "U <= B And U < C"},
        {".NOT.U", "Not U"},
        {"2**3*4/5-6", "2 ^ 3 * 4 / 5 - 6"},
        {"-(U)", "-(U)"},
        {"SQRT(X)", "DmsSQRT(X)"},
        {"MYFUNC(X,1)", "MYFUNC(X,1)"},
        {"NOW()", "NOW()"},
        {"INNER", "\"INNER\""},
        {"MYVAR", "MYVAR"},
        {"'it''s'", "\"it's\""},
        {"12:30:05", "\"12:30:05\""},
        {"DAT(A-B)", "DmsDAT(\"A-B\")"},
        {"ARR[2,3]", "DmsARR(\"2,3\")"},
        {"F(P1)", "DmsF(\"P1\")"},
        {"1.5", "1.5"},
    };
    for (const LineCase& c : cases) {
        // The Basic value follows the DMIS text and two blanks: X = DmsASSIGN("...",  value)
        const std::string line = LineOf(std::string("DECL/REAL,X\nX=ASSIGN/") + c.source);
        const std::size_t value = line.find(",  ");
        ASSERT_NE(value, std::string::npos) << line;
        EXPECT_EQ(line.substr(value + 3), std::string(c.basic) + ")") << c.source;
    }
    // True and False stand alone as parameters.
    EXPECT_EQ(LineOf("SNSET/.TRUE.,.FALSE."), "DmsSNSET True, False");
}

TEST_F(BasicWriterTest, MinorWordsAreKeptQuotedInTheModel) {
    LineOf("UNITS/MM");
    CExpression& parameter = program_->objStatements->Item(1).objExpressions->Item(1);
    EXPECT_EQ(parameter.Value().String(), "\"MM\"");
    EXPECT_EQ(parameter.BuildForBas(), "\"MM\"");
}

TEST_F(BasicWriterTest, EmptyProgram) {
    const auto [modMain, modSupport] = Modules("$$ only a comment\nENDFIL\n");
    EXPECT_EQ(modMain,
              "Attribute VB_NAME = \"modMain\"|Option Explicit||"
              "|Sub Main()|Startup|    ' $$ only a comment|    DmsENDFIL|Shutdown|End Sub|");
    EXPECT_EQ(modSupport, "Option Explicit||");
}

TEST_F(BasicWriterTest, CommentsBeforeOnAndAfterStatementsAndInMacros) {
    const auto [modMain, modSupport] = Modules(
        "$$ first\n"
        "UNITS/MM\n"
        "$$ before the macro\n"
        "M(M1)=MACRO/XVAL\n"
        "$$ in the macro\n"
        "TEXT/OPER,XVAL\n"
        "ENDMAC\n"
        "$$ before GOHOME\n"
        "GOHOME\n"
        "ENDFIL\n"
        "$$ after ENDFIL\n");
    EXPECT_EQ(modMain,
              "Attribute VB_NAME = \"modMain\"|Option Explicit||"
              "|Sub Main()|Startup|    ' $$ first|    DmsUNITS \"MM\"|    ' $$ before the macro|"
              "    ' $$ before GOHOME|    DmsGOHOME|    DmsENDFIL|    ' $$ after ENDFIL|"
              "Shutdown|End Sub|");
    EXPECT_EQ(modSupport,
              "Option Explicit||Sub M1(XVAL)|    ' $$ in the macro|    DmsTEXT \"OPER\", XVAL|"
              "End Sub||");
}

TEST_F(BasicWriterTest, BlocksCloseAtTheIndentOfTheirOpener) {
    const auto [modMain, modSupport] = Modules(
        "DECL/INTGR,I,K\n"
        "DO/I,1,3\n"
        "IF/(I.EQ.2)\n"
        "TEXT/OPER,'two'\n"
        "ELSE\n"
        "GOTARG/CART,0,0,1\n"
        "GOTO/0,0,2\n"
        "ENDGO\n"
        "ENDIF\n"
        "ENDDO\n"
        "SELECT/K\n"
        "CASE/1\n"
        "MEAS/POINT,F(P),1\n"
        "PTMEAS/CART,0,0,0\n"
        "ENDMES\n"
        "ENDCAS\n"
        "DFTCAS\n"
        "GOHOME\n"
        "ENDCAS\n"
        "ENDSEL\n"
        "ENDFIL\n");
    EXPECT_EQ(modMain,
              "Attribute VB_NAME = \"modMain\"|Option Explicit||Public I As Integer,K As Integer|"
              "|Sub Main()|Startup|"
              "    For I = 1 To 3|"
              "        If (I = 2) Then|"
              "            DmsTEXT \"OPER\", \"two\"|"
              "        Else|"
              "            DmsGOTARG \"CART\", 0, 0, 1|"
              "                DmsGOTO 0, 0, 2|"
              "            DmsENDGO|"
              "        End If|"
              "    Next I|"
              "    Select Case K|"
              "        Case 1|"
              "            DmsMEAS \"POINT\", DmsF(\"P\"), 1|"
              "                DmsPTMEAS \"CART\", 0, 0, 0|"
              "            DmsENDMES|"
              "        Case Else|"
              "            DmsGOHOME|"
              "    End Select|"
              "    DmsENDFIL|Shutdown|End Sub|");
    EXPECT_TRUE(CStatements::NextVariable().IsEmpty());  // every pushed loop variable popped
}

TEST_F(BasicWriterTest, ScratchFileGoesAlsoAfterAnError) {
    char pattern[] = "/tmp/vantreel-bas-XXXXXX";
    const std::filesystem::path directory = mkdtemp(pattern);
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(directory);
    CProgram program;
    auto statement = std::make_unique<CStatement>();
    statement->SetStatementType("TEXT");
    statement->objExpressions->AddExpression(
        CExpression::Make(ekAdd, Variant::FromString("not an operand array")));
    program.objStatements->AddStatement(std::move(statement));
    std::ostringstream modMain, modSupport;
    EXPECT_THROW(program.WriteToBas(modMain, modSupport), Error);
    CProgram empty;
    empty.WriteToBas(modMain, modSupport);
    std::filesystem::current_path(previous);
    EXPECT_TRUE(std::filesystem::is_empty(directory));
    std::filesystem::remove_all(directory);
}

TEST(BasicWords, Tables) {
    const std::pair<int32_t, const char*> operators[] = {
        {ekAdd, " + "},   {ekSubtract, " - "}, {ekMultiply, " * "}, {ekDivide, " / "},
        {ekPower, " ^ "}, {ekOr, " Or "},      {ekEq, " = "},       {ekNe, " <> "},
        {ekLe, " <= "},   {ekLt, " < "},       {ekGt, " > "},       {ekGe, ">="},
        {ekAnd, " And "}, {ekNot, ""},         {ekWord, ""},
    };
    for (const auto& [kind, text] : operators) {
        EXPECT_EQ(BasicOperator(kind), text) << kind;
    }
    EXPECT_EQ(MapOperators("If (A.EQ.B.AND..NOT.C.GE.D.OR.E.NE.F.LT.G.LE.H.GT.I) Then"),
              "If (A = B And  Not C >= D Or E <> F < G <= H > I) Then");
    for (const char* name : {"ABS", "ATAN2", "SENSNOTOUCH", "VUNIT", "STR", "CONCAT"}) {
        EXPECT_TRUE(IsDmisFunction(name)) << name;
    }
    EXPECT_FALSE(IsDmisFunction("abs"));
    EXPECT_FALSE(IsDmisFunction("MYFUNC"));
    for (const char* word : {"2D", "CART", "INNER", "-XDIR", "ZXPLAN", "NS", "ILLEGALTOUCH"}) {
        EXPECT_TRUE(IsDmisMinorWord(word)) << word;
    }
    EXPECT_FALSE(IsDmisMinorWord("MYVAR"));
    EXPECT_FALSE(IsDmisMinorWord("FEAT"));
    EXPECT_EQ(DeclareAsString("'NAME'"), "NAME As String");
    EXPECT_EQ(DeclareAsString("A"), "A");
    EXPECT_EQ(EnsureDoubleQuotes("A+1"), "\"A+1\"");
    EXPECT_EQ(EnsureDoubleQuotes("\"A\""), "\"A\"");
    EXPECT_EQ(EnsureDoubleQuotes(""), "\"\"");
}

// Both modules reach their streams in large pieces: with macros before and
// after the main statements, and many times the piece size of each, every
// line is in its module and in order.
TEST_F(BasicWriterTest, LongModulesKeepEveryLineInOrder) {
    constexpr int kLines = 4000;
    std::string source;
    std::string body;
    std::string support = "Option Explicit||";
    for (const char* macro : {"M1", "M2"}) {
        source += std::string("M(") + macro + ")=MACRO/XVAL\n";
        support += std::string("Sub ") + macro + "(XVAL)|";
        for (int i = 0; i < kLines; ++i) {
            source += "TEXT/OPER,XVAL," + std::to_string(i) + "\n";
            support += "    DmsTEXT \"OPER\", XVAL, " + std::to_string(i) + "|";
        }
        source += "ENDMAC\n";
        support += "End Sub||";
        if (body.empty()) {
            for (int i = 0; i < kLines; ++i) {
                source += "GOTO/" + std::to_string(i) + ",0,0\n";
                body += "    DmsGOTO " + std::to_string(i) + ", 0, 0|";
            }
        }
    }
    const auto [modMain, modSupport] = Modules(source + "ENDFIL\n");
    EXPECT_EQ(modMain, "Attribute VB_NAME = \"modMain\"|Option Explicit|||Sub Main()|Startup|" +
                           body + "    DmsENDFIL|Shutdown|End Sub|");
    EXPECT_EQ(modSupport, support);
}

// A statement that cannot be written stops the module after the last whole
// line: nothing of its own line is written.
TEST_F(BasicWriterTest, ModuleStopsAfterTheLastWholeLine) {
    char pattern[] = "/tmp/vantreel-bas-XXXXXX";
    const std::filesystem::path directory = mkdtemp(pattern);
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(directory);
    CProgram program;
    auto macro = std::make_unique<CStatement>();
    macro->SetStatementType("MACRO");
    macro->SetLValue(CExpression::MakeLabelRef("M", "M1"));
    auto home = std::make_unique<CStatement>();
    home->SetStatementType("GOHOME");
    macro->objStatements->AddStatement(std::move(home));
    auto text = std::make_unique<CStatement>();
    text->SetStatementType("TEXT");
    text->objExpressions->AddExpression(CExpression::Make(ekWord, Variant::FromString("OPER")));
    text->objExpressions->AddExpression(
        CExpression::Make(ekAdd, Variant::FromString("not an operand array")));
    macro->objStatements->AddStatement(std::move(text));
    program.objStatements->AddStatement(std::move(macro));
    std::ostringstream modMain, modSupport;
    EXPECT_THROW(program.WriteToBas(modMain, modSupport), Error);
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(directory);
    EXPECT_EQ(modSupport.str(), "Option Explicit\r\n\r\nSub M1()\r\n    DmsGOHOME\r\n");
}

// Every word of both lists is found; a word one letter longer or shorter,
// in lower case or empty is found only when it is a listed word itself.
TEST(BasicWords, EveryListedWordAndNoOther) {
    const std::set<std::string> functions = {
#define DMIS_FUNCTION(name) name,
#include "dmis/basic/DmisFunctions.def"
#undef DMIS_FUNCTION
    };
    const std::set<std::string> minorWords = {
#define DMIS_MINOR_WORD(word) word,
#include "dmis/basic/DmisMinorWords.def"
#undef DMIS_MINOR_WORD
    };
    const std::pair<const std::set<std::string>*, bool (*)(std::string_view) noexcept> lists[] = {
        {&functions, &IsDmisFunction}, {&minorWords, &IsDmisMinorWord}};
    for (const auto& [words, contains] : lists) {
        EXPECT_FALSE(contains(""));
        for (const std::string& word : *words) {
            EXPECT_TRUE(contains(word)) << word;
            std::string lower = word;
            for (char& c : lower) {
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            }
            for (const std::string& other :
                 {word + "X", word.substr(0, word.size() - 1), lower, word + word}) {
                EXPECT_EQ(contains(other), words->count(other) > 0) << other;
            }
        }
    }
}

}  // namespace
}  // namespace vantreel::test
