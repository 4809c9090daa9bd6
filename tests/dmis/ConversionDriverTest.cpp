#include "ParseHelpers.h"

#include "dmis/ConversionDriver.h"
#include "shared/MessageBox.h"
#include "shared/RegEntry.h"

#include <sys/stat.h>

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

TEST_F(ConversionDriverTest, BuildTimeOutIsReportedAndLeftRunning) {
    SetBuildScript("sleep 5\n");
    LegacyConversion conversion = Conversion(kProgram, "SLOW");
    conversion.BuildTimeoutMs = 200;
    EXPECT_TRUE(ConvertLegacyPart(conversion));
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, "The operation timed out before completion");
    EXPECT_EQ(messages_[0].title, GetResString(110089));
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
