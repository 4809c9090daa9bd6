#include "PartInfoTestBase.h"
#include "common/Files.h"
#include "partinfo/PartInfoFile.h"
#include "partinfo/PartInfoRules.h"
#include "shared/IniFile.h"
#include "shared/Resources.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace vantreel::test {
namespace {

namespace fs = std::filesystem;

class PartInfoFileTest : public EnglishRegistryTest {
  protected:
    void SetUp() override {
        EnglishRegistryTest::SetUp();
        part_ = directory_.Path() / "P1";
        fs::create_directories(part_);
        file_ = (part_ / "partinfo.ini").string();
    }
    PartInfoFile File() const { return PartInfoFile(file_, part_.string()); }
    PartInfoSettings Read(const PrinterList& printers = kPrinters) const {
        PartInfoSettings settings;
        File().ReadSettings(settings, printers);
        File().ReadDatabaseLabels(settings, "Users\\anna", "Machines\\M1");
        File().ReadSkip(settings);
        return settings;
    }

    fs::path part_;
    std::string file_;
};

struct StoredValue {
    const char* section;
    const char* key;
    const char* stored;
    std::string expected;  // the setting as read, as text
};

std::string Field(const PartInfoSettings& s, const std::string& key) {
    if (key == "WriteProtect")
        return s.WriteProtect ? "True" : "False";
    if (key == "Graphics")
        return s.Graphics ? "True" : "False";
    if (key == "LogMode")
        return s.LogMode ? "True" : "False";
    if (key == "PrintMode")
        return std::to_string(s.PrintMode);
    if (key == "ReportStatus")
        return std::to_string(s.ReportStatus);
    if (key == "LogStatus")
        return std::to_string(s.LogStatus);
    if (key == "CSVStatus")
        return std::to_string(s.CSVStatus);
    if (key == "CSVMaxRecord")
        return std::to_string(s.CSVMaxRecord);
    if (key == "ReportFile")
        return s.ReportFile;
    if (key == "LogFile")
        return s.LogFile;
    if (key == "DefaultPrinter")
        return s.DefaultPrinter;
    if (key == "SerialNumber")
        return s.SerialNumber;
    return "?";
}

TEST_F(PartInfoFileTest, StoredValuesReadWithTheirEncodingAndDefaults) {
    const StoredValue cases[] = {
        {"Report", "ReportStatus", "2|x", "2"},
        {"Report", "ReportStatus", "|5", "1"},  // empty first field: the default
        {"Report", "ReportStatus", "abc", "0"},
        {"Report", "ReportStatus", "", "1"},
        {"Report", "PrintMode", "70000", "0"},  // beyond 16 bits
        {"Report", "PrintMode", " 2 ", "2"},
        {"Report", "LogStatus", "-1", "-1"},
        {"Report", "CSVMaxRecord", "", "4096"},
        {"Report", "CSVMaxRecord", "abc", "0"},
        {"Report", "CSVMaxRecord", "100000", "100000"},
        {"Part", "WriteProtect", "No", "False"},
        {"Part", "WriteProtect", "yes", "True"},
        {"Part", "WriteProtect", "1", "True"},
        {"Part", "WriteProtect", "FALSE", "False"},
        {"Part", "WriteProtect", "0", "False"},
        {"Report", "LogMode", "TRUE", "True"},
        {"Report", "Graphics", "", "False"},
        {"Report", "ReportFile", "run.txt", ""},
        {"Report", "ReportFile", "run", "run"},
        {"Report", "LogFile", "a.b", ""},
        {"Report", "DefaultPrinter", "Lab_Laser", "Lab_Laser"},
        {"Report", "DefaultPrinter", "lab_laser", "Office"},  // compared exactly
        {"Report", "DefaultPrinter", "", "Office"},
    };
    for (const StoredValue& c : cases) {
        SCOPED_TRACE(std::string(c.key) + "=" + c.stored);
        fs::remove(file_);
        WriteIniString(file_, c.section, c.key, c.stored);
        EXPECT_EQ(Field(Read(), c.key), c.expected);
    }
}

TEST_F(PartInfoFileTest, AFileWrittenOnWindowsIsReadAndASaveChangesOnlyItsKeys) {
    const std::string windows =
        "\xEF\xBB\xBF; written by the Windows station\r\n"
        "[Report]\r\n"
        "CSVFile = \"C:\\data\\out.csv\"\r\n"
        "; printing\r\n"
        "printmode=2\r\n"
        "Custom=kept\r\n"
        "[Part]\r\n"
        "serialnumber = SN-1\r\n"
        "Name=Bracket\r\n"
        "[Other]\r\n"
        "Key=value\r\n";
    WriteFile(file_, windows);
    chmod(file_.c_str(), 0640);
    PartInfoSettings settings = Read();
    EXPECT_EQ(settings.Name, "Bracket");
    EXPECT_EQ(settings.SerialNumber, "SN-1");
    EXPECT_EQ(settings.PrintMode, 2);
    EXPECT_EQ(settings.CSVFile, "C:\\data\\out.csv");

    settings.SerialNumber = "SN-2";
    File().Write(settings, kPrinters);
    const std::string saved = ReadFile(file_);
    EXPECT_EQ(saved.rfind("\xEF\xBB\xBF; written by the Windows station\r\n", 0), 0u);
    for (const char* kept :
         {"; printing\r\n", "Custom=kept\r\n", "Name=Bracket\r\n", "[Other]\r\nKey=value\r\n"}) {
        EXPECT_NE(saved.find(kept), std::string::npos) << kept;
    }
    EXPECT_EQ(saved.find("\n\n"), std::string::npos);
    EXPECT_EQ(saved.find('\n', 0) - 1, saved.find('\r', 0));  // CRLF kept
    EXPECT_EQ(ReadIniString(file_, "Part", "SerialNumber"), "SN-2");
    EXPECT_EQ(ReadIniString(file_, "Skip", "PartialRun"), "false");
    struct stat info {};
    ASSERT_EQ(stat(file_.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST_F(PartInfoFileTest, AValueTooLongToReadWholeSurvivesASaveOfOtherSettings) {
    const std::string library = std::string(10000, 'x') + "END";
    WriteIniString(file_, "Part", "LibraryName", library);
    PartInfoSettings settings = Read();
    EXPECT_EQ(settings.LibraryName.size(), kMaxValueLength);
    settings.SerialNumber = "SN-1";
    File().Write(settings, kPrinters);
    EXPECT_NE(ReadFile(file_).find("LibraryName=" + library + "\r\n"), std::string::npos);
    settings.LibraryName = "short";  // a change is written
    File().Write(settings, kPrinters);
    EXPECT_EQ(ReadIniString(file_, "Part", "LibraryName"), "short");
}

TEST_F(PartInfoFileTest, ANewFileGetsTheKeysInWritingOrder) {
    PartInfoSettings settings = Read();
    File().Write(settings, kPrinters);
    std::vector<std::string> keys;
    std::istringstream lines(ReadFile(file_));
    for (std::string line; std::getline(lines, line);) {
        keys.push_back(line.substr(0, line.find_first_of("=\r")));
    }
    const std::vector<std::string> expected{
        "[Report]",  "Graphics",    "DefaultPrinter", "PrintMode", "ReportStatus", "ReportFile",
        "LogStatus", "LogMode",     "LogFile",        "CSVStatus", "CSVMaxRecord", "CSVFile",
        "[Part]",    "LibraryName", "SerialNumber",   "[Skip]",    "PartialRun",   "SkipFile"};
    EXPECT_EQ(keys, expected);
    EXPECT_EQ(ReadIniString(file_, "Report", "DefaultPrinter"), "Office");
    EXPECT_EQ(ReadIniString(file_, "Report", "CSVMaxRecord"), "4096");
}

TEST_F(PartInfoFileTest, DatabaseLabelsFillSlotsWithoutGapsAndKeepOnlyDifferences) {
    Set("Machines\\M1\\DatabaseLabels", "DBLabel0", "Operator");
    Set("Machines\\M1\\DatabaseLabels", "DBLabel3", "Shift");
    Set("Machines\\M1\\DatabaseLabels", "DBLabel5", "Lot=No");  // no key can hold it
    Set("Users\\anna\\DatabaseRelations", "Operator", "anna");
    Set("Users\\anna\\DatabaseRelations", "Shift", "early");
    WriteIniString(file_, "Report", "Shift", "late");

    PartInfoSettings settings = Read();
    ASSERT_EQ(settings.Labels.size(), 3u);
    EXPECT_EQ(settings.Labels[0].Label, "Operator");
    EXPECT_EQ(settings.Labels[0].LabelNumber, 0);
    EXPECT_EQ(settings.Labels[0].Value, "anna");  // the default
    EXPECT_EQ(settings.Labels[1].Label, "Shift");
    EXPECT_EQ(settings.Labels[1].LabelNumber, 3);
    EXPECT_EQ(settings.Labels[1].Value, "late");
    EXPECT_EQ(settings.LabelDefaults[3], "early");

    settings.Labels[1].Value = "early";  // back to the default
    settings.Labels[2].Value = "L7";
    File().Write(settings, kPrinters);
    EXPECT_EQ(ReadIniString(file_, "Report", "Operator"), "");
    EXPECT_EQ(ReadIniString(file_, "Report", "Shift"), "");
    EXPECT_EQ(ReadFile(file_).find("Lot"), std::string::npos);
    EXPECT_NE(ReadFile(file_).find("Operator=\r\n"), std::string::npos);
}

TEST_F(PartInfoFileTest, MissingLabelOrRelationKeysGiveNoLabelsOrEmptyDefaults) {
    EXPECT_TRUE(Read().Labels.empty());
    Set("Machines\\M1\\DatabaseLabels", "DBLabel2", "Gauge");
    const PartInfoSettings settings = Read();
    ASSERT_EQ(settings.Labels.size(), 1u);
    EXPECT_EQ(settings.Labels[0].Value, "");
    EXPECT_EQ(settings.LabelDefaults[2], "");
}

struct SkipCase {
    const char* name;
    std::vector<const char*> files;
    const char* storedRun;
    const char* storedFile;
    bool check;        // the partial-run box after reading, then as saved
    int select;        // the skip file chosen before saving; -1 none
    bool readRun;      // PartialRun as read
    int readSelected;  // SkipFile index as read
    const char* savedRun;
    std::string savedFile;  // relative to the part directory
};

TEST_F(PartInfoFileTest, SkipFilesAndThePartialRun) {
    const SkipCase cases[] = {
        {"no skip file", {}, "true", "", true, -1, false, -1, "false", ""},
        {"checked without a choice", {"a.skp"}, "true", "", true, -1, true, -1, "true", ""},
        {"stored name, any case",
         {"A.SKP"},
         "true",
         "C:\\parts\\p1\\a.skp",
         true,
         0,
         true,
         0,
         "true",
         "/A.SKP"},
        {"unchecked", {"a.skp"}, "false", "x\\a.skp", false, 0, false, 0, "false", ""},
        {"other files ignored",
         {"a.txt", "b.SkP"},
         "1",
         "b.skp",
         true,
         0,
         true,
         0,
         "true",
         "/b.SkP"},
        {"a file named .skp", {".skp"}, "true", ".skp", true, 0, true, 0, "true", "/.skp"},
    };
    for (const SkipCase& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(part_);
        fs::create_directories(part_);
        for (const char* name : c.files) {
            WriteFile((part_ / name).string(), "1\n");
        }
        WriteIniString(file_, "Skip", "PartialRun", c.storedRun);
        WriteIniString(file_, "Skip", "SkipFile", c.storedFile);
        PartInfoSettings settings = Read();
        EXPECT_EQ(settings.PartialRun, c.readRun);
        EXPECT_EQ(settings.SkipFile, c.readSelected);
        settings.PartialRun = c.check && !settings.SkipFiles.empty();
        settings.SkipFile = c.select;
        File().Write(settings, kPrinters);
        EXPECT_EQ(ReadIniString(file_, "Skip", "PartialRun"), c.savedRun);
        EXPECT_EQ(ReadIniString(file_, "Skip", "SkipFile"),
                  c.savedFile.empty() ? "" : part_.string() + c.savedFile);
    }
}

TEST_F(PartInfoFileTest, AFailedSaveLeavesTheFileAsItWas) {
    const std::string before = "[Part]\r\nSerialNumber=1\r\n";
    WriteFile(file_, before);
    PartInfoSettings settings = Read();
    settings.SerialNumber = "2";
    if (geteuid() != 0) {  // root writes into read-only folders
        chmod(part_.c_str(), 0555);
        std::string description;
        EXPECT_EQ(ErrorNumber([&] { File().Write(settings, kPrinters); }, &description), 75);
        EXPECT_NE(description.find("could not be saved to \"" + file_ + "\""), std::string::npos)
            << description;
        chmod(part_.c_str(), 0755);
        EXPECT_EQ(ReadFile(file_), before);
    }
    WriteFile(file_, std::string("[Part]\0SerialNumber=1\r\n", 24));
    EXPECT_EQ(File().Problem(), "it is not a text file");
    EXPECT_EQ(ErrorNumber([&] { File().Write(settings, kPrinters); }), 75);
    EXPECT_EQ(ReadFile(file_).size(), 24u);
    EXPECT_EQ(fs::directory_iterator(part_)->path().filename(), "partinfo.ini");  // no leftovers
}

TEST_F(PartInfoFileTest, ASaveThroughASymbolicLinkWritesItsTarget) {
    const std::string target = directory_.File("shared.ini");
    WriteFile(target, "[Part]\nName=X\n");
    fs::create_symlink(target, file_);
    PartInfoSettings settings = Read();
    settings.LibraryName = "LIB";
    File().Write(settings, kPrinters);
    EXPECT_TRUE(fs::is_symlink(file_));
    EXPECT_EQ(ReadIniString(target, "Part", "LibraryName"), "LIB");
    EXPECT_EQ(ReadFile(target).find("\r\n"), std::string::npos);  // LF kept
}

}  // namespace
}  // namespace vantreel::test
