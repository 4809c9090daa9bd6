#include "ScanHelpers.h"

#include "dmis/model/CComments.h"
#include "shared/InputFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <charconv>
#include <random>

namespace vantreel::test {
namespace {

struct LexCase {
    const char* name;
    const char* source;
    const char* tokens;
};

void PrintTo(const LexCase& c, std::ostream* os) {
    *os << c.name;
}

class LexerTest : public testing::TestWithParam<LexCase> {};

TEST_P(LexerTest, ScansLine) {
    EXPECT_EQ(ScanToTokens(GetParam().source), GetParam().tokens);
}

const LexCase kLexCases[] = {
    // Words and label names.
    {"LabelNameWithMinusAndPoint", "F(CIR-1.5)=FEAT/CIRCLE",
     "Word:F LeftParen Word:CIR-1.5 RightParen Equals Word:FEAT Slash Word:CIRCLE EndOfLine"},
    {"DigitLabelNameIsWord", "F(1)", "Word:F LeftParen Word:1 RightParen EndOfLine"},
    {"DigitAfterOtherWordIsInteger", "X(1)", "Word:X LeftParen Integer:1 RightParen EndOfLine"},
    {"MinusAfterLabelTypeStartsWord", "D=-1", "Word:D Equals Word:-1 EndOfLine"},
    {"MinusAfterLabelTypeWord", "X=D-1", "Word:X Equals Word:D Minus Word:1 EndOfLine"},
    {"PointAfterLabelTypeStartsWord", "F(.5)", "Word:F LeftParen Word:.5 RightParen EndOfLine"},
    {"ScannerTableKnowsSw", "SW(1-A)", "Word:SW LeftParen Word:1-A RightParen EndOfLine"},
    {"DatumPairName", "DA(1-2)", "Word:DA LeftParen Word:1-2 RightParen EndOfLine"},
    {"LabelFlagLastsUntilNextWordEnds", "F,X-1", "Word:F Comma Word:X-1 EndOfLine"},
    {"WordsAreUpperCased", "feat/circle", "Word:FEAT Slash Word:CIRCLE EndOfLine"},
    {"UnderscoreWords", "_AB a_b1", "Word:_AB Word:A_B1 EndOfLine"},
    {"IntegerThenLetterIsWord", "3D 007X", "Word:3D Word:7X EndOfLine"},
    {"IntegerThenUnderscoreIsWord", "A=12_A", "Word:A Equals Word:12_A EndOfLine"},
    {"LabelTypeIsUpperCasedFirst", "f(1)", "Word:F LeftParen Word:1 RightParen EndOfLine"},
    {"LabelNameStartingWithDigits", "F(1.5-A)", "Word:F LeftParen Word:1.5-A RightParen EndOfLine"},
    {"LabelTestLooksPastTheLineEnd", "F\n1", "Word:F EndOfLine Word:1 EndOfLine"},
    {"LabelTypeThenRealWithExponent", "T=1.E2", "Word:T Equals Word:1.E2 EndOfLine"},
    {"WordJoinedAcrossContinuation", "AB$\nCD", "Word:ABCD EndOfLine"},
    // Numbers.
    {"Integer", "A=2147483647", "Word:A Equals Integer:2147483647 EndOfLine"},
    {"IntegerBeforeByteAboveAscii", "12\xE9",
     "Integer:12 Error:Invalid character encountered "
     "EndOfLine"},
    {"IntegerThenPowerAtLineEnd", "1**2\nA*",
     "Integer:1 Power Integer:2 EndOfLine Word:A Star "
     "EndOfLine"},
    {"PowerThenStar", "***", "Power Star EndOfLine"},
    {"RealThenLetter", "1.5X", "Real:1.5 Word:X EndOfLine"},
    {"RealThenLetterENotExponent", "1.5EX 7.25e", "Real:1.5 Word:EX Real:7.25 Word:E EndOfLine"},
    {"RealThenPointStartsAnother", "1.5.3", "Real:1.5 Real:0.3 EndOfLine"},
    {"RealWithLargestIntegerPart", "2147483647.5", "Real:2147483647.5 EndOfLine"},
    {"RealWithLongFraction", "0.12345678901234567", "Real:0.123456789012346 EndOfLine"},
    {"PointRealWithExponent", "X=.5E1", "Word:X Equals Real:5 EndOfLine"},
    {"Real", "A=12.25", "Word:A Equals Real:12.25 EndOfLine"},
    {"RealWithoutIntegerPart", "A=.5", "Word:A Equals Real:0.5 EndOfLine"},
    {"RealWithoutFraction", "A=1. ", "Word:A Equals Real:1 EndOfLine"},
    {"RealBeforeParenAndComma", "P(1.5,2.5)",
     "Word:P LeftParen Real:1.5 Comma Real:2.5 RightParen EndOfLine"},
    {"RealBeforeOperator", "A=1.5*2", "Word:A Equals Real:1.5 Star Integer:2 EndOfLine"},
    {"RealWithExponent", "A=1.5E3,1.5e-3,2.E+2",
     "Word:A Equals Real:1500 Comma Real:0.0015 Comma Real:200 EndOfLine"},
    {"RealWithBrokenExponent", "A=1.5E-X",
     "Word:A Equals Error:Invalid number '1.5E-' Word:X EndOfLine"},
    {"LeadingNumberOfFile", "5", "Integer:5 EndOfLine"},
    {"LeadingMinusOfFile", "-5", "Minus Integer:5 EndOfLine"},
    {"LeadingPointOfFile", ".5", "Real:0.5 EndOfLine"},
    {"ColonNumber", "X=12:30:15.5", "Word:X Equals ColonNumber:27,12,30,15.5 EndOfLine"},
    {"ColonNumberKeepsLeadingZeros", "X=10:05", "Word:X Equals ColonNumber:27,10,05, EndOfLine"},
    {"ColonAfterLabelType", "T=12:30",
     "Word:T Equals Word:12 Error:Invalid character encountered Integer:30 EndOfLine"},
    // Operators and punctuation.
    {"Power", "A=2**3", "Word:A Equals Integer:2 Power Integer:3 EndOfLine"},
    {"Star", "A=2*B", "Word:A Equals Integer:2 Star Word:B EndOfLine"},
    {"PlusMinusSlash", "A=B+C-E/G2",
     "Word:A Equals Word:B Plus Word:C Minus Word:E Slash Word:G2 EndOfLine"},
    {"Brackets", "A[1,2]\"",
     "Word:A LeftBracket Integer:1 Comma Integer:2 RightBracket "
     "DoubleQuote EndOfLine"},
    {"DottedOperatorLowerCase", "IF/(A.eq.B)",
     "Word:IF Slash LeftParen Word:A Eq Word:B RightParen EndOfLine"},
    {"AllDottedOperators", "X .NE. .LT. .LE. .GT. .GE. .AND. .OR. .NOT. .TRUE. .FALSE.",
     "Word:X Ne Lt Le Gt Ge And Or Not True False EndOfLine"},
    {"UnknownDottedWord", "A=.XX.", "Word:A Equals Error:Invalid logical operator 'XX' EndOfLine"},
    {"UnknownDottedWordKeepsCase", "A=.xy.",
     "Word:A Equals Error:Invalid logical operator 'xy' EndOfLine"},
    {"EmptyDottedWord", "A=..", "Word:A Equals Error:Invalid logical operator '' EndOfLine"},
    {"UnclosedDottedWord", "A=.XX,B",
     "Word:A Equals Error:Invalid pattern '.XX' Comma Word:B EndOfLine"},
    {"DigitInDottedWordDropped", "A=.E1Q.", "Word:A Equals Eq EndOfLine"},
    {"LonePeriod", "A . B", "Word:A Period Word:B EndOfLine"},
    {"SpaceInsideDottedOperator", "IF/(B1. EQ.C1)",
     "Word:IF Slash LeftParen Word:B1 Period Word:EQ Error:Invalid pattern '.C' RightParen "
     "EndOfLine"},
    // Strings.
    {"String", "A='ABC'", "Word:A Equals String:\"ABC\" EndOfLine"},
    {"StringWithDoubledQuote", "A='A''B'", "Word:A Equals String:\"A''B\" EndOfLine"},
    {"EmptyString", "A=''", "Word:A Equals String:\"\" EndOfLine"},
    {"EmptyStringBeforeComma", "A='',B", "Word:A Equals String:\"\" Comma Word:B EndOfLine"},
    {"StringKeepsBlanksAndDoubleQuotes", "A='say \"hi\" '",
     "Word:A Equals String:\"say \"hi\" \" EndOfLine"},
    {"StringThenMore", "A='x',B", "Word:A Equals String:\"x\" Comma Word:B EndOfLine"},
    {"UnclosedStringIsDropped", "A='abc", "Word:A Equals EndOfLine"},
    // Rejected characters.
    {"InvalidCharacter", "A=1;",
     "Word:A Equals Integer:1 Error:Invalid character encountered EndOfLine"},
    {"DollarsAfterCode", "X=1 $$ note",
     "Word:X Equals Integer:1 Error:Invalid character encountered "
     "Error:Invalid character encountered Word:NOTE EndOfLine"},
    {"NonAsciiByteEndsWord",
     "AB\xE9"
     "C",
     "Word:AB Error:Invalid character encountered Word:C EndOfLine"},
    {"ControlCharactersIgnored",
     "A\t=\x01"
     "1",
     "Word:A Equals Integer:1 EndOfLine"},
};

INSTANTIATE_TEST_SUITE_P(Scanner, LexerTest, testing::ValuesIn(kLexCases),
                         [](const testing::TestParamInfo<LexCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(ScannerFailure, IntegerAboveRangeEndsScanKeepingEarlierTokens) {
    CProgram program;
    Scanner scanner;
    EXPECT_FALSE(scanner.ScanText("A=1\nB=2147483648\nC=3\n", program, "big.dmi"));
    EXPECT_EQ(CompactTokens(scanner), "Word:A Equals Integer:1 EndOfLine Word:B Equals");
    EXPECT_EQ(scanner.LastError(),
              "ParseFile error on 'big.dmi', the number on line 2 is larger than 2147483647");
}

TEST(ScannerFailure, MissingFileGivesClearError) {
    CProgram program;
    Scanner scanner;
    EXPECT_FALSE(scanner.ScanFile("/nonexistent/dir/part.dmi", program));
    EXPECT_EQ(scanner.LastError(),
              "ParseFile error on '/nonexistent/dir/part.dmi', the file could not be opened "
              "(No such file or directory)");
    EXPECT_EQ(scanner.TokenCount(), 0);
}

TEST(ScannerFailure, OnlyARegularFileWithinTheLimitIsScanned) {
    TempFile file("A=1\n");
    const std::string fifo = file.Directory() + "/pipe.dmi";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    const std::string huge = file.Directory() + "/huge.dmi";
    std::ofstream(huge) << "A=1\n";
    ASSERT_EQ(truncate(huge.c_str(), static_cast<off_t>(kMaxDmisFileBytes + 1)), 0);
    const std::pair<std::string, std::string> cases[] = {
        {file.Directory(), "it is a directory, not a regular file"},
        {fifo, "it is a FIFO, not a regular file"},  // must not block
        {"/dev/zero", "it is a character device, not a regular file"},
        {huge, "it holds 268435457 bytes, more than the 256 MiB such a file may hold"},
    };
    for (const auto& [path, reason] : cases) {
        CProgram program;
        Scanner scanner;
        EXPECT_FALSE(scanner.ScanFile(path, program));
        EXPECT_EQ(scanner.LastError(), "ParseFile error on '" + path + "', " + reason);
    }
}

// The cursor the parsers move over the tokens.
class ScannerCursor : public testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(scanner.ScanText("A=1\nB\n", program, "t")); }
    CProgram program;
    Scanner scanner;
};

TEST_F(ScannerCursor, TokenWalksThenReturnsEndOfInputForever) {
    EXPECT_EQ(scanner.Position(), 0);
    const int16_t expected[] = {tkWord, tkEquals, tkInteger, tkEndOfLine, tkWord, tkEndOfLine};
    for (const int16_t kind : expected) {
        EXPECT_EQ(scanner.Token(), kind);
    }
    EXPECT_EQ(scanner.Token(), tkEndOfInput);
    EXPECT_EQ(scanner.Token(), tkEndOfInput);
    EXPECT_EQ(scanner.Position(), 8);
}

TEST_F(ScannerCursor, DataAndLineFollowPosition) {
    scanner.SetPosition(3);
    EXPECT_EQ(scanner.TokenData().Long(), 1);
    EXPECT_EQ(scanner.TokenLineNumber(), 1);
    scanner.SetPosition(5);
    EXPECT_EQ(scanner.TokenData().String(), "B");
    EXPECT_EQ(scanner.TokenLineNumber(), 2);
    scanner.SetPosition(4);
    EXPECT_TRUE(scanner.TokenData().IsEmpty());
    // Outside the list: no data, the nearest token's line.
    scanner.SetPosition(99);
    EXPECT_TRUE(scanner.TokenData().IsEmpty());
    EXPECT_EQ(scanner.TokenLineNumber(), 2);
    scanner.SetPosition(0);
    EXPECT_EQ(scanner.TokenLineNumber(), 1);
}

TEST_F(ScannerCursor, NegativePositionRestartsAtFirstToken) {
    scanner.SetPosition(-7);
    EXPECT_EQ(scanner.Token(), tkWord);
    EXPECT_EQ(scanner.Position(), 1);
}

TEST_F(ScannerCursor, RestoreAboveZeroKeepsLatestMessageWhateverItsSeverity) {
    scanner.SetPosition(2);
    scanner.Restore(3, 4, "first");
    scanner.Restore(1, 1, "second");
    EXPECT_EQ(scanner.Message(), "second");
    EXPECT_EQ(scanner.Severity(), 1);
    EXPECT_EQ(scanner.Position(), 1);
}

TEST_F(ScannerCursor, RestoreAtZeroRecordsOnlyHigherSeverity) {
    scanner.Restore(0, 2, "two");
    EXPECT_EQ(scanner.Message(), "two");
    scanner.Restore(0, 1, "one");
    EXPECT_EQ(scanner.Message(), "two");
    scanner.Restore(0, 2, "same");
    EXPECT_EQ(scanner.Message(), "two");
    scanner.Restore(5, 3, "three");
    EXPECT_EQ(scanner.Message(), "three");
    EXPECT_EQ(scanner.Severity(), 3);
    EXPECT_EQ(scanner.Position(), 5);
    // The test uses the position at the time of the call, not the new one.
    scanner.Restore(0, 1, "moved back");
    EXPECT_EQ(scanner.Message(), "moved back");
    EXPECT_EQ(scanner.ErrorOffset(), 0);
}

TEST(ScannerTokens, ColonNumberDataIsFourElementArray) {
    CProgram program;
    Scanner scanner;
    ASSERT_TRUE(scanner.ScanText("X=12:30:15.5", program, "t"));
    scanner.SetPosition(3);
    const Variant data = scanner.TokenData();
    const VariantArray& parts = data.Array();
    ASSERT_EQ(parts.LBound(), 1);
    ASSERT_EQ(parts.UBound(), 4);
    EXPECT_EQ(parts[1].Type(), VariantType::Integer);
    EXPECT_EQ(parts[1].Integer(), 27);
    EXPECT_EQ(parts[2].Long(), 12);
    EXPECT_EQ(parts[3].String(), "30");
    EXPECT_EQ(parts[4].String(), "15.5");
}

TEST(ScannerTokens, ArrayGrowsInBlocksBeyondOneBlock) {
    // 3000 words plus their line ends need two blocks of 2048 records.
    std::string source;
    for (int i = 0; i < 3000; ++i) {
        source += "W" + std::to_string(i) + "\n";
    }
    CProgram program;
    Scanner scanner;
    ASSERT_TRUE(scanner.ScanText(source, program, "t"));
    ASSERT_EQ(scanner.TokenCount(), 6000);
    EXPECT_EQ(scanner.TokenTextAt(4095), "W2047");
    EXPECT_EQ(scanner.TokenLineAt(4097), 2049);
    EXPECT_EQ(scanner.TokenTextAt(5999), "W2999");
}

TEST(ScannerTokens, ReleasedTokensReadAsEndOfInputOnTheLastReleasedLine) {
    // Three blocks of 2048 records: W0..W2999 on lines 1..3000, two tokens each.
    std::string source;
    for (int i = 0; i < 3000; ++i) {
        source += "W" + std::to_string(i) + "\n";
    }
    CProgram program;
    Scanner scanner;
    ASSERT_TRUE(scanner.ScanText(source, program, "t"));
    scanner.ReleaseTokensBefore(2);  // nothing before the first block goes
    EXPECT_EQ(scanner.TokenTextAt(1), "W0");
    scanner.ReleaseTokensBefore(4100);  // two blocks go, the one holding 4099 stays
    struct Case {
        int32_t position;
        int16_t kind;
        const char* text;
        int32_t line;
    };
    const Case cases[] = {
        {1, tkEndOfInput, "", 2048},   {4096, tkEndOfInput, "", 2048},
        {4097, tkWord, "W2048", 2049}, {4099, tkWord, "W2049", 2050},
        {5999, tkWord, "W2999", 3000}, {6000, tkEndOfLine, "", 3000},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(scanner.TokenKindAt(c.position), c.kind) << c.position;
        EXPECT_EQ(scanner.TokenTextAt(c.position), c.text) << c.position;
        EXPECT_EQ(scanner.TokenLineAt(c.position), c.line) << c.position;
    }
    EXPECT_TRUE(scanner.TokenDataAt(1).IsEmpty());
    scanner.ReleaseTokensBefore(100);  // what is gone stays gone; asking again is harmless
    EXPECT_EQ(scanner.TokenTextAt(4097), "W2048");
}

}  // namespace
}  // namespace vantreel::test

