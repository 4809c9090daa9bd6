#include "AllocationLimit.h"
#include "ParseHelpers.h"

namespace vantreel::test {
namespace {

struct ProgramCase {
    const char* name;
    const char* source;
    int16_t severity;    // after a failure
    const char* result;  // the listing, or "failed: " and the message
};

class AnalyzerTest : public ParserTest {};

TEST_F(AnalyzerTest, ProgramsAndTheirFirstError) {
    const ProgramCase cases[] = {
        {"empty program", "ENDFIL\n", 0, "    ENDFIL\nENDFIL\n"},
        {"statement and parameters", "UNITS/MM,ANGDEC\nENDFIL", 0,
         "    UNITS/MM,ANGDEC\n    ENDFIL\nENDFIL\n"},
        {"no ENDFIL", "UNITS/MM\n", 2, "failed: Syntax error: Missing word ENDFIL (line 1)"},
        {"tokens after ENDFIL", "ENDFIL\nUNITS/MM\n", 1,
         "failed: Syntax error: Text after ENDFIL (line 2)"},
        {"ENDFIL followed on its line", "ENDFIL/1\n", 1,
         "failed: Syntax error: End of line expected (line 1)"},
        {"jump forward", "JUMPTO/(L1)\n(L1)\nENDFIL\n", 0,
         "    JUMPTO/(L1)\n    (L1)\n    ENDFIL\nENDFIL\n"},
        {"numeric label jumped to", "JUMPTO/(10)\n(10)\nENDFIL\n", 0,
         "    JUMPTO/(10)\n    (10)\n    ENDFIL\nENDFIL\n"},
        {"numeric label defined first", "(10)\nJUMPTO/(10)\nENDFIL\n", 0,
         "    (10)\n    JUMPTO/(10)\n    ENDFIL\nENDFIL\n"},
        {"numeric label never defined", "JUMPTO/(10)\n(11)\nENDFIL\n", 2,
         "failed: Syntax error: Undefined jump label in JUMPTO 10 (line 1)"},
        {"jump to nowhere", "JUMPTO/(L2)\nUNITS/MM\nENDFIL\n", 2,
         "failed: Syntax error: Undefined jump label in JUMPTO L2 (line 1)"},
        {"jump label twice", "(L1)\n(L1)\nENDFIL\n", 1,
         "failed: Syntax error: Label is already defined (line 2)"},
        {"feature label redefined", "F(P1)=FEAT/POINT\nF(P1)=FEAT/POINT\nENDFIL\n", 0,
         "    F(P1)=FEAT/POINT\n    F(P1)=FEAT/POINT\n    ENDFIL\nENDFIL\n"},
        {"tolerance label redefined", "T(A)=TOL/FLAT,0.1\nT(A)=TOL/FLAT,0.2\nENDFIL\n", 1,
         "failed: Syntax error: Label is already defined (line 2)"},
        {"label referenced, then defined", "OUTPUT/T(A)\nT(A)=TOL/FLAT,0.1\nENDFIL\n", 1,
         "failed: Syntax error: Label is already defined (line 2)"},
        {"undeclared variable", "X=ASSIGN/1\nENDFIL\n", 1,
         "failed: Syntax error: Variable is not declared (line 1)"},
        {"declared variables",
         "DECL/LOCAL,CHAR,20,NAME,ALT\nDECL/REAL,ARR[5]\nNAME=ASSIGN/'A'\nALT=VALUE/1\n"
         "ARR=OBTAIN/X\nENDFIL\n",
         0,
         "    DECL/LOCAL,CHAR,20,NAME,ALT\n    DECL/REAL,ARR(5)\n    NAME=ASSIGN/'A'\n"
         "    ALT=VALUE/1\n    ARR=OBTAIN/X\n    ENDFIL\nENDFIL\n"},
        {"assignment without ASSIGN", "X=FEAT/1\nENDFIL\n", 1,
         "failed: ASSIGN, OBTAIN or VALUE expected after \"=\" (line 1)"},
        {"label without =", "F(A) FEAT/POINT\nENDFIL\n", 1,
         "failed: Syntax error: Missing separator = (line 1)"},
        {"GOHOME with parameters", "GOHOME/1\nENDFIL\n", 1,
         "failed: Syntax error: End of line expected (line 1)"},
        {"GOHOME alone", "GOHOME\nENDFIL\n", 0, "    GOHOME\n    ENDFIL\nENDFIL\n"},
        {"word without slash ends the program", "PAUSE\nENDFIL\n", 2,
         "failed: Syntax error: Missing word ENDFIL (line 1)"},
        {"line not starting with a word", "5/1\nENDFIL\n", 2,
         "failed: Syntax error: Missing word ENDFIL (line 1)"},
        {"bad parameter", "UNITS/MM,)\nENDFIL\n", 1,
         "failed: Syntax error: Invalid parameter (line 1)"},
        {"text at the line end", "UNITS/MM INCH\nENDFIL\n", 1,
         "failed: Syntax error: End of line expected (line 1)"},
        {"czone definition", "CZ(A)=CZONE\nENDFIL\n", 0, "    CZ(A)=CZONE\n    ENDFIL\nENDFIL\n"},
        {"label then no word", "F(A)=FEAT\nENDFIL\n", 1,
         "failed: Syntax error: Missing statement word CZONE (line 1)"},
        {"label statement without )", "(L1\nENDFIL\n", 1,
         "failed: Syntax error: Closing parenthesis or bracket expected (line 1)"},
        {"label statement without name", "()\nENDFIL\n", 1,
         "failed: Syntax error: Label or datum name expected (line 1)"},
        {"output point list", "OUTPUT/FA(X)[1,2],TA(Y)[3]\nENDFIL\n", 0,
         "    OUTPUT/FA(X),TA(Y)\n    ENDFIL\nENDFIL\n"},
        {"output point list with a name", "OUTPUT/FA(X)[1,N]\nENDFIL\n", 1,
         "failed: Syntax error: Second value of the OUTPUT point list is not a number (line 1)"},
        {"output point list without number", "OUTPUT/FA(X)[N]\nENDFIL\n", 1,
         "failed: Syntax error: Invalid OUTPUT point list (line 1)"},
        {"output point list without ]", "OUTPUT/FA(X)[1\nENDFIL\n", 1,
         "failed: Syntax error: Closing parenthesis or bracket expected (line 1)"},
        {"lower-case and spaced", "f(p1) = feat/point , cart\nendfil\n", 0,
         "    F(P1)=FEAT/POINT,CART\n    ENDFIL\nENDFIL\n"},
    };
    for (const ProgramCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ParseToListing(c.source), c.result);
        if (!lastOk_) {
            EXPECT_EQ(lastSeverity_, c.severity);
        }
    }
}

// Statements that start with their statement word, and parameters that are
// one label reference, take short ways through the parser; these programs end
// with the first error and severity the full grammar gives them.
TEST_F(AnalyzerTest, ShortWaysKeepTheFirstError) {
    const std::string name65(65, 'N');
    const std::string longName = "TEXT/F(" + name65 + "),1\nENDFIL\n";
    const std::string longListing = "    TEXT/F(" + name65 + "),1\n    ENDFIL\nENDFIL\n";
    const ProgramCase cases[] = {
        {"word after the statement word", "UNITS MM\nENDFIL\n", 2,
         "failed: Syntax error: Missing word ENDFIL (line 1)"},
        {"statement word alone", "UNITS\nENDFIL\n", 2,
         "failed: Syntax error: Missing word ENDFIL (line 1)"},
        {"label type as statement word", "F/1\nENDFIL\n", 1,
         "failed: Syntax error: Parenthesis expected (line 1)"},
        {"label type and = without parentheses", "F=ASSIGN/1\nENDFIL\n", 1,
         "failed: Syntax error: Parenthesis expected (line 1)"},
        {"word and = but no assignment", "X=FEAT/1\nENDFIL\n", 1,
         "failed: ASSIGN, OBTAIN or VALUE expected after \"=\" (line 1)"},
        {"word and = at the line end", "X=\nENDFIL\n", 1,
         "failed: ASSIGN, OBTAIN or VALUE expected after \"=\" (line 1)"},
        {"GOHOME with a parameter", "GOHOME 1\nENDFIL\n", 1,
         "failed: Syntax error: End of line expected (line 1)"},
        {"statement without parameters in a body", "IF/(A)\nGOHOME\nENDIF\nENDFIL\n", 0,
         "    IF/(A)\n        GOHOME\n        ENDIF\n    ENDIF\n    ENDFIL\nENDFIL\n"},
        {"ENDFIL inside a meas body", "MEAS/POINT,F(P),1\nENDFIL\n", 1,
         "failed: Syntax error: Missing word ENDMEAS (line 2)"},
        {"references as whole parameters", "OUTPUT/FA(X),TA(Y)\nENDFIL\n", 0,
         "    OUTPUT/FA(X),TA(Y)\n    ENDFIL\nENDFIL\n"},
        {"reference then a word", "OUTPUT/FA(X) TA(Y)\nENDFIL\n", 1,
         "failed: Syntax error: End of line expected (line 1)"},
        {"reference then an operator", "TEXT/F(P)+1,2\nENDFIL\n", 0,
         "    TEXT/F(P)+1,2\n    ENDFIL\nENDFIL\n"},
        {"reference then an operator without operand", "TEXT/F(P)+\nENDFIL\n", 1,
         "failed: Syntax error: Invalid parameter (line 1)"},
        {"reference then a parenthesis", "TEXT/F(P)(\nENDFIL\n", 1,
         "failed: Syntax error: End of line expected (line 1)"},
        {"reference without a name", "TEXT/F(,1\nENDFIL\n", 1,
         "failed: Syntax error: End of line expected (line 1)"},
        {"reference without )", "TEXT/F(P\nENDFIL\n", 1,
         "failed: Syntax error: End of line expected (line 1)"},
        {"negated reference", "TEXT/-F(P),1\nENDFIL\n", 0,
         "    TEXT/-F(P),1\n    ENDFIL\nENDFIL\n"},
        {"reference then a bracket", "TEXT/FA(P)[1,2]\nENDFIL\n", 1,
         "failed: Syntax error: End of line expected (line 1)"},
        {"reference with a name too long", longName.c_str(), 0, longListing.c_str()},
        {"reference defines its label", "TEXT/T(A)\nT(A)=TOL/FLAT,0.1\nENDFIL\n", 1,
         "failed: Syntax error: Label is already defined (line 2)"},
        {"reference of another type", "TEXT/TA(A)\nT(A)=TOL/FLAT,0.1\nENDFIL\n", 0,
         "    TEXT/TA(A)\n    T(A)=TOL/FLAT,0.1\n    ENDFIL\nENDFIL\n"},
        {"references among arguments", "TEXT/FN(1,F(P),2),FN(F(Q))\nENDFIL\n", 0,
         "    TEXT/FN(1,F(P),2),FN(F(Q))\n    ENDFIL\nENDFIL\n"},
    };
    for (const ProgramCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ParseToListing(c.source), c.result);
        if (!lastOk_) {
            EXPECT_EQ(lastSeverity_, c.severity);
        }
    }
}

