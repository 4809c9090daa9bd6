#include "ParseHelpers.h"

#include "components/ComponentFactory.h"
#include "components/FileSystemPart.h"
#include "dmis/ConversionDriver.h"
#include "shared/MessageBox.h"
#include "shared/RegEntry.h"
#include "shared/StagingDirectory.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>

namespace vantreel::test {
namespace {

namespace fs = std::filesystem;

// A station on a temporary directory: registry, repository, a build stand-in
// that records its command line, and a scripted message box.
class ConversionDriverTest : public ParserTest {
  protected:
    void SetUp() override {
        ParserTest::SetUp();
        char pattern[] = "/tmp/vantreel-convert-XXXXXX";
        station_ = mkdtemp(pattern);
        root_ = station_ / "repository";
        fs::create_directories(root_);
        fs::create_directories(station_ / "vb6");
        setenv("VANTREEL_REGISTRY", (station_ / "registry.db").c_str(), 1);
        RegEntry registry;
        registry.CreateKey("Common");
        registry.SetString("RepositoryRoot", root_.string());
        SetBuildScript("echo \"$@\" >\"" + (station_ / "build.args").string() + "\"\nexit 0\n");
        previous_ = SetMessageBoxHandler(
            [this](const std::string& text, int32_t style, const std::string& title) {
                messages_.push_back({text, style, title});
                return vbOK;
            });
    }
    void TearDown() override {
        SetMessageBoxHandler(previous_);
        unsetenv("VANTREEL_REGISTRY");
        fs::remove_all(station_);
    }

    void SetBuildScript(const std::string& body) {
        const fs::path script = station_ / "vb6" / "Vb6.exe";
        std::ofstream(script) << "#!/bin/sh\n" << body;
        fs::permissions(script, fs::perms::owner_all);
        RegEntry registry;
        registry.SetDefaultRoot("SOFTWARE\\Microsoft\\VisualStudio\\6.0\\Setup");
        registry.CreateKey("Microsoft Visual Basic");
        registry.SetString("ProductDir", (station_ / "vb6").string());
    }

    LegacyConversion Conversion(const std::string& source, const std::string& name) {
        const fs::path file = station_ / (name + ".DMS");
        std::ofstream(file) << source;
        LegacyConversion conversion;
        conversion.SourceFile = file.string();
        conversion.Name = name;
        conversion.Directory = (root_ / name).string();
        return conversion;
    }

    struct Message {
        std::string text;
        int32_t style;
        std::string title;
    };

