#include "ParseHelpers.h"
#include "common/TestRegistry.h"

#include "dmis/DmisFile.h"
#include "dmis/dialect/DmisDialect.h"
#include "dmis/dialect/ExtendedLines.h"
#include "dmis/dialect/Windows1252.h"
#include "shared/InputFile.h"
#include "shared/Text.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace vantreel::test {
namespace {

namespace fs = std::filesystem;

const std::string kData = VANTREEL_TEST_DATA "/dmis";

std::string ReadAll(const fs::path& path) {
    return ReadInputFile(path.string(), kMaxDmisFileBytes, RunTimeError::PathFileAccessError,
                         "test");
}

std::string Ids(const std::vector<DialectWarning>& warnings) {
    std::string ids;
    for (const DialectWarning& warning : warnings) {
        ids += (ids.empty() ? "" : " ") + std::to_string(warning.line) + ":" +
               std::to_string(warning.id);
    }
    return ids;
}

// ---------------------------------------------------------------------------
// The lines the scanner gets.

std::string Prepared(std::string_view text, std::string* ids = nullptr) {
    DialectWarnings warnings;
    const ExtendedLines lines(text, warnings);
    std::string out;
    for (std::size_t i = 0; i < lines.Count(); ++i) {
        out += std::to_string(lines.Number(i)) + ":" + std::string(lines.Text(i)) + "|";
    }
    if (ids != nullptr) {
        *ids = Ids(warnings.Sorted());
    }
    return out;
}

struct LinesCase {
    const char* name;
    const char* text;
    const char* lines;
    const char* warnings;
};

TEST(ExtendedLines, RewritesWhatTheScannerRefuses) {
    const LinesCase cases[] = {
        {"valid lines pass as they are", "F(P)=FEAT/POINT,CART,0,0,0,0,0,1\r\nENDFIL\r\n",
         "1:F(P)=FEAT/POINT,CART,0,0,0,0,0,1|2:ENDFIL|", ""},
        {"a continuation joins as the strict scanner does", "A/1,$\n  2\nENDFIL\n",
         "2:A/1,  2|3:ENDFIL|", ""},
        {"a continuation into an empty line ends the statement without its comma",
         "D(D1)=DATSET/FA(P),ZDIR,$\n\nENDFIL\n", "2:D(D1)=DATSET/FA(P),ZDIR|3:ENDFIL|",
         "2:167206"},
        {"indentation inside a split name is left out", "OUTPUT/FA(A02$\n    F5)\nENDFIL\n",
         "2:OUTPUT/FA(A02F5)|3:ENDFIL|", "2:167219"},
        {"indentation after a comma stays", "OUTPUT/FA(A),$\n    FA(B)\nENDFIL\n",
         "2:OUTPUT/FA(A),    FA(B)|3:ENDFIL|", ""},
        {"a trailing comment becomes a comment line of the same line",
         "GOTO/CART,0,0,150  $$ clearance\nENDFIL\n",
         "1:GOTO/CART,0,0,150|1:$$ clearance|2:ENDFIL|", "1:167201"},
        {"$$ inside a string is text", "TEXT/OPER,'A $$ B'\nENDFIL\n",
         "1:TEXT/OPER,'A $$ B'|2:ENDFIL|", ""},
        {"free text becomes a comment", "//////\nMettre en place\nPAUSE\nENDFIL\n",
         "1:$$ //////|2:$$ Mettre en place|3:PAUSE|4:ENDFIL|", "1:167205 2:167205"},
        {"a jump label line is no free text", "(L1)\nENDFIL\n", "1:(L1)|2:ENDFIL|", ""},
        {"two statements on one line",
         "F(C)=FEAT/CIRCLE,INNER,CART,0,0,0,0,0,1,8 MEAS/CIRCLE,F(C),4\n",
         "1:F(C)=FEAT/CIRCLE,INNER,CART,0,0,0,0,0,1,8|1:MEAS/CIRCLE,F(C),4|1:ENDFIL|",
         "1:167209 1:167203"},
        {"a blank inside a parameter list is no second statement",
         "MEAS/CIRCLE, F (CR1),8\nRECALL/ALIGN,'P_' + STR(V1)\nENDFIL\n",
         "1:MEAS/CIRCLE, F (CR1),8|2:RECALL/ALIGN,'P_' + STR(V1)|3:ENDFIL|", ""},
        {"blanks inside a dotted operator", "IF/(B1. EQ.C1 .and. X. NE .Y)\nENDFIL\n",
         "1:IF/(B1.EQ.C1 .and. X.NE.Y)|2:ENDFIL|", "1:167210"},
        {"a real before a blank is left alone", "A/1. ,2\nENDFIL\n", "1:A/1. ,2|2:ENDFIL|", ""},
        {"ENDFIL is supplied after the last line", "PAUSE\n$$ end\n", "1:PAUSE|2:$$ end|2:ENDFIL|",
         "2:167203"},
        {"a file of comments gets no ENDFIL", "$$ only a comment\n", "1:$$ only a comment|", ""},
        {"text after ENDFIL is counted and left out", "ENDFIL\nDMISMN/'B',05.2\n$$ kept\nENDFIL\n",
         "1:ENDFIL|3:$$ kept|", "2:167204"},
        {"a text that lost its opening quote", "TEXT/OPER, PLACE THE PROBE'\nENDFIL\n",
         "1:TEXT/OPER, 'PLACE THE PROBE'|2:ENDFIL|", "1:167214"},
        {"a text never closed is closed at the end", "TEXT/OPER,'PLACE\nENDFIL\n",
         "1:TEXT/OPER,'PLACE'|2:ENDFIL|", "1:167214"},
        {"a surplus closing parenthesis at the end", "K=ASSIGN/((A-1)*2)**2)\nENDFIL\n",
         "1:K=ASSIGN/((A-1)*2)**2|2:ENDFIL|", "1:167217"},
        {"a missing comma between two labels", "OUTPUT/FA(A)FA(B),TA(T)\nENDFIL\n",
         "1:OUTPUT/FA(A),FA(B),TA(T)|2:ENDFIL|", "1:167218"},
        {"a name beyond ASCII is kept and reported", "F(D\xe9)=FEAT/POINT\nENDFIL\n",
         "1:F(D\xe9)=FEAT/POINT|2:ENDFIL|", "1:167202"},
        {"a letter beyond ASCII inside a string is no name", "TEXT/OPER,'\xe9t\xe9'\nENDFIL\n",
         "1:TEXT/OPER,'\xe9t\xe9'|2:ENDFIL|", ""},
    };
    for (const LinesCase& c : cases) {
        std::string ids;
        EXPECT_EQ(Prepared(c.text, &ids), c.lines) << c.name;
        EXPECT_EQ(ids, c.warnings) << c.name;
    }
}

TEST(ExtendedLines, Utf8IsWrittenInWindows1252) {
    std::string ids;
    // A byte-order mark, "é" and "€" (both in Windows-1252) and "ş" (not).
    EXPECT_EQ(Prepared("\xEF\xBB\xBF"
                       "F(\xC3\xA9)=FEAT/POINT\nTEXT/OPER,'\xE2\x82\xAC \xC5\x9F'\nENDFIL\n",
                       &ids),
              "1:F(\xE9)=FEAT/POINT|2:TEXT/OPER,'\x80 ?'|3:ENDFIL|");
    EXPECT_EQ(ids, "1:167212 1:167202 2:167211");
    // Latin-1 input is not UTF-8: its bytes stay as they are.
    EXPECT_EQ(Prepared("F(\xE9)=FEAT/POINT\nENDFIL\n", &ids), "1:F(\xE9)=FEAT/POINT|2:ENDFIL|");
    EXPECT_EQ(ids, "1:167202");
}

TEST(Windows1252, Conversion) {
    const struct {
        const char* utf8;
        const char* windows1252;
        int lost;
    } cases[] = {
        {"plain", "plain", 0},
        {"\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F", "\xE4\xF6\xFC\xDF", 0},
        {"\xE2\x82\xAC\xE2\x80\x9C\xC5\xA0\xC5\xB8", "\x80\x93\x8A\x9F", 0},
        {"\xC5\x9F\xC4\x9F", "??", 2},
        {"\xF0\x9F\x98\x80!", "?!", 1},
        {"\xC2\x81", "?", 1},  // U+0081: a hole of Windows-1252
    };
    for (const auto& c : cases) {
        std::string out;
        EXPECT_EQ(CopyUtf8AsWindows1252(c.utf8, out), c.lost) << c.utf8;
        EXPECT_EQ(out, c.windows1252) << c.utf8;
    }
    const struct {
        const char* text;
        bool utf8;
    } validity[] = {
        {"ascii", true},
        {"\xC3\xA9", true},
        {"\xE9t\xE9", false},
        {"\xC0\xAF", false},
        {"\xED\xA0\x80", false},
        {"\xE2\x82", false},
        {"\xF4\x90\x80\x80", false},
    };
    for (const auto& v : validity) {
        EXPECT_EQ(IsUtf8(v.text), v.utf8) << v.text;
    }
}

// ---------------------------------------------------------------------------
// Whole programs.

class DialectTest : public ParserTest {
  protected:
    DmisFileResult Parse(const std::string& text, DmisDialect dialect,
                         std::string* listing = nullptr) {
        CProgram program;
        DmisFileResult result = ParseDmisText(text, "t.dmi", program, dialect);
        if (listing != nullptr && result.ok) {
            std::ostringstream out;
            program.PrettyPrint(out);
            *listing = out.str();
        }
        return result;
    }
};

struct ProgramCase {
    const char* name;
    const char* text;
    const char* warnings;      // line:ID of each warning
    const char* listingHolds;  // a piece of the extended listing
};

TEST_F(DialectTest, ExtendedAcceptsWhatStrictRefuses) {
    const ProgramCase cases[] = {
        {"a bare word", "PAUSE\nENDFIL\n", "1:167200", "PAUSE"},
        {"a label used before its definition",
         "OUTPUT/FA(P),T(FLAT1)\nT(FLAT1)=TOL/FLAT,0.02\nENDFIL\n", "2:167208",
         "T(FLAT1)=TOL/FLAT,0.02"},
        {"a tolerance defined twice", "T(D)=TOL/FLAT,0.02\nT(D)=TOL/FLAT,0.03\nENDFIL\n",
         "2:167213", "T(D)=TOL/FLAT,0.03"},
        {"a variable in a point list", "DECL/INTGR,N\nOUTPUT/FA(P)[1,N]\nENDFIL\n", "2:167207",
         "OUTPUT/FA(P)"},
        {"an assignment without DECL", "K=ASSIGN/2\nENDFIL\n", "1:167215", "DECL/LOCAL,VARIANT,K"},
        {"a logical constant as an operand",
         "DECL/INTGR,K\nIF/(K .EQ. .FALSE.)\nK=ASSIGN/1\nENDIF\nENDFIL\n", "2:167216", "IF/"},
        {"a fragment without ENDFIL", "F(P)=FEAT/POINT,CART,0,0,0,0,0,1\n", "1:167203",
         "F(P)=FEAT/POINT"},
        {"a label with letters beyond ASCII", "F(D\xe9)=FEAT/POINT,CART,0,0,0,0,0,1\nENDFIL\n",
         "1:167202", "F(D\xe9)="},
    };
    for (const ProgramCase& c : cases) {
        EXPECT_FALSE(Parse(c.text, DmisDialect::Strict).ok) << c.name;
        std::string listing;
        const DmisFileResult extended = Parse(c.text, DmisDialect::Extended, &listing);
        EXPECT_TRUE(extended.ok) << c.name << ": " << extended.message;
        EXPECT_EQ(Ids(extended.warnings), c.warnings) << c.name;
        EXPECT_NE(listing.find(c.listingHolds), std::string::npos) << c.name << "\n" << listing;
    }
}

TEST_F(DialectTest, ExtendedStillRefuses) {
    const struct {
        const char* name;
        const char* text;
        const char* message;
    } cases[] = {
        {"an empty file", "", "Missing word ENDFIL"},
        {"a stray block end", "ENDMES\nENDFIL\n", "Missing word ENDFIL (line 1)"},
        {"a block never closed", "DECL/INTGR,K\nIF/(K.EQ.1)\nK=ASSIGN/2\nENDFIL\n",
         "Missing word ENDIF"},
        {"an empty parameter", "A/1,,2\nENDFIL\n", "Invalid parameter"},
    };
    for (const auto& c : cases) {
        const DmisFileResult result = Parse(c.text, DmisDialect::Extended);
        EXPECT_FALSE(result.ok) << c.name;
        EXPECT_NE(result.message.find(c.message), std::string::npos)
            << c.name << ": " << result.message;
    }
}

// Extended reading of valid programs changes nothing: the same listing, the
// same Basic modules, no warning.
TEST_F(DialectTest, ValidProgramsReadTheSameInBothDialects) {
    for (const char* name : {"macros", "plate_program", "variables"}) {
        const std::string text = ReadAll(fs::path(kData) / "parse" / (std::string(name) + ".dmi"));
        CProgram strict;
        CProgram extended;
        const DmisFileResult strictResult = ParseDmisText(text, name, strict);
        const DmisFileResult extendedResult =
            ParseDmisText(text, name, extended, DmisDialect::Extended);
        ASSERT_TRUE(strictResult.ok) << name << ": " << strictResult.message;
        ASSERT_TRUE(extendedResult.ok) << name << ": " << extendedResult.message;
        EXPECT_TRUE(extendedResult.warnings.empty())
            << name << ": " << Ids(extendedResult.warnings);
        std::ostringstream strictMain, strictSupport, extendedMain, extendedSupport;
        strict.WriteToBas(strictMain, strictSupport);
        extended.WriteToBas(extendedMain, extendedSupport);
        EXPECT_EQ(extendedMain.str(), strictMain.str()) << name;
        EXPECT_EQ(extendedSupport.str(), strictSupport.str()) << name;
    }
    // A program the strict rules refuse fails the same way in both.
    const std::string text = ReadAll(fs::path(kData) / "parse" / "missing_endif.dmi");
    CProgram a;
    CProgram b;
    EXPECT_EQ(ParseDmisText(text, "m", a, DmisDialect::Extended).message,
              ParseDmisText(text, "m", b).message);
}

TEST_F(DialectTest, WarningsHaveTextsInEnglishAndGerman) {
    const int32_t ids[] = {
#define DIALECT_WARNING(name, id) id,
#include "dmis/dialect/DialectWarnings.def"
#undef DIALECT_WARNING
    };
    for (const int32_t language : {1033, 1031}) {
        int32_t chosen = language;
        SetLanguage(chosen);
        for (const int32_t id : ids) {
            const std::string text = DialectWarning{1, id, "X"}.Text();
            EXPECT_EQ(text.find("missing"), std::string::npos) << language << " " << id;
            EXPECT_EQ(text.find("fehlt in den"), std::string::npos) << language << " " << id;
            EXPECT_EQ(text.find("%0%"), std::string::npos) << language << " " << id;
        }
    }
}

// ---------------------------------------------------------------------------
// Nothing is dropped: the measurement blocks, feature and tolerance
// definitions and OUTPUT statements of the DMIS text (counted from the text
// alone, up to the first ENDFIL) are the calls in the Basic modules.

struct Counts {
    int meas = 0;
    int feat = 0;
    int tol = 0;
    int output = 0;
    friend bool operator==(const Counts&, const Counts&) = default;
};

std::ostream& operator<<(std::ostream& out, const Counts& c) {
    return out << "MEAS " << c.meas << ", FEAT " << c.feat << ", TOL " << c.tol << ", OUTPUT "
               << c.output;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            lines.push_back(line);
            line.clear();
        } else {
            line += text[i];
        }
    }
    if (!line.empty()) {
        lines.push_back(line);
    }
    return lines;
}