TEST_F(AnalyzerTest, Blocks) {
    const ProgramCase cases[] = {
        {"meas", "MEAS/POINT,F(P),1\nPTMEAS/CART,1,2,3\nENDMES\nENDFIL\n", 0,
         "    MEAS/POINT,F(P),1\n        PTMEAS/CART,1,2,3\n        ENDMES\n    ENDMES\n    "
         "ENDFIL\nENDFIL\n"},
        {"meas body ends at another word",
         "MEAS/POINT,F(P),1\nPTMEAS/CART,1,2,3\nUNITS/MM\n"
         "ENDMES\nENDFIL\n",
         1, "failed: Syntax error: Missing word ENDMEAS (line 3)"},
        {"meas recalls a sensor",
         "RMEAS/POINT,F(P),1\nRECALL/SA(TIP1)\nSAVE/S(X)\nENDMES\n"
         "ENDFIL\n",
         0,
         "    RMEAS/POINT,F(P),1\n        RECALL/SA(TIP1)\n        SAVE/S(X)\n        ENDMES\n"
         "    ENDMES\n    ENDFIL\nENDFIL\n"},
        {"meas saves a datum", "MEAS/POINT,F(P),1\nSAVE/DA(1)\nENDMES\nENDFIL\n", 1,
         "failed: DA is not a valid label for SAVE in a Meas block  (line 2)"},
        {"calib takes any statement", "CALIB/SENS,S(P),1\nUNITS/MM\nENDMES\nENDFIL\n", 0,
         "    CALIB/SENS,S(P),1\n        UNITS/MM\n        ENDMES\n    ENDMES\n    "
         "ENDFIL\nENDFIL\n"},
        {"gotarg", "GOTARG/CART,1,2,3\nGOTO/1,2,3\nENDGO\nENDFIL\n", 0,
         "    GOTARG/CART,1,2,3\n        GOTO/1,2,3\n        ENDGO\n    ENDGO\n    "
         "ENDFIL\nENDFIL\n"},
        {"gotarg with another word", "GOTARG/CART,1,2,3\nUNITS/MM\nENDGO\nENDFIL\n", 1,
         "failed: Syntax error: Missing word ENDGO (line 2)"},
        {"macro", "M(M1)=MACRO/A,B\nTEXT/OPER,A\nENDMAC\nCALL/M(M1),1,2\nENDFIL\n", 0,
         "    M(M1)=MACRO/A,B\n        TEXT/OPER,A\n        ENDMAC\n    ENDMAC\n"
         "    CALL/M(M1),1,2\n    ENDFIL\nENDFIL\n"},
        {"macro without parameters", "M(M2)=MACRO\nENDMAC\nENDFIL\n", 0,
         "    M(M2)=MACRO\n        ENDMAC\n    ENDMAC\n    ENDFIL\nENDFIL\n"},
        {"macro never ended", "M(M3)=MACRO\nTEXT/OPER,'x'\nENDFIL\n", 1,
         "failed: Syntax error: Missing word ENDMAC (line 3)"},
        {"do", "DECL/INTGR,I\nDO/I,1,3\nGOTO/I,0,0\nENDDO\nENDFIL\n", 0,
         "    DECL/INTGR,I\n    DO/I,1,3\n        GOTO/I,0,0\n        ENDDO\n    ENDDO\n    "
         "ENDFIL\nENDFIL\n"},
        {"nested blocks",
         "DO/I,1,2\nDO/J,1,2\nMEAS/POINT,F(P),1\nPTMEAS/CART,1,2,3\nENDMES\n"
         "ENDDO\nENDDO\nENDFIL\n",
         0,
         "    DO/I,1,2\n        DO/J,1,2\n            MEAS/POINT,F(P),1\n"
         "                PTMEAS/CART,1,2,3\n                ENDMES\n            ENDMES\n"
         "            ENDDO\n        ENDDO\n        ENDDO\n    ENDDO\n    ENDFIL\nENDFIL\n"},
        {"if and else", "IF/(A.EQ.1)\nTEXT/OPER,'one'\nELSE\nTEXT/OPER,'other'\nENDIF\nENDFIL\n", 0,
         "    IF/(A.EQ.1)\n        TEXT/OPER,'one'\n    Else\n        TEXT/OPER,'other'\n"
         "        ENDIF\n    ENDIF\n    ENDFIL\nENDFIL\n"},
        {"if without else", "IF/(A)\nTEXT/OPER,'one'\nENDIF\nENDFIL\n", 0,
         "    IF/(A)\n        TEXT/OPER,'one'\n        ENDIF\n    ENDIF\n    ENDFIL\nENDFIL\n"},
        {"empty else", "IF/(A)\nTEXT/OPER,'one'\nELSE\nENDIF\nENDFIL\n", 0,
         "    IF/(A)\n        TEXT/OPER,'one'\n        ENDIF\n    ENDIF\n    ENDFIL\nENDFIL\n"},
        {"empty if part", "IF/(A)\nELSE\nTEXT/OPER,'two'\nENDIF\nENDFIL\n", 0,
         "    IF/(A)\n    Else\n        TEXT/OPER,'two'\n        ENDIF\n    ENDIF\n    "
         "ENDFIL\nENDFIL\n"},
        {"else with text", "IF/(A)\nELSE X\nENDIF\nENDFIL\n", 1,
         "failed: Syntax error: End of line expected (line 2)"},
        {"if never ended", "IF/(A)\nTEXT/OPER,'one'\nENDFIL\n", 1,
         "failed: Syntax error: Missing word ENDIF (line 3)"},
        {"select",
         "SELECT/K\nCASE/1\nTEXT/OPER,'one'\nENDCAS\nDFTCAS\nTEXT/OPER,'any'\n"
         "ENDCAS\nENDSEL\nENDFIL\n",
         0,
         "    SELECT/K\n        CASE/1\n            TEXT/OPER,'one'\n        ENDCASE\n"
         "        DFTCAS\n            TEXT/OPER,'any'\n        ENDCASE\n        ENDSEL\n"
         "    ENDSELECT\n    ENDFIL\nENDFIL\n"},
        {"case while a case is open", "SELECT/K\nCASE/1\nCASE/2\nENDCAS\nENDSEL\nENDFIL\n", 1,
         "failed: Syntax error: Missing word ENDCAS (line 3)"},
        {"statement before the first case", "SELECT/K\nTEXT/OPER,'x'\nENDSEL\nENDFIL\n", 1,
         "failed: Syntax error: Missing word CASE (line 2)"},
        {"endcas without case", "SELECT/K\nENDCAS\nENDSEL\nENDFIL\n", 1,
         "failed: Syntax error: Missing word CASE (line 2)"},
        {"case left open", "SELECT/K\nCASE/1\nENDSEL\nENDFIL\n", 1,
         "failed: Syntax error: Missing word ENDCAS (line 3)"},
        {"program ends after a case", "SELECT/1\nCASE/1\nGOHOME\nENDCAS\nENDFIL\n", 1,
         "failed: Syntax error: Missing word ENDSEL (line 5)"},
        {"program ends before any case", "SELECT/1\nENDFIL\n", 1,
         "failed: Syntax error: Missing word ENDSEL (line 2)"},
        {"input ends after a case", "SELECT/1\nCASE/1\nENDCAS\n", 1,
         "failed: Syntax error: Missing word ENDSEL (line 3)"},
        {"statement after a closed case", "SELECT/1\nCASE/1\nENDCAS\nGOHOME\nENDSEL\nENDFIL\n", 1,
         "failed: Syntax error: Missing word CASE (line 4)"},
        {"case value that is none", "SELECT/K\nCASE/)\nENDCAS\nENDSEL\nENDFIL\n", 1,
         "failed: Syntax error: Invalid CASE value (line 2)"},
        {"error inside a block", "DO/I,1,2\nX=ASSIGN/1\nENDDO\nENDFIL\n", 1,
         "failed: Syntax error: Variable is not declared (line 2)"},
    };
    for (const ProgramCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ParseToListing(c.source), c.result);
        if (!lastOk_) {
            EXPECT_EQ(lastSeverity_, c.severity);
        }
    }
}