    fs::path station_;
    fs::path root_;
    std::vector<Message> messages_;
    MessageBoxHandler previous_;
};

constexpr const char* kProgram = "$$ old part\nUNITS/MM\nGOHOME\nENDFIL\n";

TEST_F(ConversionDriverTest, ConvertsCreatesWritesRepaginatesAndBuilds) {
    LegacyConversion conversion = Conversion(kProgram, "OLD");
    ASSERT_TRUE(ConvertLegacyPart(conversion));
    EXPECT_TRUE(messages_.empty()) << messages_.front().text;
    const fs::path part = root_ / "OLD";
    EXPECT_TRUE(fs::exists(part / "OLD.vbp"));
    std::ifstream mainModule(part / "ModMain.bas", std::ios::binary);
    std::string firstLine;
    std::getline(mainModule, firstLine);
    EXPECT_EQ(firstLine, "Attribute VB_NAME = \"modMain\"\r");
    std::ifstream supportModule(part / "ModSupport.bas", std::ios::binary);
    std::getline(supportModule, firstLine);
    EXPECT_EQ(firstLine, "Attribute VB_NAME = \"modSupport\"\r");  // repaginated
    std::ifstream arguments(station_ / "build.args");
    std::string buildArguments;
    std::getline(arguments, buildArguments);
    EXPECT_EQ(buildArguments, "/m " + (part / "OLD.vbp").string());

    // The same name again: the part manager picks OLD_2, and that part is built.
    LegacyConversion again = Conversion(kProgram, "OLD");
    ASSERT_TRUE(ConvertLegacyPart(again));
    EXPECT_EQ(again.Name, "OLD_2");
    EXPECT_EQ(again.Directory, (root_ / "OLD_2").string());
    std::ifstream secondArguments(station_ / "build.args");
    std::getline(secondArguments, buildArguments);
    EXPECT_EQ(buildArguments, "/m " + (root_ / "OLD_2" / "OLD_2.vbp").string());
}

// What the extended dialect accepted is shown after the conversion in one
// information box: the file, the first 20 warnings with their lines, and how
// many more there are. A caller that reports them itself gets them all.
TEST_F(ConversionDriverTest, ExtendedDialectWarningsAreShownInOneBox) {
    std::string source = "UNITS/MM\n";
    for (int i = 1; i <= 25; ++i) {
        source += "GOHOME $$ note " + std::to_string(i) + "\n";
    }
    source += "ENDFIL\n";
    LegacyConversion conversion = Conversion(source, "NOTES");
    conversion.Dialect = DmisDialect::Extended;
    ASSERT_TRUE(ConvertLegacyPart(conversion));
    ASSERT_EQ(conversion.Warnings.size(), 25u);
    ASSERT_EQ(messages_.size(), 1u);
    const Message& box = messages_[0];
    EXPECT_EQ(box.style, vbOKOnly + vbInformation);
    EXPECT_TRUE(box.text.starts_with("[" + conversion.SourceFile + ":\n2: ")) << box.text;
    EXPECT_NE(box.text.find("\n21: "), std::string::npos);  // the 20th warning, on line 21
    EXPECT_EQ(box.text.find("\n22: "), std::string::npos);
    EXPECT_TRUE(box.text.ends_with("\n(+5)]")) << box.text;

    LegacyConversion quiet = Conversion(source, "QUIET");
    quiet.Dialect = DmisDialect::Extended;
    quiet.ReportWarnings = false;
    ASSERT_TRUE(ConvertLegacyPart(quiet));
    EXPECT_EQ(quiet.Warnings.size(), 25u);
    EXPECT_EQ(messages_.size(), 1u);

    // By the strict rules the same file is refused and nothing is made.
    LegacyConversion strict = Conversion(source, "STRICT");
    strict.Dialect = DmisDialect::Strict;
    EXPECT_FALSE(ConvertLegacyPart(strict));
    EXPECT_FALSE(fs::exists(root_ / "STRICT"));
}

TEST_F(ConversionDriverTest, ScanAndParseFailuresCreateNothing) {
    LegacyConversion missing = Conversion(kProgram, "GONE");
    fs::remove(missing.SourceFile);
    EXPECT_FALSE(ConvertLegacyPart(missing));
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_TRUE(messages_[0].text.starts_with("[Error scanning: ]ParseFile error on '"))
        << messages_[0].text;

    LegacyConversion broken = Conversion("UNITS/MM\n", "BROKEN");
    EXPECT_FALSE(ConvertLegacyPart(broken));
    ASSERT_EQ(messages_.size(), 2u);
    EXPECT_EQ(messages_[1].text, "[Error parsing: ]Syntax error: Missing word ENDFIL (line 1)");
    EXPECT_TRUE(fs::is_empty(root_));
}

TEST_F(ConversionDriverTest, ProjectThatCannotBeCreatedIsReportedWithItsNumber) {
    RegEntry registry;
    registry.OpenKey("Common");
    registry.SetString("RepositoryRoot", (station_ / "missing").string());
    LegacyConversion conversion = Conversion(kProgram, "OLD");
    EXPECT_FALSE(ConvertLegacyPart(conversion));
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_TRUE(messages_[0].text.starts_with("76: The part repository")) << messages_[0].text;
}

TEST_F(ConversionDriverTest, MissingDevelopmentEnvironmentIsReportedButTheConversionStands) {
    RegEntry registry;
    registry.SetDefaultRoot("SOFTWARE\\Microsoft\\VisualStudio\\6.0");
    registry.OpenKey("");
    registry.DeleteKey("Setup");
    LegacyConversion conversion = Conversion(kProgram, "OLD");
    EXPECT_TRUE(ConvertLegacyPart(conversion));
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].title, "Vantreel - CommandPartMake");
    EXPECT_EQ(messages_[0].style, vbInformation);
    EXPECT_TRUE(fs::exists(root_ / "OLD" / "ModMain.bas"));
}

