#include "common/MessageLog.h"
#include "common/TestRegistry.h"

#include "shared/ErrorReport.h"
#include "shared/MessageBox.h"
#include "shared/Resources.h"
#include "shared/StringTable.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>

namespace vantreel::test {
namespace {

// Resources read from a data directory of the test's own.
class ResourcesTest : public RegistryTest {
  protected:
    void SetUp() override {
        RegistryTest::SetUp();
        setenv("VANTREEL_DATA_DIR", data_.Path().c_str(), 1);
        InitResources();
        FreeResourceLibraries();
        int32_t english = 1033;
        SetLanguage(english);
        Write("ENU110000.rc",
              "STRINGTABLE\nBEGIN\n"
              "110000 \"Missing text %0%\"\n"
              "110004 \"OK\"\n"
              "110010 \"%1% then %0% and %2%\"\n"
              "110011 \"Say \"\"%0%\"\"\\nnext\\tline \\\\ end\"\n"
              "END\n");
        Write("DEU110000.rc", "STRINGTABLE\nBEGIN\n110004 \"OK (de)\"\nEND\n");
    }
    void TearDown() override {
        FreeResourceLibraries();
        unsetenv("VANTREEL_DATA_DIR");
        RegistryTest::TearDown();
    }
    void Write(const std::string& name, const std::string& text) {
        std::ofstream(data_.File(name)) << text;
    }

    TempDirectory data_;
};

TEST(LanguageCodes, Table) {
    const std::pair<int32_t, const char*> cases[] = {
        {1033, "ENU"}, {1032, "ENU"}, {9999, "ENU"}, {-1, "PIG"},   {3084, "FRC"},
        {1031, "DEU"}, {2055, "DES"}, {0, "ENU"},    {6153, "ENI"},
    };
    for (const auto& [lcid, code] : cases) {
        EXPECT_EQ(GetLanguageCode(lcid), code) << lcid;
    }
}

TEST_F(ResourcesTest, TextsInsertsAndEscapes) {
    EXPECT_EQ(GetResString(110004), "OK");
    EXPECT_EQ(FormatResString(110010, "a", "b"), "b then a and %2%");
    EXPECT_EQ(FormatResString(110010, "%1%", "x"), "x then x and %2%");
    EXPECT_EQ(FormatResString(110000, 42), "Missing text 42");
    EXPECT_EQ(GetResString(110011), "Say \"%0%\"\nnext\tline \\ end");
}

TEST_F(ResourcesTest, ErrorReportsShowTheInformationIconAndTheErrorTitle) {
    Write("ENU110000.rc", "STRINGTABLE\nBEGIN\n110089 \"Error\"\nEND\n");
    FreeResourceLibraries();
    MessageLog log;
    ShowErrorReport("The folder cannot be read");
    ShowErrorReport("No project", "Vantreel - CommandPartMake");
    const std::vector<ShownMessage>& shown = log.shown;
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, "The folder cannot be read");
    EXPECT_EQ(shown[0].style, vbInformation);
    EXPECT_EQ(shown[0].title, "Error");
    EXPECT_EQ(shown[1].style, vbInformation);
    EXPECT_EQ(shown[1].title, "Vantreel - CommandPartMake");
}

TEST_F(ResourcesTest, MissingStringsAndTables) {
    EXPECT_EQ(GetResString(110099), "Missing text 110099");
    EXPECT_EQ(GetResString(125001), "Error: Resource File Not Found");
    EXPECT_EQ(GetResString(110004), "OK");  // one group missing, the other works
    Write("ENU125000.rc", "STRINGTABLE\nBEGIN\n125002 \"Probe\"\nEND\n");
    FreeResourceLibraries();
    EXPECT_EQ(GetResString(125001), "Error: Resource File Not Found");  // no base text
    EXPECT_EQ(GetResString(125002), "Probe");
}

TEST_F(ResourcesTest, TablesFromTheInstallDirectory) {
    TempDirectory install;
    std::filesystem::create_directory(install.Path() / "Bin");
    std::ofstream(install.File("Bin/ENU167000.rc"))
        << "STRINGTABLE\nBEGIN\n167033 \"(line %0%)\"\nEND\n";
    EXPECT_EQ(GetResString(167033), "Error: Resource File Not Found");
    Set("Common", "InstallDirectory", install.Path().string());
    EXPECT_EQ(FormatResString(167033, 7), "(line 7)");
}

TEST_F(ResourcesTest, LanguageSelection) {
    int32_t language = 0;
    EXPECT_TRUE(SetLanguage(language));
    EXPECT_EQ(language, 1033);
    Set("Common", "DefaultLanguage", "1031");
    language = 0;
    SetLanguage(language);
    EXPECT_EQ(language, 1031);
    EXPECT_EQ(CurrentLanguageCode(), "DEU");
    EXPECT_EQ(GetResString(110004), "OK (de)");
    language = 1036;  // French has no tables here
    SetLanguage(language);
    EXPECT_EQ(GetResString(110004), "Error: Resource File Not Found");
}

TEST(LanguageCodes, FamilyIsThePrimaryLanguageOfTheIdentifier) {
    // Every identifier of the table: its family is the code of the same
    // primary language with the default sublanguage, except Chinese, whose
    // two scripts are families of their own.
    const int32_t identifiers[] = {1028, 1030, 1031, 1033, 1034, 1036, 1040, 1041, 1042, 1043,
                                   1044, 1046, 1053, 2052, 2055, 2057, 2058, 2060, 2064, 2067,
                                   2068, 2070, 3079, 3081, 3082, 3084, 4105, 4108, 5129, 6153};
    for (const int32_t lcid : identifiers) {
        const std::string code = GetLanguageCode(lcid);
        const std::string primary = lcid == 2052 ? "CHS" : GetLanguageCode((lcid & 0x3FF) | 0x400);
        EXPECT_EQ(GetLanguageFamilyCode(code), primary) << lcid << " " << code;
    }
    EXPECT_EQ(GetLanguageFamilyCode("PIG"), "PIG");
    EXPECT_EQ(GetLanguageFamilyCode("XYZ"), "XYZ");
}

TEST_F(ResourcesTest, AVariantWithoutTablesUsesItsFamily) {
    Write("CHT110000.rc", "STRINGTABLE\nBEGIN\n110004 \"OK (cht)\"\nEND\n");
    const std::pair<int32_t, const char*> cases[] = {
        {2055, "OK (de)"},
        {3079, "OK (de)"},
        {2057, "OK"},
        {3081, "OK"},
        {5129, "OK"},
        {6153, "OK"},
        {4105, "OK"},
        {1028, "OK (cht)"},
        {1036, "Error: Resource File Not Found"},  // neither FRA nor a family table
        {3084, "Error: Resource File Not Found"},  // FRC: its family FRA has none either
        {2052, "Error: Resource File Not Found"},  // CHS never reads Traditional Chinese
    };
    for (const auto& [lcid, text] : cases) {
        int32_t language = lcid;
        SetLanguage(language);
        EXPECT_EQ(GetResString(110004), text) << lcid;
    }
    // A variant's own table wins over its family's.
    Write("DES110000.rc", "STRINGTABLE\nBEGIN\n110004 \"OK (ch)\"\nEND\n");
    int32_t swiss = 2055;
    SetLanguage(swiss);
    FreeResourceLibraries();
    EXPECT_EQ(GetResString(110004), "OK (ch)");
    // A missing string in the family's table gives the family's missing-string text.
    int32_t british = 2057;
    SetLanguage(british);
    EXPECT_EQ(GetResString(110099), "Missing text 110099");
}

TEST_F(ResourcesTest, TableIsLoadedOncePerLanguage) {
    const StringTable* first = GetResourceLibrary(110004);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GetResourceLibrary(110500), first);
    EXPECT_EQ(GetResourceLibrary(125000), nullptr);
    // A damaged table counts as missing.
    Write("ENU125000.rc", "STRINGTABLE\nBEGIN\n125001 \"unclosed\nEND\n");
    EXPECT_EQ(GetResourceLibrary(125001), nullptr);
}