Counts CountInDmis(const std::string& text) {
    static const std::regex meas(R"((^|[^A-Z0-9_])R?MEAS\s*/)");
    static const std::regex feat(R"(=\s*FEAT\s*/)");
    static const std::regex tol(R"(=\s*TOL\s*/)");
    static const std::regex output(R"((^|[^A-Z0-9_])OUTPUT\s*/)");
    auto count = [](const std::string& line, const std::regex& pattern) {
        return static_cast<int>(std::distance(
            std::sregex_iterator(line.begin(), line.end(), pattern), std::sregex_iterator()));
    };
    Counts counts;
    std::string joined;
    for (const std::string& physical : SplitLines(text)) {
        const std::string_view trimmed = Trim(physical, " \t");
        if (trimmed.size() >= 1 && trimmed.back() == '$' && trimmed != "$$") {
            joined += trimmed.substr(0, trimmed.size() - 1);
            continue;
        }
        joined += trimmed;
        std::string code;  // without strings and comments
        bool inString = false;
        for (std::size_t i = 0; i < joined.size(); ++i) {
            if (joined[i] == '\'') {
                inString = !inString;
            } else if (!inString && joined.compare(i, 2, "$$") == 0) {
                break;
            } else if (!inString) {
                code += joined[i];
            }
        }
        joined.clear();
        code = ToUpperAscii(code);
        if (Trim(code, " \t") == "ENDFIL") {
            break;
        }
        counts.meas += count(code, meas);
        counts.feat += count(code, feat);
        counts.tol += count(code, tol);
        counts.output += count(code, output);
    }
    return counts;
}