TEST_F(ConversionDriverTest, BuildProgramIsFoundIgnoringCaseAndGetsWholeArguments) {
    // ProductDir with a blank, the program spelled as a Windows installer may
    // spell it, and a part name full of characters a shell would act on.
    const fs::path product = station_ / "Visual Studio" / "VB98";
    fs::create_directories(product);
    const fs::path script = product / "VB6.EXE";
    const fs::path recorded = station_ / "build.args";
    std::ofstream(script) << "#!/bin/sh\nfor a; do printf '%s\\n' \"$a\"; done >\""
                          << recorded.string() << "\"\n";
    fs::permissions(script, fs::perms::owner_all);
    RegEntry registry;
    registry.SetDefaultRoot("SOFTWARE\\Microsoft\\VisualStudio\\6.0\\Setup");
    registry.OpenKey("Microsoft Visual Basic");
    registry.SetString("ProductDir", product.string());

    // A leading dot must survive the join of folder and project file too.
    for (const std::string name : {"O'Neil; $HOME & `x` 2", ".hidden"}) {
        messages_.clear();
        LegacyConversion conversion = Conversion(kProgram, "plain");
        conversion.Name = name;
        conversion.Directory = (root_ / name).string();
        ASSERT_TRUE(ConvertLegacyPart(conversion));
        EXPECT_TRUE(conversion.Built) << name;
        EXPECT_TRUE(messages_.empty()) << messages_.front().text;
        std::ifstream arguments(recorded);
        std::vector<std::string> lines;
        for (std::string line; std::getline(arguments, line);) {
            lines.push_back(line);
        }
        const std::vector<std::string> expected = {"/m", (root_ / name / (name + ".vbp")).string()};
        EXPECT_EQ(lines, expected);
    }
}

TEST_F(ConversionDriverTest, BuildFailuresSayWhatHappenedAndTheConversionStands) {
    const std::string program = (station_ / "vb6" / "Vb6.exe").string();
    struct Case {
        const char* what;
        std::string script;  // "" removes the program
        std::vector<std::string> said;
    };
    const Case cases[] = {
        {"non-zero exit", "exit 4\n", {"failed", program, "exit code 4"}},
        {"cannot start",
         "",
         {"The operation timed out before completion", program, "could not be started"}},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        messages_.clear();
        if (c.script.empty()) {
            fs::remove(program);
        } else {
            SetBuildScript(c.script);
        }
        LegacyConversion conversion = Conversion(kProgram, "PART" + std::to_string(index++));
        EXPECT_TRUE(ConvertLegacyPart(conversion));
        EXPECT_FALSE(conversion.Built);
        ASSERT_EQ(messages_.size(), 1u);
        EXPECT_EQ(messages_[0].title, GetResString(110089));
        for (const std::string& part : c.said) {
            EXPECT_NE(messages_[0].text.find(part), std::string::npos) << messages_[0].text;
        }
    }
}

TEST_F(ConversionDriverTest, BuildTimeOutIsReportedAndLeftRunning) {
    // The build waits on a FIFO that the test releases only after the
    // conversion has returned, so it is still running at any time-out.
    const fs::path fifo = station_ / "release";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    SetBuildScript("read line <\"" + fifo.string() + "\"\n");
    LegacyConversion conversion = Conversion(kProgram, "SLOW");
    conversion.BuildTimeoutMs = 50;
    EXPECT_TRUE(ConvertLegacyPart(conversion));
    EXPECT_FALSE(conversion.Built);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_TRUE(messages_[0].text.starts_with("The operation timed out before completion\n\n"))
        << messages_[0].text;
    EXPECT_NE(messages_[0].text.find("left running"), std::string::npos) << messages_[0].text;
    EXPECT_EQ(messages_[0].title, GetResString(110089));
    // Let the abandoned build end: a writer that opens and closes gives it end of file.
    for (int attempt = 0; attempt < 6000; ++attempt) {
        const int writer = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0) {
            close(writer);
            break;
        }
        usleep(5000);
    }
}

TEST_F(ConversionDriverTest, BadNamesAreRefusedBeforeAnythingIsMade) {
    for (const char* name : {"\\evil", "..\\..\\x", "a\"b", "NUL", "x."}) {
        messages_.clear();
        LegacyConversion conversion = Conversion(kProgram, "source");
        conversion.Name = name;
        EXPECT_FALSE(ConvertLegacyPart(conversion)) << name;
        ASSERT_EQ(messages_.size(), 1u);
        EXPECT_TRUE(
            messages_[0].text.starts_with("52: '" + std::string(name) + "' cannot name a part: "))
            << messages_[0].text;
        EXPECT_TRUE(fs::is_empty(root_)) << name;
    }
}

