#include "PartInfoTestBase.h"
#include "components/ComponentFactory.h"
#include "partinfo/PartInfoRules.h"
#include "partinfo/PartInfoText.h"
#include "shared/IniFile.h"
#include "shared/Resources.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace vantreel::test {
namespace {

namespace fs = std::filesystem;

using PartInfoRulesTest = EnglishRegistryTest;

TEST_F(PartInfoRulesTest, SettingsShowInTheirControlsAndComeBackAsSaved) {
    struct Case {
        const char* name;
        int16_t print, report, log, csv;
        std::string printer;
        int shownReport, shownLog, shownPrint, shownPrinter;
        int16_t savedReport;
        std::string savedPrinter;
    };
    const Case cases[] = {
        {"continuous print, report per part", 1, 2, 0, 0, "Office", 1, 0, 1, 0, 1, "Office"},
        {"report per feature", 2, 3, 2, 1, "Lab_Laser", 3, 2, 2, 1, 3, "Lab_Laser"},
        {"values out of range", 7, 0, 9, 5, "Shop_Floor", 1, 0, 0, 2, 1, "Shop_Floor"},
        {"unknown printer", 0, 1, 1, 0, "Gone", 1, 1, 0, 0, 1, "Office"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PartInfoSettings s;
        s.PrintMode = c.print;
        s.ReportStatus = c.report;
        s.LogStatus = c.log;
        s.CSVStatus = c.csv;
        s.DefaultPrinter = c.printer;
        const PartInfoControls shown = ControlsFromSettings(s, kPrinters);
        EXPECT_EQ(shown.Report, c.shownReport);
        EXPECT_EQ(shown.Log, c.shownLog);
        EXPECT_EQ(shown.Print, c.shownPrint);
        EXPECT_EQ(shown.Printer, c.shownPrinter);
        PartInfoSettings saved = s;
        SettingsFromControls(shown, kPrinters, saved);
        EXPECT_EQ(saved.ReportStatus, c.savedReport);
        EXPECT_EQ(saved.DefaultPrinter, c.savedPrinter);
    }
}

TEST_F(PartInfoRulesTest, ChoosingTheFirstPrinterKeepsTheStoredOne) {
    PartInfoSettings s;
    s.DefaultPrinter = "Shop_Floor";
    PartInfoControls c = ControlsFromSettings(s, kPrinters);
    EXPECT_EQ(c.Printer, 2);
    c.Printer = 0;
    SettingsFromControls(c, kPrinters, s);
    EXPECT_EQ(s.DefaultPrinter, "Shop_Floor");
    c.Printer = 1;
    SettingsFromControls(c, kPrinters, s);
    EXPECT_EQ(s.DefaultPrinter, "Lab_Laser");

    const PrinterList none;
    s.DefaultPrinter = "Lab_Laser";
    c = ControlsFromSettings(s, none);
    EXPECT_EQ(c.Printer, -1);
    SettingsFromControls(c, none, s);
    EXPECT_EQ(s.DefaultPrinter, "");  // no printer on the station
}

TEST_F(PartInfoRulesTest, DependentControlsAndWriteProtection) {
    struct Case {
        const char* name;
        PartInfoControls controls;
        PartInfoEnablingInput input;
        std::vector<std::pair<std::string, bool>> expected;
    };
    PartInfoControls protectedPart;
    protectedPart.WriteProtected = true;
    protectedPart.Log = 1;
    protectedPart.Csv = 1;
    protectedPart.CSVFile = "/tmp/x.csv";
    protectedPart.LabelValues = {"a", "b"};
    PartInfoControls logNone;
    PartInfoControls continuous;
    continuous.Print = 1;
    continuous.Log = 2;
    PartInfoControls csvEmpty;
    csvEmpty.Csv = 1;
    PartInfoControls partial;
    partial.PartialRun = true;
    const Case cases[] = {
        {"write-protected",
         protectedPart,
         {2, true, false},
         {{"OptRptNormal", false},      {"OptRptPart", false},
          {"txtRptFileName", false},    {"optLogNone", false},
          {"txtLogFileName", false},    {"optPrtNone", false},
          {"chkGraphics", false},       {"cboCurrentPrinter", false},
          {"optCSVNormal", false},      {"txtCSVFile", false},
          {"txtCSVRecord", false},      {"txtLibName", false},
          {"chkPartialRun", false},     {"cboSkipFiles", false},
          {"lstAddons", false},         {"cmdProperties", false},
          {"txtDBValue0", false},       {"txtSerialNum", true},
          {"chkWriteProtected", false}, {"cmdOK", true}}},
        {"no log, no CSV",
         logNone,
         {0, false, true},
         {{"txtLogFileName", false},
          {"txtCSVFile", false},
          {"txtCSVRecord", false},
          {"cmdOK", true},
          {"chkPartialRun", false},
          {"cboSkipFiles", false},
          {"cmdProperties", false},
          {"chkWriteProtected", true},
          {"txtDBValue0", false}}},
        {"continuous printing",
         continuous,
         {1, true, false},
         {{"OptRptPart", false},
          {"OptRptNormal", true},
          {"txtLogFileName", true},
          {"chkPartialRun", true},
          {"cboSkipFiles", false},
          {"cmdProperties", true}}},
        {"CSV without a file",
         csvEmpty,
         {},
         {{"txtCSVFile", true}, {"txtCSVRecord", true}, {"cmdOK", false}}},
        {"partial run", partial, {3, false, false}, {{"cboSkipFiles", true}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::map<std::string, bool> enabled = ControlEnabling(c.controls, c.input);
        for (const auto& [control, expected] : c.expected) {
            ASSERT_TRUE(enabled.count(control)) << control;
            EXPECT_EQ(enabled.at(control), expected) << control;
        }
    }
}

TEST_F(PartInfoRulesTest, OptionSideEffects) {
    PartInfoControls c;
    c.Report = 2;
    SelectPrintOption(c, 1);
    EXPECT_EQ(c.Report, 1);
    c.Report = 3;
    SelectPrintOption(c, 1);
    EXPECT_EQ(c.Report, 3);

    SetPartialRun(c, true, 2);
    EXPECT_EQ(c.SkipFile, 0);
    c.SkipFile = 1;
    SetPartialRun(c, true, 2);
    EXPECT_EQ(c.SkipFile, 1);
    SetPartialRun(c, false, 2);
    EXPECT_EQ(c.SkipFile, -1);
    SetPartialRun(c, true, 0);
    EXPECT_FALSE(c.PartialRun);

    PartInfoSettings s;
    s.Labels = {{"Operator", 4, ""}};
    s.LabelDefaults[4] = "anna";
    c.LabelValues = {""};
    LeaveLabelValue(c, s, 0);
    EXPECT_EQ(c.LabelValues[0], "anna");
}

TEST_F(PartInfoRulesTest, ValidationOfTheCsvPathAndTheTabLeave) {
    const std::string folder = directory_.Path().string();
    struct Case {
        std::string csvFile;
        int32_t expectedId;  // 0: valid
        std::string expectedText;
    };
    const Case cases[] = {
        {folder, 125075,
         "\"" + folder + "\" is not a valid file.\r\n\nEnter the full path of the CSV file."},
        {"out.csv", 125117,
         "The folder \"\" does not exist.\r\n\nEnter the full path of the CSV file."},
        {folder + "/missing/out.csv", 125117,
         "The folder \"" + folder +
             "/missing/\" does not exist.\r\n\nEnter the full path of the "
             "CSV file."},
        {folder + "/out.csv", 0, ""},
        {folder + "\\out.csv", 125117, ""},  // a backslash is no separator here: no such folder
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.csvFile);
        PartInfoControls controls;
        controls.Csv = 1;
        controls.CSVFile = c.csvFile;
        const std::optional<PartInfoMessage> message = ValidateControls(controls);
        EXPECT_EQ(message ? message->Id : 0, c.expectedId);
        if (message && !c.expectedText.empty()) {
            EXPECT_EQ(message->Text, c.expectedText);
            EXPECT_EQ(message->Title, "CSV Output");
            EXPECT_EQ(message->Style, 0);
        }
        controls.Csv = 0;
        EXPECT_FALSE(ValidateControls(controls));
    }
    PartInfoControls tooLong;
    tooLong.SerialNum = std::string(10000, 'x');
    ASSERT_TRUE(ValidateControls(tooLong));
    EXPECT_EQ(ValidateControls(tooLong)->Text,
              "The value of \"Serial number\" is longer than 4095 characters.");

    PartInfoControls csv;
    csv.Csv = 1;
    EXPECT_EQ(RefuseTabLeave(4, csv)->Id, 125102);
    EXPECT_FALSE(RefuseTabLeave(3, csv));
    csv.CSVFile = "x";
    EXPECT_FALSE(RefuseTabLeave(4, csv));
}

TEST_F(PartInfoRulesTest, TheAdministratorRule) {
    struct Case {
        const char* name;
        std::vector<std::array<const char*, 3>> values;  // key, name, value
        bool administrator;
    };
    const Case cases[] = {
        {"nothing configured", {}, false},
        {"last user is an administrator",
         {{"Users", "LastUser", "anna"}, {"Users\\anna", "Administrator", "true"}},
         true},
        {"last user is not",
         {{"Users", "LastUser", "anna"}, {"Users\\anna", "Administrator", "no"}},
         false},
        {"last user without a key", {{"Users", "LastUser", "bob"}}, false},
        {"Sobrel ignores the last user",
         {{"Common", "StartupApp", "Sobrel"},
          {"Users", "LastUser", "anna"},
          {"Users\\anna", "Administrator", "true"}},
         false},
        {"Sobrel user",
         {{"Common", "StartupApp", "Sobrel"}, {"Sobrel\\User", "Administrator", "1"}},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RegEntry registry;
        registry.CreateKey("");
        for (const char* key : {"Common", "Users", "Sobrel"}) {
            if (registry.TestKey(key)) {
                registry.DeleteKey(key);
            }
        }
        for (const auto& [key, name, value] : c.values) {
            Set(key, name, value);
        }
        EXPECT_EQ(IsAdministrator(), c.administrator);
    }
}

TEST_F(PartInfoRulesTest, AddOnsAreListedAndTheirEditorsCalledThroughThePlugIn) {
    EXPECT_TRUE(ReadAddons().empty());
    EXPECT_TRUE(RegEntry().TestKey("Common\\Addons"));  // created when missing
    const char* const classes[] = {"{7E1A0000-0000-4000-8000-000000000001}",
                                   "{7E1A0000-0000-4000-8000-000000000002}",
                                   "{7E1A0000-0000-4000-8000-000000000003}"};
    for (int i = 0; i < 3; ++i) {
        const std::string n = std::to_string(i + 1);
        Set("Common\\Addons\\Addon" + n, "Name", "Recorder " + n);
        Set("Common\\Addons\\Addon" + n, "PIFProgID", "Test.Recorder" + n);
        RegisterInprocServer("Test.Recorder" + n, classes[i], VANTREEL_TEST_PLUGIN);
    }
    const std::vector<AddonEntry> addons = ReadAddons();
    ASSERT_EQ(addons.size(), 3u);
    EXPECT_EQ(addons[1].Name, "Recorder 2");
    EXPECT_EQ(addons[1].ProgID, "Test.Recorder2");

    const std::string information = directory_.File("partinfo.ini");
    EditAddonSettings(addons[1].ProgID, "/parts/P1", information, 1031);
    std::ifstream calls(information + ".calls");
    std::string line;
    std::getline(calls, line);
    EXPECT_EQ(line, "Recorder2|/parts/P1|" + information + "|1031");

    EXPECT_EQ(ErrorNumber([&] { EditAddonSettings("Test.Nothing", "/p", information, 0); }), 429);
}

TEST_F(PartInfoRulesTest, TheExampleAddOnCountsItsEditsInTheInformationFile) {
    RegisterInprocServer("Example.RunCounter", "{5A3C1E00-7A11-4E0D-9C4B-2F1D00000001}",
                         VANTREEL_EXAMPLE_ADDON);
    const std::string information = directory_.File("partinfo.ini");
    std::ofstream(information, std::ios::binary)
        << "\xEF\xBB\xBF; station\r\n[Part]\r\nName=P1\r\n";
    EditAddonSettings("Example.RunCounter", "/parts/P1", information, 1031);
    EditAddonSettings("Example.RunCounter", "/parts/P1", information, 1033);
    EXPECT_EQ(ReadIniString(information, "ExampleAddon", "Edits"), "2");
    EXPECT_EQ(ReadIniString(information, "ExampleAddon", "Language"), "1033");
    EXPECT_EQ(ReadIniString(information, "Part", "Name"), "P1");
}

TEST_F(PartInfoRulesTest, CommandLineAssignmentsAreTakenAsTheDialogTakesThem) {
    PartInfoSettings s;
    s.Labels = {{"Operator", 0, ""}};
    s.SkipFiles = {"a.skp", "b.skp"};
    struct Case {
        std::string text;
        int32_t refusal;  // 0: taken
        std::function<bool(const PartInfoControls&)> check;
    };
    const Case cases[] = {
        {"Report.PrintMode=1", 0, [](const auto& c) { return c.Print == 1 && c.Report == 1; }},
        {"report.reportstatus=3", 0, [](const auto& c) { return c.Report == 3; }},
        {"Report.ReportStatus=4", 125145, nullptr},
        {"Report.CSVMaxRecord=12x", 125145, nullptr},
        {"Report.CSVMaxRecord=12", 0, [](const auto& c) { return c.CSVRecord == "12"; }},
        {"Report.DefaultPrinter=Lab_Laser", 0, [](const auto& c) { return c.Printer == 1; }},
        {"Report.DefaultPrinter=Nowhere", 125145, nullptr},
        {"Report.ReportFile=run.txt", 125145, nullptr},  // would read back as ""
        {"Report.LogFile=run", 0, [](const auto& c) { return c.LogFile == "run"; }},
        {"Report.LogFile=run.log", 125145, nullptr},
        {"Report.Graphics=yes", 0, [](const auto& c) { return c.Graphics; }},
        {"Report.Graphics=maybe", 125145, nullptr},
        {"Report.Operator=bob", 0, [](const auto& c) { return c.LabelValues[0] == "bob"; }},
        {"Skip.SkipFile=B.SKP", 0, [](const auto& c) { return c.PartialRun && c.SkipFile == 1; }},
        {"Skip.SkipFile=c.skp", 125145, nullptr},
        {"Part.SerialNumber=a\nb", 125145, nullptr},
        {"Part.Name=X", 125146, nullptr},
        {"Part.Colour=red", 125147, nullptr},
        {"NoDot=1", 125147, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        PartInfoControls controls = ControlsFromSettings(s, kPrinters);
        controls.Report = 2;
        SettingAssignment assignment;
        std::optional<PartInfoMessage> refusal = ParseAssignment(c.text, s, assignment);
        if (!refusal) {
            refusal = ApplyAssignment(assignment, s, kPrinters, controls);
        }
        EXPECT_EQ(refusal ? refusal->Id : 0, c.refusal);
        if (!refusal && c.check) {
            EXPECT_TRUE(c.check(controls));
        }
    }
}

}  // namespace
}  // namespace vantreel::test
