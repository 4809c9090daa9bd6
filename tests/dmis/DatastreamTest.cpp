#include "ParseHelpers.h"

#include "dmis/DmisFile.h"
#include "dmis/model/CComments.h"
#include "dmis/stream/Datastream.h"
#include "shared/FileUtil.h"
#include "shared/MessageBox.h"
#include "vantreel/Error.h"

#include <sys/stat.h>
#include <utime.h>

#include <filesystem>
#include <fstream>

namespace vantreel::test {
namespace {

// A directory of the test's own.
class DatastreamTest : public ParserTest {
  protected:
    void SetUp() override {
        ParserTest::SetUp();
        char pattern[] = "/tmp/vantreel-stream-XXXXXX";
        directory_ = mkdtemp(pattern);
    }
    void TearDown() override { std::filesystem::remove_all(directory_); }

    std::string File(const std::string& name) const { return (directory_ / name).string(); }

    std::string Bytes(const std::string& path) const {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }

    std::string Saved(const CProgram& program) {
        const std::string path = File("model.bin");
        std::filesystem::remove(path);
        Datastream stream;
        stream.WriteOpen(path);
        program.WriteStream(stream);
        stream.WriteClose();
        return Bytes(path);
    }

    std::unique_ptr<CProgram> Loaded(const std::string& bytes) {
        const std::string path = File("load.bin");
        std::ofstream(path, std::ios::binary) << bytes;
        auto program = std::make_unique<CProgram>();
        Datastream stream;
        stream.ReadOpen(path);
        program->ReadStream(stream);
        EXPECT_TRUE(stream.ReadEOF());
        return program;
    }