TEST_F(ConversionDriverTest, AnInterruptedConversionLeavesNoPartAndIsCleanedUp) {
    // A conversion killed while it wrote the modules: its working folder is
    // all that is left, unlocked.
    const pid_t child = fork();
    if (child == 0) {
        StagingDirectory staging(root_.string());
        std::string name = "OLD";
        FileSystemPart part;
        part.CreateProject(0, staging.Path(), name, true);
        std::ofstream(fs::path(part.FullPath()) / "ModMain.bas") << "Attribute VB_NAME";
        kill(getpid(), SIGKILL);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    ASSERT_FALSE(fs::is_empty(root_));

    LegacyConversion conversion = Conversion(kProgram, "OLD");
    ASSERT_TRUE(ConvertLegacyPart(conversion));
    EXPECT_EQ(conversion.Name, "OLD");  // not OLD_2
    std::vector<std::string> entries;
    for (const auto& entry : fs::directory_iterator(root_)) {
        entries.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(entries, std::vector<std::string>{"OLD"});
    EXPECT_TRUE(fs::exists(root_ / "OLD" / "ModSupport.bas"));
}

// The file-system part manager, counting the repaginations asked of it.
class CountingPart : public FileSystemPart {
  public:
    static inline int repaginations = 0;
    void RePaginateCode() override {
        ++repaginations;
        FileSystemPart::RePaginateCode();
    }
};

TEST_F(ConversionDriverTest, AnEmptyDirectorySkipsTheRepaginationAndTheBuildIsReported) {
    RegisterPart("Ulmaret.Part", [] { return std::make_unique<CountingPart>(); });
    CountingPart::repaginations = 0;
    LegacyConversion conversion = Conversion(kProgram, "OLD");
    conversion.Directory.clear();
    const bool converted = ConvertLegacyPart(conversion);
    RegisterPart("Ulmaret.Part", [] { return std::make_unique<FileSystemPart>(); });
    EXPECT_TRUE(converted);
    EXPECT_EQ(CountingPart::repaginations, 0);
    EXPECT_TRUE(fs::exists(root_ / "OLD" / "ModMain.bas"));
    EXPECT_TRUE(conversion.Directory.empty());
    EXPECT_FALSE(conversion.Built);
    // No project to open for the build: the error report of the build.
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].title, "Vantreel - CommandPartMake");
    EXPECT_EQ(messages_[0].style, vbInformation);
    EXPECT_FALSE(fs::exists(station_ / "build.args"));
}

// A part manager failing below its own errors: out of memory, or the file
// system refusing.
class FailingPart : public FileSystemPart {
  public:
    static inline int failure = 0;
    void CreateProject(int32_t, const std::string& sRoot, std::string&, bool) override {
        if (failure == 0) {
            throw std::bad_alloc();
        }
        throw std::filesystem::filesystem_error("cannot list", sRoot,
                                                std::make_error_code(std::errc::permission_denied));
    }
};

TEST_F(ConversionDriverTest, FailuresBelowThePartManagerAreReportedWithANumber) {
    RegisterPart("Ulmaret.Part", [] { return std::make_unique<FailingPart>(); });
    const struct {
        int failure;
        std::string start;
    } cases[] = {
        {0, "7: Out of memory"},
        {1, "75: "},
    };
    for (const auto& c : cases) {
        FailingPart::failure = c.failure;
        messages_.clear();
        LegacyConversion conversion = Conversion(kProgram, "OLD");
        bool converted = true;
        EXPECT_NO_THROW(converted = ConvertLegacyPart(conversion)) << c.start;
        EXPECT_FALSE(converted) << c.start;
        ASSERT_EQ(messages_.size(), 1u) << c.start;
        EXPECT_EQ(messages_[0].text.substr(0, c.start.size()), c.start);
    }
    RegisterPart("Ulmaret.Part", [] { return std::make_unique<FileSystemPart>(); });
    EXPECT_FALSE(fs::exists(root_ / "OLD"));
}

TEST_F(ConversionDriverTest, RepaginationOfNothingAndOfNoPart) {
    RepaginateProject("");
    EXPECT_TRUE(messages_.empty());
    RepaginateProject((root_ / "none").string());
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].title, "Vantreel - CommandPartPaginate");
}

}  // namespace
}  // namespace vantreel::test