namespace vantreel::test {
namespace {

// Reals are read exactly as the C++ library reads the same literal, whatever
// the number of digits.
TEST(ScannerTokens, RealsRoundLikeFromChars) {
    std::mt19937_64 random(20261205);
    std::string source;
    std::vector<std::string> literals;
    for (int i = 0; i < 20000; ++i) {
        const int integerDigits = static_cast<int>(random() % 11);
        const int fractionDigits = 1 + static_cast<int>(random() % 20);
        std::string literal = std::to_string(random() % 2147483648ULL).substr(0, integerDigits);
        if (literal.empty()) {
            literal = "0";
        }
        literal += '.';
        for (int d = 0; d < fractionDigits; ++d) {
            literal += static_cast<char>('0' + random() % 10);
        }
        literals.push_back(literal);
        source += "X=" + literal + "\n";
    }
    CProgram program;
    Scanner scanner;
    ASSERT_TRUE(scanner.ScanText(source, program, "t"));
    for (std::size_t i = 0; i < literals.size(); ++i) {
        const int32_t position = static_cast<int32_t>(i) * 4 + 3;
        ASSERT_EQ(scanner.TokenKindAt(position), tkReal) << literals[i];
        double expected = 0;
        std::from_chars(literals[i].data(), literals[i].data() + literals[i].size(), expected);
        EXPECT_EQ(scanner.TokenDataAt(position).Double(), expected) << literals[i];
    }
}

}  // namespace
}  // namespace vantreel::test