TEST_F(ResourcesTest, ResolveText) {
    Write("ENU125000.rc", "STRINGTABLE\nBEGIN\n125002 \"Probe data\"\nEND\n");
    EXPECT_EQ(ResolveText("@125002"), "Probe data");
    EXPECT_EQ(ResolveText("X"), "X");
    EXPECT_EQ(ResolveText("Probe"), "[Probe]");
    EXPECT_EQ(ResolveText(""), "[]");
}

TEST_F(ResourcesTest, HelpFileSearchOrder) {
    TempDirectory install;
    std::filesystem::create_directory(install.Path() / "Bin");
    Set("Tellurim\\Settings", "InstallDirectory", install.Path().string());
    EXPECT_FALSE(SetHelpFile(1031, "TL"));
    EXPECT_EQ(HelpFile(), "");

    const std::string bin = install.File("Bin");
    const std::pair<std::string, std::string> candidates[] = {
        {bin + "/ENUTL.hlp", "WinHelp in English, in the bin directory"},
        {data_.File("ENUTL.hlp"), "WinHelp in English, in the data directory"},
        {bin + "/DEUTL.hlp", "WinHelp in the language"},
        {data_.File("DEUTL.hlp"), "data directory before bin"},
        {bin + "/ENUTL.chm", "HTML Help before WinHelp"},
        {data_.File("ENUTL.chm"), "data directory before bin"},
        {bin + "/DEUTL.chm", "the language before English"},
        {data_.File("DEUTL.chm"), "the best candidate"},
    };
    for (const auto& [file, why] : candidates) {
        std::ofstream(file) << "help";
        EXPECT_TRUE(SetHelpFile(1031, "TL"));
        EXPECT_EQ(HelpFile(), file) << why;
        EXPECT_EQ(IsHtmlHelp(), file.ends_with(".chm")) << why;
    }
}