Counts CountInBasic(const std::string& modules) {
    Counts counts;
    for (const std::string& line : SplitLines(modules)) {
        const std::string_view code = Trim(line, " ");
        counts.meas += code.starts_with("DmsMEAS ") || code.starts_with("DmsRMEAS ") ? 1 : 0;
        counts.feat += code.starts_with("DmsFEAT ") ? 1 : 0;
        counts.tol += code.starts_with("DmsTOL ") ? 1 : 0;
        counts.output += code.starts_with("DmsOUTPUT ") ? 1 : 0;
    }
    return counts;
}

// The counts of the text, once compared with those of the Basic modules.
Counts ExpectNothingDropped(const fs::path& file) {
    const std::string text = ReadAll(file);
    CProgram program;
    const DmisFileResult result =
        ParseDmisText(text, file.string(), program, DmisDialect::Extended);
    EXPECT_TRUE(result.ok) << file << ": " << result.message;
    std::ostringstream modMain, modSupport;
    program.WriteToBas(modMain, modSupport);
    const Counts inText = CountInDmis(text);
    EXPECT_EQ(CountInBasic(modMain.str() + modSupport.str()), inText) << file;
    return inText;
}

TEST_F(DialectTest, NothingIsDropped) {
    int files = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(kData + "/dialect")) {
        if (entry.path().extension() == ".dmi") {
            const Counts counts = ExpectNothingDropped(entry.path());
            EXPECT_GT(counts.meas + counts.feat + counts.tol + counts.output, 0) << entry.path();
            ++files;
        }
    }
    EXPECT_EQ(files, 3);
    // The counts themselves: station_habits.dmi holds 2 MEAS, 2 FEAT, 3 TOL, 3 OUTPUT.
    EXPECT_EQ(CountInDmis(ReadAll(kData + "/dialect/station_habits.dmi")), (Counts{2, 2, 3, 3}));
}

