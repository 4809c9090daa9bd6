#include "ScanHelpers.h"

#include "dmis/DmisFile.h"
#include "dmis/model/CComments.h"
#include "dmis/scan/TokenKind.h"

#include <gtest/gtest.h>

#include <sstream>

namespace vantreel::test {
namespace {

// Comment lines as "LINE:TEXT|LINE:TEXT".
std::string CommentsOf(const CProgram& program) {
    std::string text;
    if (program.objComments) {
        for (int32_t i = 1; i <= program.objComments->Count(); ++i) {
            text += std::to_string(program.objComments->Item(i).LineNumber()) + ':' +
                    program.objComments->Item(i).Comment() + '|';
        }
    }
    return text;
}

// Moves the cursor over every token of an opened file, in compact form.
std::string WalkTokens(Scanner& scanner) {
    std::string text;
    for (int16_t kind = scanner.Token(); kind != tkEndOfInput; kind = scanner.Token()) {
        if (!text.empty()) {
            text += ' ';
        }
        text += TokenKindName(kind).substr(2);
        const std::string data = TokenDataText(scanner, scanner.Position());
        if (!data.empty()) {
            text += ':' + data;
        }
    }
    return text;
}

struct SourceCase {
    const char* name;
    const char* source;
};

void PrintTo(const SourceCase& c, std::ostream* os) {
    *os << c.name;
}

class ScannerOnDemandTest : public testing::TestWithParam<SourceCase> {};

TEST_P(ScannerOnDemandTest, CursorSeesWhatAWholeScanGives) {
    TempFile file(GetParam().source);
    CProgram whole;
    Scanner scanner;
    ASSERT_TRUE(scanner.ScanFile(file.Path(), whole)) << scanner.LastError();

    CProgram onDemand;
    Scanner cursor;
    ASSERT_TRUE(cursor.OpenFile(file.Path(), onDemand)) << cursor.LastError();
    EXPECT_EQ(WalkTokens(cursor), CompactTokens(scanner));
    EXPECT_TRUE(cursor.FinishScan(false));
    EXPECT_EQ(CommentsOf(onDemand), CommentsOf(whole));
    EXPECT_EQ(cursor.LineNum(), scanner.LineNum());
}

const SourceCase kSourceCases[] = {
    {"Empty", ""},
    {"CommentsOnly", "$$ one\r\n$$ two\r\n"},
    {"CommentsBetweenStatements",
     "$$ head\nF(P-1)=FEAT/POINT,CART,1,$\n  2,3\n$$ middle\n\nT(D-1)=TOL/DIAM,-0.01,0.02\n$$ end"},
    {"ContinuedLastLine", "A=1\nB=$"},
    {"StringsAndErrors", "TEXT/OPER,'it''s'\nA=1;.XX.\n"},
};

INSTANTIATE_TEST_SUITE_P(Scanner, ScannerOnDemandTest, testing::ValuesIn(kSourceCases),
                         [](const testing::TestParamInfo<SourceCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(ScannerOnDemand, FailureIsFoundWhereverTheCursorStopped) {
    TempFile file("A=1\n$$ before\nB=2147483648\n$$ after\n");
    const std::string error =
        "ParseFile error on '" + file.Path() + "', the number on line 3 is larger than 2147483647";
    for (const int moves : {0, 1, 5, 100}) {
        CProgram program;
        Scanner scanner;
        ASSERT_TRUE(scanner.OpenFile(file.Path(), program));
        for (int i = 0; i < moves; ++i) {
            scanner.Token();
        }
        EXPECT_FALSE(scanner.FinishScan(false)) << moves;
        EXPECT_EQ(scanner.LastError(), error) << moves;
        EXPECT_EQ(CommentsOf(program), "2:$$ before|") << moves;
    }
}

TEST(ScannerOnDemand, WordTextsStayReadableWhileMoreIsScanned) {
    // Far more text than one chunk of the text pool holds.
    std::string source;
    for (int i = 0; i < 20000; ++i) {
        source += "WORD" + std::to_string(i) + "/ABCDEFGHIJKLMNOP\n";
    }
    TempFile file(source);
    CProgram program;
    Scanner scanner;
    ASSERT_TRUE(scanner.OpenFile(file.Path(), program));
    ASSERT_EQ(scanner.Token(), tkWord);
    const std::string_view first = scanner.TokenTextAt(1);
    int32_t words = 1;
    for (int16_t kind = scanner.Token(); kind != tkEndOfInput; kind = scanner.Token()) {
        words += kind == tkWord ? 1 : 0;
    }
    EXPECT_EQ(words, 40000);
    EXPECT_EQ(first, "WORD0");
    EXPECT_EQ(scanner.TokenTextAt(scanner.TokenCount() - 1), "ABCDEFGHIJKLMNOP");
}

TEST(ScannerOnDemand, ParseOfFileReportsScanFailureBeforeParseFailure) {
    struct Case {
        const char* source;
        const char* message;  // after "ParseFile error on 'PATH', "
    };
    const Case cases[] = {
        {"A=1\nB=2147483648\n", "the number on line 2 is larger than 2147483647"},
        {"(((\nX=1\nB=2147483648\n", "the number on line 3 is larger than 2147483647"},
        {"ENDFIL\nX=99999999999\n", "the number on line 2 is larger than 2147483647"},
    };
    for (const Case& c : cases) {
        TempFile file(c.source);
        CProgram program;
        const DmisFileResult result = ParseDmisFile(file.Path(), program);
        EXPECT_FALSE(result.ok) << c.source;
        EXPECT_EQ(result.message, "ParseFile error on '" + file.Path() + "', " + c.message)
            << c.source;
    }
}

// The answer, warnings and listing of one parse, as one text.
std::string OutcomeOf(const DmisFileResult& result, CProgram& program) {
    std::string text = (result.ok ? "ok|" : "failed|") + result.message + '|';
    for (const DialectWarning& warning : result.warnings) {
        text += std::to_string(warning.line) + ':' + std::to_string(warning.id) + ':' +
                warning.detail + '|';
    }
    if (result.ok) {
        std::ostringstream listing;
        program.PrettyPrint(listing);
        text += listing.str();
    }
    return text;
}

TEST(ScannerOnDemand, FileOnDemandAnswersAsTextScannedWhole) {
    // Sources with warnings of the lines and of the parse, parse failures and
    // scan failures before and after them.
    const char* const sources[] = {
        "F(P1)=FEAT/POINT,CART,1,2,3\nT(D1)=TOL/DIAM,-0.01,0.02\n$$ note\n",
        "F(P1)=FEAT/POINT,CART,1,2,3,,\nTEXT/OPER,'open\n",
        "(((\nF(P1)=FEAT/POINT,CART,1,2,3\nB=2147483648\n",
        "TEXT/OPER,'open\nF(P1)=FEAT/POINT,CART,1,2,3,,\nX=99999999999\n",
        "ENDFIL\n$$ after\nX=1\n",
    };
    for (const DmisDialect dialect : {DmisDialect::Strict, DmisDialect::Extended}) {
        for (const char* source : sources) {
            TempFile file(source);
            CProgram fromFile;
            const std::string onDemand =
                OutcomeOf(ParseDmisFile(file.Path(), fromFile, dialect), fromFile);
            CProgram fromText;
            const std::string whole =
                OutcomeOf(ParseDmisText(source, file.Path(), fromText, dialect), fromText);
            EXPECT_EQ(onDemand, whole) << source;
            EXPECT_EQ(CommentsOf(fromFile), CommentsOf(fromText)) << source;
        }
    }
}

}  // namespace
}  // namespace vantreel::test
