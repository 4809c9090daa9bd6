#include "ScanHelpers.h"

#include "dmis/model/CComments.h"

#include <gtest/gtest.h>

#include <vector>

namespace vantreel::test {
namespace {

// What one scan produced: the tokens with their lines, the comments, the lines read.
struct LineScan {
    std::string tokens;      // compact tokens
    std::string tokenLines;  // the line of every token, blank-separated
    std::string comments;    // "LINE:TEXT|LINE:TEXT"
    int32_t lineNum = 0;
};

LineScan ScanLines(std::string_view source) {
    CProgram program;
    Scanner scanner;
    EXPECT_TRUE(scanner.ScanText(source, program, "t")) << scanner.LastError();
    LineScan result;
    result.tokens = CompactTokens(scanner);
    for (int32_t position = 1; position <= scanner.TokenCount(); ++position) {
        result.tokenLines +=
            (position > 1 ? " " : "") + std::to_string(scanner.TokenLineAt(position));
    }
    for (const CComment& comment : *program.objComments) {
        if (!result.comments.empty()) {
            result.comments += '|';
        }
        result.comments += std::to_string(comment.LineNumber()) + ":" + comment.Comment();
    }
    result.lineNum = scanner.LineNum();
    return result;
}

struct LineCase {
    const char* name;
    std::string_view source;
    const char* tokens;
    const char* tokenLines;
    const char* comments;
    int32_t lineNum;
};

void PrintTo(const LineCase& c, std::ostream* os) {
    *os << c.name;
}

class LineLayerTest : public testing::TestWithParam<LineCase> {};

TEST_P(LineLayerTest, JoinsSplitsAndSeparatesComments) {
    const LineCase& c = GetParam();
    const LineScan scan = ScanLines(c.source);
    EXPECT_EQ(scan.tokens, c.tokens);
    EXPECT_EQ(scan.tokenLines, c.tokenLines);
    EXPECT_EQ(scan.comments, c.comments);
    EXPECT_EQ(scan.lineNum, c.lineNum);
}

using namespace std::string_view_literals;

const LineCase kLineCases[] = {
    {"EmptyFile", "", "", "", "", 0},
    {"LineEndsLfCrCrlf", "A\nB\rC\r\nD",
     "Word:A EndOfLine Word:B EndOfLine Word:C EndOfLine "
     "Word:D EndOfLine",
     "1 1 2 2 3 3 4 4", "", 4},
    {"FinalLineEndStartsNoLine", "A\r\n", "Word:A EndOfLine", "1 1", "", 1},
    {"LfThenCrIsTwoEnds", "A\n\rB", "Word:A EndOfLine Word:B EndOfLine", "1 1 3 3", "", 3},
    {"BlankLinesCountButScanNothing", "\n   \nA\n\n", "Word:A EndOfLine", "3 3", "", 4},
    {"ByteOrderMarkSkipped",
     "\xEF\xBB\xBF"
     "A=1",
     "Word:A Equals Integer:1 EndOfLine", "1 1 1 1", "", 1},
    {"ByteOrderMarkOnlyAtStart", "A\n\xEF\xBB\xBF",
     "Word:A EndOfLine Error:Invalid character encountered Error:Invalid character encountered "
     "Error:Invalid character encountered EndOfLine",
     "1 1 2 2 2 2", "", 2},
    {"CommentAfterSpaces", "  $$ note\nA", "Word:A EndOfLine", "2 2", "1:$$ note", 2},
    {"CommentKeepsTrailingText", "$$ a  $$ b", "", "", "1:$$ a  $$ b", 1},
    {"BareCommentMarker", "$$", "", "", "1:$$", 1},
    {"TabBeforeCommentIsCode", "\t$$ note",
     "Error:Invalid character encountered Error:Invalid character encountered Word:NOTE "
     "EndOfLine",
     "1 1 1 1", "", 1},
    {"ContinuationJoinsLines", "A=1,$\nB", "Word:A Equals Integer:1 Comma Word:B EndOfLine",
     "2 2 2 2 2 2", "", 2},
    {"ContinuedLineKeepsInnerBlanks", "FA(A02$\n    F5)",
     "Word:FA LeftParen Word:A02 Word:F5 RightParen EndOfLine", "2 2 2 2 2 2", "", 2},
    {"ContinuationInsideString", "T='AB$\nCD'", "Word:T Equals String:\"ABCD\" EndOfLine",
     "2 2 2 2", "", 2},
    {"LoneDollarContinues", "A=$\n$\n1", "Word:A Equals Integer:1 EndOfLine", "3 3 3 3", "", 3},
    {"DollarWithBlanksContinues", "A=  $  \n2", "Word:A Equals Integer:2 EndOfLine", "2 2 2 2", "",
     2},
    {"CommentEndingInDollarContinues", "$$ cost in $\nX=1\nY", "Word:Y EndOfLine", "3 3",
     "2:$$ cost in X=1", 3},
    {"ContinuationAtEndOfFileKeepsLastToken", "A=B$", "Word:A Equals Word:B EndOfLine", "1 1 1 1",
     "", 1},
    {"ContinuedCommentAtEndOfFile", "$$ open $", "", "", "1:$$ open", 1},
    {"NulBytesAreIgnored", "A\0=1"sv, "Word:A Equals Integer:1 EndOfLine", "1 1 1 1", "", 1},
    {"Latin1BytesSurviveInCommentsAndStrings", "$$ \xE9t\xE9\nT='\xE9'",
     "Word:T Equals String:\"\xE9\" EndOfLine", "2 2 2 2", "1:$$ \xE9t\xE9", 2},
    {"StringOpenAtLineEndIsDropped", "T='AB\nC", "Word:T Equals EndOfLine Word:C EndOfLine",
     "1 1 1 2 2", "", 2},
};

INSTANTIATE_TEST_SUITE_P(Scanner, LineLayerTest, testing::ValuesIn(kLineCases),
                         [](const testing::TestParamInfo<LineCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(ScannerFile, ReadsLinesAcrossReadChunks) {
    // A CR LF pair that straddles the reader's 1 MiB chunk boundary, and a
    // word longer than a chunk.
    const std::size_t chunk = 1 << 20;
    std::string source(chunk - 1, 'W');
    source += "\r\nB=2\r\n";
    source += std::string(chunk + 10, 'X');
    source += "\nC";
    TempFile file(source);
    CProgram program;
    Scanner scanner;
    ASSERT_TRUE(scanner.ScanFile(file.Path(), program)) << scanner.LastError();
    EXPECT_EQ(scanner.LineNum(), 4);
    ASSERT_EQ(scanner.TokenCount(), 10);
    EXPECT_EQ(scanner.TokenTextAt(1).size(), chunk - 1);
    EXPECT_EQ(scanner.TokenTextAt(3), "B");
    EXPECT_EQ(scanner.TokenLineAt(3), 2);
    EXPECT_EQ(scanner.TokenTextAt(7).size(), chunk + 10);
    EXPECT_EQ(scanner.TokenTextAt(9), "C");
    EXPECT_EQ(scanner.TokenLineAt(9), 4);
}

TEST(ScannerFile, FileAndTextScanAlike) {
    const std::string source = "\xEF\xBB\xBF$$ head\r\nF(P-1)=FEAT/POINT,CART,1,$\r\n2,3\r\n";
    TempFile file(source);
    CProgram fromFile;
    Scanner fileScanner;
    ASSERT_TRUE(fileScanner.ScanFile(file.Path(), fromFile));
    CProgram fromText;
    Scanner textScanner;
    ASSERT_TRUE(textScanner.ScanText(source, fromText, "t"));
    EXPECT_EQ(CompactTokens(fileScanner), CompactTokens(textScanner));
    EXPECT_EQ(fileScanner.LineNum(), 3);
    EXPECT_EQ(fromFile.objComments->Item(1).Comment(), "$$ head");
}

TEST(ScannerFile, SecondScanAppendsAndKeepsCounting) {
    CProgram program;
    Scanner scanner;
    ASSERT_TRUE(scanner.ScanText("A\nB", program, "one"));
    ASSERT_TRUE(scanner.ScanText("$$ c\nD", program, "two"));
    EXPECT_EQ(CompactTokens(scanner), "Word:A EndOfLine Word:B EndOfLine Word:D EndOfLine");
    EXPECT_EQ(scanner.LineNum(), 4);
    EXPECT_EQ(program.objComments->Item(1).LineNumber(), 3);
}

}  // namespace
}  // namespace vantreel::test