// With VANTREEL_DMIS_CORPUS naming a folder of real programs, the same over
// each of them (they are not part of the project).
TEST_F(DialectTest, NothingIsDroppedFromACorpus) {
    const char* corpus = std::getenv("VANTREEL_DMIS_CORPUS");
    if (corpus == nullptr) {
        GTEST_SKIP() << "VANTREEL_DMIS_CORPUS is not set";
    }
    for (const fs::directory_entry& entry : fs::directory_iterator(corpus)) {
        const std::string extension = ToUpperAscii(entry.path().extension().string());
        if (extension == ".DMI" || extension == ".DMO") {
            ExpectNothingDropped(entry.path());
        }
    }
}

// ---------------------------------------------------------------------------
// The dialog's conversions take the dialect from the registry.

class DialectRegistryTest : public RegistryTest {};

TEST_F(DialectRegistryTest, CommonDmisDialect) {
    EXPECT_EQ(DmisDialectFromRegistry(), DmisDialect::Strict);  // no value at all
    const struct {
        const char* value;
        DmisDialect dialect;
    } cases[] = {
        {"Extended", DmisDialect::Extended}, {"extended", DmisDialect::Extended},
        {"Strict", DmisDialect::Strict},     {"", DmisDialect::Strict},
        {"lenient", DmisDialect::Strict},
    };
    for (const auto& c : cases) {
        Set("Common", "DmisDialect", c.value);
        EXPECT_EQ(DmisDialectFromRegistry(), c.dialect) << c.value;
    }
}

TEST(DmisDialectNames, ParseAndName) {
    EXPECT_EQ(ParseDmisDialect("STRICT"), DmisDialect::Strict);
    EXPECT_EQ(ParseDmisDialect("Extended"), DmisDialect::Extended);
    EXPECT_EQ(ParseDmisDialect("extend"), std::nullopt);
    EXPECT_EQ(ParseDmisDialect(""), std::nullopt);
    EXPECT_EQ(DmisDialectName(DmisDialect::Extended), "extended");
    EXPECT_EQ(DmisDialectName(DmisDialect::Strict), "strict");
}

}  // namespace
}  // namespace vantreel::test