TEST(ReplaceAll, LeftToRightCaseSensitive) {
    EXPECT_EQ(ReplaceAll("aXbxcX", "X", "--"), "a--bxc--");
    EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
    EXPECT_EQ(ReplaceAll("abc", "", "z"), "abc");
    EXPECT_EQ(ReplaceAll("%0%%0%", "%0%", "%0%x"), "%0%x%0%x");
}

TEST(StringTableFile, MalformedTablesNameTheirLine) {
    const std::pair<const char*, const char*> cases[] = {
        {"BEGIN\n", "line 1: STRINGTABLE expected"},
        {"STRINGTABLE\n1 \"a\"\n", "line 2: BEGIN expected"},
        {"STRINGTABLE\nBEGIN\nx \"a\"\nEND\n", "line 3: a string ID expected"},
        {"STRINGTABLE\nBEGIN\n1 a\nEND\n", "line 3: a text in double quotes expected"},
        {"STRINGTABLE\nBEGIN\n1 \"a\nEND\n", "line 3: the text has no closing double quote"},
        {"STRINGTABLE\nBEGIN\n1 \"a\" b\nEND\n", "line 3: unexpected text after"},
        {"STRINGTABLE\nBEGIN\n1 \"a\"\n1 \"b\"\nEND\n", "line 4: string 1 is defined twice"},
        {"STRINGTABLE\nBEGIN\n1 \"a\"\n", "END expected"},
    };
    for (const auto& [text, message] : cases) {
        std::string description;
        EXPECT_EQ(ErrorNumber([&] { (void)StringTable::Parse(text, "t.rc"); }, &description), 5004);
        EXPECT_NE(description.find(message), std::string::npos) << description;
    }
    const StringTable table =
        StringTable::Parse("// c\nSTRINGTABLE\n{\n  7, \"seven\"\n}\n", "t.rc");
    EXPECT_EQ(table.Find(7), "seven");
    EXPECT_FALSE(table.Find(8));
}

TEST(StringTableFile, OnlyARegularFileIsLoaded) {
    TempDirectory directory;
    const std::string fifo = directory.File("ENU110000.rc");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::pair<std::string, std::string> cases[] = {
        {fifo, "it is a FIFO, not a regular file"},  // must not block
        {"/dev/zero", "it is a character device, not a regular file"},
        {directory.Path().string(), "it is a directory, not a regular file"},
        {directory.File("none.rc"), "the file could not be opened"},
    };
    for (const auto& [path, reason] : cases) {
        std::string description;
        EXPECT_EQ(ErrorNumber([&] { (void)StringTable::Load(path); }, &description), 5004) << path;
        EXPECT_EQ(description.rfind(path + " cannot be read: " + reason, 0), 0u) << description;
    }
}

// The shipped tables: every group parses, English and German hold the same
// IDs with the same inserts, and every group has its missing-string text.
TEST(ShippedTables, CompleteInEnglishAndGerman) {
    const std::filesystem::path directory = VANTREEL_RESOURCES;
    const std::regex insert("%[0-9]%");
    for (const char* group : {"01000", "110000", "125000", "167000"}) {
        SCOPED_TRACE(group);
        const StringTable english =
            StringTable::Load((directory / ("ENU" + std::string(group) + ".rc")).string());
        const StringTable german =
            StringTable::Load((directory / ("DEU" + std::string(group) + ".rc")).string());
        const int32_t base = std::stoi(group);
        EXPECT_TRUE(english.Find(base)) << "missing-string text";
        ASSERT_EQ(english.Strings().size(), german.Strings().size());
        for (const auto& [id, text] : english.Strings()) {
            EXPECT_EQ(id / 1000 * 1000, base) << id;
            const std::optional<std::string_view> translated = german.Find(id);
            ASSERT_TRUE(translated) << id;
            std::set<std::string> inEnglish, inGerman;
            for (std::sregex_iterator it(text.begin(), text.end(), insert), end; it != end; ++it) {
                inEnglish.insert(it->str());
            }
            const std::string germanText(*translated);
            for (std::sregex_iterator it(germanText.begin(), germanText.end(), insert), end;
                 it != end; ++it) {
                inGerman.insert(it->str());
            }
            EXPECT_EQ(inEnglish, inGerman) << id;
        }
    }
}

}  // namespace
}  // namespace vantreel::test