    std::filesystem::path directory_;
};

using namespace std::string_literals;

TEST_F(DatastreamTest, EmptyProgramBytes) {
    CProgram program;
    EXPECT_EQ(Saved(program), "\0\0\0\0\0\0\0\0\0\0\0\0"s);
}

TEST_F(DatastreamTest, SmallProgramBytesWrittenByHand) {
    CProgram program;
    program.SetName("N");
    auto statement = std::make_unique<CStatement>();
    statement->SetLineNumber(3);
    statement->SetStatementType("GOHOME");
    program.objStatements->AddStatement(std::move(statement));
    auto comment = std::make_unique<CComment>();
    comment->SetLineNumber(1);
    comment->SetComment("$$ c");
    program.objComments->AddComment(std::move(comment));

    const std::string expected =
        "\x01\x00N"s         // Name
        "\x00\x00"s          // FileName
        "\x01\x00\x00\x00"s  // one statement
        "\x03\x00\x00\x00"s  // its line
        "\x06\x00GOHOME"s    // its type
        "\x00\x00\x00\x00"s  // LValue: kind 0
        "\x00\x00"s          //   and an empty Variant
        "\x00\x00\x00\x00"s  // no nested statements
        "\x00\x00\x00\x00"s  // no parameters
        "\x01\x00\x00\x00"s  // one comment
        "\x01\x00\x00\x00"s  // its line
        "\x04\x00$$ c"s;     // its text
    EXPECT_EQ(Saved(program), expected);
    const std::unique_ptr<CProgram> loaded = Loaded(expected);
    EXPECT_EQ(loaded->Name(), "N");
    EXPECT_EQ(loaded->objStatements->Item(1).BuildString(), "GOHOME");
    EXPECT_EQ(loaded->objComments->Item(1).Comment(), "$$ c");
}

TEST_F(DatastreamTest, ExpressionBytesFollowTheKind) {
    // F(P1)=FEAT/-X,1+2 : a label, a one-operand node and a binary node.
    CProgram program;
    ASSERT_TRUE(ParseDmisText("F(P1)=FEAT/-X,1+2\nENDFIL\n", "t", program).ok);
    program.objStatements->TakeLast();  // keep only the FEAT statement
    program.objComments->RemoveAllFromCol();
    const std::string expected =
        "\x00\x00\x00\x00\x01\x00\x00\x00"s  // Name, FileName, one statement
        "\x01\x00\x00\x00\x04\x00"s
        "FEAT"s              // line 1, FEAT
        "\x09\x00\x00\x00"s  // LValue kind 9
        "\x08\x00\x01\x00"s
        "F"s
        "\x08\x00\x02\x00P1"s                 // two String Variants
        "\x00\x00\x00\x00"s                   // no nested statements
        "\x02\x00\x00\x00"s                   // two parameters
        "\x06\x00\x00\x00"s                   // kind 6
        "\x08\x00\x00\x00\x08\x00\x01\x00X"s  // its operand: kind 8, String X
        "\x01\x00\x00\x00"s                   // kind 1
        "\x0a\x00\x00\x00\x0b\x00\x00\x00\x03\x00\x01\x00\x00\x00"s  // 10(11: Long 1)
        "\x0a\x00\x00\x00\x0b\x00\x00\x00\x03\x00\x02\x00\x00\x00"s  // 10(11: Long 2)
        "\x00\x00\x00\x00"s;                                         // no comments
    EXPECT_EQ(Saved(program), expected);
}

TEST_F(DatastreamTest, EveryExpressionKindRoundTrips) {
    const std::string source =
        "DECL/REAL,X,ARR[3]\n"
        "X=ASSIGN/-(1+2.5*3)/4-5**2\n"
        "IF/(X.EQ.1 .OR. X.NE.2 .AND. .NOT. X.LE.3 .OR. X.LT.4 .OR. X.GT.5 .OR. X.GE.6)\n"
        "ENDIF\n"
        "TEXT/OPER,'a''b',12:30:05.5,.TRUE.,.FALSE.,DAT(A-B),ARR[2],MAX(1,X),NOW()\n"
        "F(P-1)=FEAT/POINT,CART,-1,0,0\n"
        "OUTPUT/FA(P-1)[1,2]\n"
        "ENDFIL\n";
    CProgram program;
    ASSERT_TRUE(ParseDmisText(source, "t", program).ok);
    std::ostringstream before;
    program.PrettyPrint(before);
    const std::unique_ptr<CProgram> loaded = Loaded(Saved(program));
    std::ostringstream after;
    loaded->PrettyPrint(after);
    EXPECT_EQ(after.str(), before.str());
    // Value types survive: the count of a list stays an Integer, numbers stay Long and Double.
    const CExpressions& parameters = *loaded->objStatements->Item(4).objExpressions;
    EXPECT_EQ(parameters.Item(3).Value().Array()[1].Integer(), 27);
    EXPECT_EQ(parameters.Item(3).Value().Array()[4].String(), "05.5");
    EXPECT_EQ(parameters.Item(6).Value().Array()[2].Type(), VariantType::Integer);
    EXPECT_EQ(parameters.Item(8).Value().Array()[2].Integer(), 2);
    // OUTPUT point lists are not streamed.
    EXPECT_TRUE(loaded->objStatements->Item(6).objExpressions->Item(1).OutPutPoints().IsEmpty());
}

TEST_F(DatastreamTest, LongOperatorChainsRoundTrip) {
    // A chain of 1+2+3... is left-deep: every unfinished parent waits while the
    // next one is read. 150 000 operators load in a moment when loading is
    // linear and take minutes when it is not.
    struct ChainCase {
        const char* name;
        const char* head;  // the statement up to the chain
        const char* first;
        const char* next;
        const char* tail;
    };
    const ChainCase cases[] = {
        {"left-deep sums", "X=ASSIGN/", "1", "+2", ""},
        {"products and powers", "X=ASSIGN/", "X", "*2**3", ""},
        {"comparisons joined by OR", "IF/(", "X.EQ.1", " .OR. X.NE.2", ")\nENDIF"},
    };
    for (const ChainCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::string source = std::string("DECL/REAL,X\n") + c.head + c.first;
        for (int i = 0; i < 150000 / 3; ++i) {
            source += c.next;
        }
        source += std::string(c.tail) + "\nENDFIL\n";
        CProgram program;
        ASSERT_TRUE(ParseDmisText(source, "t", program).ok);
        const std::string saved = Saved(program);
        const std::unique_ptr<CProgram> loaded = Loaded(saved);
        EXPECT_EQ(Saved(*loaded), saved);
        EXPECT_EQ(loaded->objStatements->Item(2).objExpressions->Item(1).BuildString(),
                  program.objStatements->Item(2).objExpressions->Item(1).BuildString());
    }
}

TEST_F(DatastreamTest, VariantRecords) {
    const std::string path = File("variants.bin");
    Datastream stream;
    stream.WriteOpen(path);
    stream.WriteVariant(Variant::FromBoolean(true));
    stream.WriteVariant(Variant::FromDouble(0.5));
    stream.WriteVariant(Variant::FromByte(7));
    stream.WriteVariant(Variant::MakeNull());
    stream.WriteVariant(Variant::FromCurrency(12345));
    stream.WriteVariant(Variant::FromDate(2.25));
    stream.WriteVariant(Variant::FromSingle(1.5f));
    stream.WriteInteger(-2);
    stream.WriteMarker("END");
    stream.WriteClose();
    EXPECT_EQ(Bytes(path).substr(0, 4), "\x0b\x00\xff\xff"s);
    EXPECT_EQ(Bytes(path).size(), 4u + 10 + 3 + 2 + 10 + 10 + 6 + 2 + 3);

    stream.ReadOpen(path);
    EXPECT_TRUE(stream.ReadVariant().Boolean());
    EXPECT_EQ(stream.ReadVariant().Double(), 0.5);
    EXPECT_EQ(stream.ReadVariant().Byte(), 7);
    EXPECT_EQ(stream.ReadVariant().Type(), VariantType::Null);
    EXPECT_EQ(stream.ReadVariant().Currency(), 12345);
    EXPECT_EQ(stream.ReadVariant().Date(), 2.25);
    EXPECT_EQ(stream.ReadVariant().Single(), 1.5f);
    EXPECT_EQ(stream.ReadInteger(), -2);
    EXPECT_FALSE(stream.ReadEOF());
    EXPECT_TRUE(stream.ReadMarker("END"));
    EXPECT_TRUE(stream.ReadEOF());
}

TEST_F(DatastreamTest, ClearErrors) {
    Datastream stream;
    EXPECT_TRUE(stream.ReadEOF());
    EXPECT_EQ(ErrorNumber([&] { stream.WriteLong(1); }), 5000);
    EXPECT_EQ(ErrorNumber([&] { (void)stream.ReadLong(); }), 5000);
    stream.WriteOpen(File("long.bin"));
    EXPECT_EQ(ErrorNumber([&] { stream.WriteString(std::string(32768, 'x')); }), 6);
    EXPECT_NO_THROW(stream.WriteString(std::string(32767, 'x')));
    EXPECT_EQ(ErrorNumber([&] { stream.WriteVariant(Variant::FromArray(VariantArray(1, 1))); }),
              13);

    const std::string cases[] = {
        "\x00\x00"s,                                                                // ends early
        "\x00\x00\x00\x00\xff\xff\xff\x7f"s,                                        // a huge count
        "\x00\x00\x00\x00\x01\x00\x00\x00"s + std::string(16, '\0') + "\x63\x00"s,  // bad type
    };
    for (const std::string& bytes : cases) {
        const std::string path = File("bad.bin");
        std::ofstream(path, std::ios::binary) << bytes;
        CProgram program;
        Datastream reader;
        reader.ReadOpen(path);
        EXPECT_THROW(program.ReadStream(reader), Error);
    }
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void SetModified(const std::string& path, time_t seconds) {
    struct utimbuf times {
        seconds, seconds
    };
    utime(path.c_str(), &times);
}

time_t Modified(const std::string& path) {
    struct stat info {};
    stat(path.c_str(), &info);
    return info.st_mtim.tv_sec;
}

TEST_F(DatastreamTest, EmbeddedFilesKeepTheirTimeAndAskBeforeReplacingNewerOnes) {
    const std::string original = File("part.pif");
    std::ofstream(original, std::ios::binary) << std::string(40000, 'p');  // more than one chunk
    SetModified(original, 1700000000);
    const std::string stream = File("bundle.bin");
    {
        Datastream writer;
        writer.WriteOpen(stream);
        writer.WriteFile(original);
        writer.WriteFile(original);
        writer.WriteClose();
    }
    std::vector<std::string> asked;
    int32_t answer = vbNo;
    const MessageBoxHandler previous =
        SetMessageBoxHandler([&](const std::string& text, int32_t style, const std::string&) {
            EXPECT_EQ(style, vbYesNo + vbQuestion);
            asked.push_back(text);
            return answer;
        });
    const std::string copy = File("copy.pif");
    {
        Datastream reader;
        reader.ReadOpen(stream);
        reader.ReadFile(copy);  // no file there: written without a question
        EXPECT_EQ(ReadText(copy), ReadText(original));
        EXPECT_EQ(Modified(copy), 1700000000);
        std::ofstream(copy) << "newer";
        SetModified(copy, 1800000000);
        reader.ReadFile(copy);  // newer file there: asked, No keeps it
        EXPECT_EQ(ReadText(copy), "newer");
        EXPECT_TRUE(reader.ReadEOF());
    }
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_NE(asked[0].find(copy), std::string::npos);
    answer = vbYes;
    {
        Datastream reader;
        reader.ReadOpen(stream);
        reader.SkipFile();
        reader.ReadFile(copy);  // Yes replaces it
        EXPECT_EQ(ReadText(copy), ReadText(original));
    }
    SetMessageBoxHandler(previous);
    EXPECT_EQ(asked.size(), 2u);
}

TEST(FileUtil, DatesInLocalTime) {
    char pattern[] = "/tmp/vantreel-fileutil-XXXXXX";
    const std::filesystem::path directory = mkdtemp(pattern);
    const std::string path = (directory / "f.txt").string();
    std::ofstream(path) << "x";
    FileUtil file;
    file.CloseFile();  // nothing open: nothing happens
    std::string description;
    EXPECT_EQ(ErrorNumber([&] { (void)file.GetDateTime(); }, &description), 500);
    EXPECT_EQ(description, "File not open");
    EXPECT_EQ(
        ErrorNumber([&] { file.OpenFileForRead((directory / "none").string()); }, &description),
        500);
    EXPECT_EQ(description, "Win32 (2)");
    file.OpenFileForWrite(path);
    for (const double date : {45000.5, 36526.0, 44197.999988425925, 60000.75}) {
        file.SetDateTime(date);
        EXPECT_NEAR(file.GetDateTime(), date, 1.0 / 86400) << date;
    }
    file.CloseFile();
    std::filesystem::remove_all(directory);
}

}  // namespace
}  // namespace vantreel::test