TEST_F(AnalyzerTest, ModelShapes) {
    CProgram program;
    Scanner scanner;
    ASSERT_TRUE(
        scanner.ScanText("IF/(A)\nTEXT/OPER,'one'\nELSE\nTEXT/OPER,'two'\nENDIF\n"
                         "OUTPUT/FA(X)[1,2.5]\nJUMPTO/(L9)\n(L9)\nENDFIL\n",
                         program, "t"));
    ParseContext context;
    int progress = 0;
    context.progress = [&] { ++progress; };
    StatementParser parser(scanner, context);
    ASSERT_TRUE(parser.ParseProgram(program)) << scanner.Message();
    const CStatements& top = *program.objStatements;
    ASSERT_EQ(top.Count(), 5);
    const CStatement& test = top.Item(1);
    ASSERT_EQ(test.objStatements->Count(), 3);
    EXPECT_EQ(test.objStatements->Item(1).StatementType(), "IfBlock");
    EXPECT_EQ(test.objStatements->Item(1).LineNumber(), 1);
    EXPECT_EQ(test.objStatements->Item(2).StatementType(), "ElseBlock");
    EXPECT_EQ(test.objStatements->Item(2).LineNumber(), 3);
    EXPECT_EQ(test.objStatements->Item(3).StatementType(), "ENDIF");
    EXPECT_EQ(test.objStatements->Item(3).LineNumber(), 5);

    const CExpression& output = top.Item(2).objExpressions->Item(1);
    const VariantArray& points = output.OutPutPoints().Array();
    EXPECT_EQ(points.LBound(), 0);
    EXPECT_EQ(points[0].Long(), 1);
    EXPECT_EQ(points[1].Double(), 2.5);

    EXPECT_EQ(top.Item(4).StatementType(), "LABEL");
    EXPECT_EQ(top.Item(4).LineNumber(), 8);
    EXPECT_EQ(top.Item(5).StatementType(), "ENDFIL");
    EXPECT_EQ(top.Item(5).LineNumber(), 9);
    EXPECT_TRUE(context.IsRegistered("L9", ParseContext::PendingJumps));
    EXPECT_EQ(progress, 7);  // every statement, the nested ones and ENDFIL too
}

TEST_F(AnalyzerTest, MemoryRunningOutEndsTheParseWithAMessage) {
    // Each run lets the parser allocate a little more before memory runs out;
    // every run ends in the whole model or in the message, never in an abort.
    const std::string source =
        "DECL/REAL,X\nX=ASSIGN/1+2*(3-X)/4\nDO/I,1,2\nF(P1)=FEAT/POINT,CART,1,2,3\n"
        "ENDDO\nIF/(X.EQ.1)\nTEXT/OPER,'a'\nENDIF\nENDFIL\n";
    int failures = 0;
    bool completed = false;
    for (int64_t allowed = 0; !completed; ++allowed) {
        ASSERT_LT(allowed, 100000) << "the parse never completed";
        CProgram program;
        Scanner scanner;
        ASSERT_TRUE(scanner.ScanText(source, program, "t"));
        ParseContext context;
        StatementParser parser(scanner, context);
        bool parsed = false;
        bool refused = false;
        {
            const AllocationLimit limit(allowed);
            parsed = parser.ParseProgram(program);
            refused = limit.Reached();
        }
        if (parsed) {
            EXPECT_FALSE(refused) << allowed;
            EXPECT_EQ(program.objStatements->Count(), 5);
            completed = true;
            continue;
        }
        ++failures;
        EXPECT_TRUE(refused) << allowed;
        EXPECT_EQ(scanner.Severity(), 1) << allowed;
        EXPECT_TRUE(scanner.Message().starts_with("Not enough memory to parse the program (line "))
            << allowed << ": " << scanner.Message();
    }
    EXPECT_GT(failures, 10);
}

TEST_F(AnalyzerTest, DeepNestingFailsWithAMessage) {
    std::string blocks;
    for (int i = 0; i < 100000; ++i) {
        blocks += "DO/I,1,2\n";
    }
    EXPECT_EQ(ParseToListing(blocks + "ENDFIL\n"),
              "failed: Syntax error: Statements or expressions are nested too deeply (line 200)");
    const std::string parentheses =
        "A=ASSIGN/" + std::string(100000, '(') + "1" + std::string(100000, ')') + "\nENDFIL\n";
    EXPECT_EQ(ParseToListing("DECL/REAL,A\n" + parentheses),
              "failed: Syntax error: Statements or expressions are nested too deeply (line 2)");
}

}  // namespace
}  // namespace vantreel::test
