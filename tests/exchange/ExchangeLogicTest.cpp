#include "common/ErrorNumber.h"
#include "common/MessageLog.h"
#include "components/ComponentFactory.h"
#include "components/FileSystemExport.h"
#include "components/LegacyList.h"
#include "exchange/ExportFileLogic.h"
#include "exchange/ExportOptionsLogic.h"
#include "exchange/ImportLogic.h"
#include "exchange/LegacyImport.h"
#include "exchange/PartFixture.h"
#include "shared/MessageBox.h"
#include "shared/Resources.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <vector>

namespace vantreel::test {
namespace {

class ExchangeLogicTest : public PartsTest {
  protected:
    void SetUp() override {
        PartsTest::SetUp();
        InitResources();
        int32_t english = 1033;
        SetLanguage(english);
        previousStarter_ =
            SetProgramStarter([this](const std::string& line) { started_.push_back(line); });
    }
    void TearDown() override {
        SetProgramStarter(previousStarter_);
        PartsTest::TearDown();
    }

    // A legacy export as a Windows station writes it: the part's files in a
    // folder with the list file beside them.
    fs::path WindowsExport(const std::string& name, const std::string& list) {
        const fs::path dir = outside_ / "export" / name;
        WriteFile(dir / (name + ".vbp"), "Type=Exe\r\n");
        WriteFile(dir / "ModMain.bas", "Sub Main()\r\n");
        WriteFile(dir / "Fixture" / "Clamp.fix", Binary(500, 4));
        WriteFile(dir / (name + ".exe"), "MZ");
        WriteFile(dir / (name + ".lst"), list);
        return dir / (name + ".lst");
    }

    std::vector<std::string> started_;
    ProgramStarter previousStarter_;
};

const std::string kWindowsList =
    "GEAR\r\nvisualbasic\r\nF:Fixture\r\nD:GEAR.vbp\r\nD:ModMain.bas\r\n"
    "D:Fixture\\Clamp.fix\r\nD:GEAR.exe\r\n";

TEST_F(ExchangeLogicTest, WindowsLegacyExportImportsUnchanged) {
    const fs::path list = WindowsExport("GEAR", kWindowsList);
    const fs::path target = directory_.Path() / "target";
    fs::create_directories(target);
    const LegacyImportResult result = CopyLegacyExport(list.string(), target.string(), false);
    EXPECT_EQ(result.refusal, LegacyRefusal::None);
    EXPECT_EQ(result.target, (target / "GEAR").string());
    std::map<std::string, std::string> expected = Tree(list.parent_path());
    expected.erase("GEAR.lst");
    EXPECT_EQ(Tree(target / "GEAR"), expected);
    ASSERT_EQ(started_.size(), 1u);
    EXPECT_EQ(started_[0], "\"" + (target / "GEAR" / "GEAR.exe").string() + "\" /REGSERVER");
    EXPECT_EQ(std::distance(fs::directory_iterator(target), fs::directory_iterator()), 1);
}

// Windows finds files whatever the letter case of their names: a list may
// spell a file or folder otherwise than the export's files and its own F:
// lines do. The files keep the list's spelling, inside the folders made first.
TEST_F(ExchangeLogicTest, WindowsListsSpellNamesInAnyCase) {
    const fs::path list =
        WindowsExport("GEAR",
                      "GEAR\r\nvisualbasic\r\nF:Fixture\r\nD:gear.VBP\r\nD:MODMAIN.bas\r\n"
                      "D:FIXTURE\\clamp.FIX\r\nD:gear.exe\r\n");
    const fs::path target = directory_.Path() / "target";
    fs::create_directories(target);
    const LegacyImportResult result = CopyLegacyExport(list.string(), target.string(), false);
    EXPECT_EQ(result.refusal, LegacyRefusal::None);
    const std::map<std::string, std::string> tree = Tree(target / "GEAR");
    std::vector<std::string> names;
    for (const auto& [name, bytes] : tree) {
        names.push_back(name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Fixture", "Fixture/clamp.FIX", "MODMAIN.bas",
                                               "gear.VBP", "gear.exe"}));
    EXPECT_EQ(tree.at("Fixture/clamp.FIX"), Binary(500, 4));
    EXPECT_EQ(tree.at("MODMAIN.bas"), "Sub Main()\r\n");

    // Two files that differ only in case: which one is meant cannot be told.
    const fs::path twice = WindowsExport("TWICE", "TWICE\r\nvisualbasic\r\nD:modmain.BAS\r\n");
    WriteFile(twice.parent_path() / "MODMAIN.BAS", "other");
    EXPECT_NE(ErrorNumber([&] { CopyLegacyExport(twice.string(), target.string(), false); }), 0);
    EXPECT_FALSE(fs::exists(target / "TWICE"));
}

TEST_F(ExchangeLogicTest, LegacyExportThenLegacyImportRoundTrips) {
    const fs::path dir = MakePart("SHAFT", outside_);
    auto part = Open(dir);
    const fs::path legacy = directory_.Path() / "legacy";
    fs::create_directories(legacy);
    CreatePartExport()->ExportLegacy(legacy.string(), {part.get()});
    const fs::path target = directory_.Path() / "target";
    fs::create_directories(target);
    const LegacyImportResult result =
        CopyLegacyExport((legacy / "SHAFT" / "SHAFT.lst").string(), target.string(), true);
    ASSERT_EQ(result.refusal, LegacyRefusal::None);
    std::map<std::string, std::string> imported = Tree(target / "SHAFT");
    std::map<std::string, std::string> original = Tree(dir);
    // Upgrading rewrites the project file; everything else is byte for byte.
    EXPECT_NE(imported["SHAFT.vbp"], original["SHAFT.vbp"]);
    EXPECT_NE(imported["SHAFT.vbp"].find("ExeName32=\"SHAFT.exe\""), std::string::npos);
    imported.erase("SHAFT.vbp");
    original.erase("SHAFT.vbp");
    EXPECT_EQ(imported, original);
    EXPECT_EQ(started_.size(), 1u);
}

TEST_F(ExchangeLogicTest, RefusalsShowTheirMessageAndChangeNothing) {
    MakePart("TAKEN");
    const fs::path target = directory_.Path() / "target";
    WriteFile(target / "BUSY" / "mine.txt", "keep");
    struct Case {
        std::string name;
        std::string list;
        LegacyRefusal refusal;
        std::string message;
    };
    const Case cases[] = {
        {"A", "A\r\nVisual Basic\r\nD:A.vbp\r\n", LegacyRefusal::NotAList, "is not a valid file"},
        {"B", "B\r\n", LegacyRefusal::NotAList, "is not a valid file"},
        {"TAKEN", "TAKEN\r\nVisualBasic\r\nD:TAKEN.vbp\r\n", LegacyRefusal::PartExists,
         "already contains a part named TAKEN"},
        {"BUSY", "BUSY\r\nVisualBasic\r\nD:BUSY.vbp\r\n", LegacyRefusal::TargetExists,
         "The folder " + (target / "BUSY").string() + " already exists"},
    };
    for (const Case& c : cases) {
        const fs::path list = WindowsExport(c.name, c.list);
        const auto snapshot = [&] { return std::tuple(Tree(root_), Tree(outside_), Tree(target)); };
        const auto before = snapshot();
        MessageLog log;
        ImportLegacyWithMessages(list.string(), target.string(), false);
        ASSERT_EQ(log.shown.size(), 1u) << c.name;
        EXPECT_NE(log.shown[0].text.find(c.message), std::string::npos) << log.shown[0].text;
        EXPECT_EQ(log.shown[0].style, vbOKOnly);
        EXPECT_EQ(log.shown[0].title, GetResString(110089));
        EXPECT_EQ(CopyLegacyExport(list.string(), target.string(), false).refusal, c.refusal);
        EXPECT_TRUE(snapshot() == before) << c.name;
    }
    EXPECT_TRUE(started_.empty());
}

TEST_F(ExchangeLogicTest, HostileListsAreRefusedBeforeAnythingIsCreated) {
    WriteFile(outside_ / "secret.txt", "secret");
    const fs::path target = directory_.Path() / "target";
    fs::create_directories(target);
    struct Case {
        std::string line;
        const char* reason;
    };
    const Case cases[] = {
        {"D:..\\..\\secret.txt", "leaves its folder"},
        {"D:../../secret.txt", "leaves its folder"},
        {"D:/etc/passwd", "absolute"},
        {"D:\\Windows\\win.ini", "absolute"},
        {"D:C:\\boot.ini", "drive letter"},
        {"F:..\\..\\outside-folder", "leaves its folder"},
        {"D:link.txt", "symbolic link"},
        {"D:linked\\file.txt", "symbolic link"},
        {"D:", "empty"},
        {"D:missing.txt", "missing.txt"},
        {"D:Fixture\\none\\x.fix", "x.fix"},  // a file before its folder's line
    };
    for (const Case& c : cases) {
        const fs::path list =
            WindowsExport("EVIL", "EVIL\r\nVisualBasic\r\nD:EVIL.vbp\r\n" + c.line + "\r\n");
        fs::create_symlink(outside_ / "secret.txt", list.parent_path() / "link.txt");
        fs::create_directory_symlink(outside_, list.parent_path() / "linked");
        WriteFile(outside_ / "file.txt", "outside");
        std::string description;
        EXPECT_NE(ErrorNumber([&] { CopyLegacyExport(list.string(), target.string(), false); },
                              &description),
                  0)
            << c.line;
        EXPECT_NE(description.find(c.reason), std::string::npos) << c.line << ": " << description;
        EXPECT_TRUE(fs::is_empty(target)) << c.line;
        EXPECT_FALSE(fs::exists(directory_.Path() / "outside-folder"));
        fs::remove_all(list.parent_path());
    }
    EXPECT_TRUE(started_.empty());
}

TEST_F(ExchangeLogicTest, OnlyAnExactFTagMakesAFolder) {
    // "f:" passes the dialog's check but is copied as a file: here a folder
    // name, so the copy fails and nothing stays.
    const fs::path list = WindowsExport("LOWER", "LOWER\r\nVisualBasic\r\nf:Fixture\r\n");
    EXPECT_TRUE(LegacyList::Read(list.string()).IsWellFormed());
    const fs::path target = directory_.Path() / "target";
    fs::create_directories(target);
    EXPECT_NE(ErrorNumber([&] { CopyLegacyExport(list.string(), target.string(), false); }), 0);
    EXPECT_TRUE(fs::is_empty(target));
}

TEST_F(ExchangeLogicTest, ThePartsProgramIsStartedOnlyWhenItWasCopied) {
    const fs::path target = directory_.Path() / "target";
    fs::create_directories(target);
    // A part whose program is already in the target, found by a pattern if
    // the part's name were read as one.
    WriteFile(target / "GEAR" / "GEAR.exe", "MZ");
    struct Case {
        std::string name;
        bool withProgram;
    };
    const Case cases[] = {{"SHAFT", true}, {"PLAIN", false}, {"GE?R", false}, {"G*", false}};
    for (const Case& c : cases) {
        const fs::path dir = outside_ / "lists" / c.name;
        WriteFile(dir / (c.name + ".vbp"), "Type=Exe\r\n");
        std::string list = c.name + "\r\nVisualBasic\r\nD:" + c.name + ".vbp\r\n";
        if (c.withProgram) {
            WriteFile(dir / (c.name + ".exe"), "MZ");
            list += "D:" + c.name + ".exe\r\n";
        }
        WriteFile(dir / (c.name + ".lst"), list);
        started_.clear();
        EXPECT_EQ(ErrorNumber([&] {
                      CopyLegacyExport((dir / (c.name + ".lst")).string(), target.string(), false);
                  }),
                  0)
            << c.name;
        EXPECT_TRUE(fs::exists(target / c.name / (c.name + ".vbp"))) << c.name;
        EXPECT_EQ(started_.size(), c.withProgram ? 1u : 0u) << c.name;
    }
}

// ---- the dialogs' rules --------------------------------------------------------

TEST_F(ExchangeLogicTest, ExportOptionsListEachPartOnce) {
    const fs::path a = MakePart("A");
    const fs::path b = MakePart("B");
    ExportOptionsLogic logic;
    logic.Load(a.string());
    EXPECT_EQ(logic.Entries(), std::vector<std::string>{"A"});
    EXPECT_TRUE(logic.OkEnabled());
    EXPECT_FALSE(logic.FilesEnabled());
    struct Step {
        std::string path;
        bool added;
    };
    const Step steps[] = {
        {"A", false},         // the path equals a listed part's name
        {a.string(), false},  // the same part again
        {b.string(), true},
        {"", false},
    };
    for (const Step& step : steps) {
        EXPECT_EQ(logic.AddPart(step.path), step.added) << step.path;
    }
    EXPECT_EQ(logic.Entries(), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(ErrorNumber([&] { logic.AddPart((root_ / "nothing").string()); }), 53);
    logic.Select(1);
    EXPECT_TRUE(logic.FilesEnabled());
    EXPECT_EQ(logic.SelectedPart()->PartName(), "B");
    logic.RemovePart(0);
    EXPECT_EQ(logic.Entries(), std::vector<std::string>{"B"});
    EXPECT_FALSE(logic.FilesEnabled());
    logic.RemovePart(-1);
    logic.RemovePart(5);
    EXPECT_TRUE(logic.OkEnabled());
    logic.RemovePart(0);
    EXPECT_FALSE(logic.OkEnabled());  // the last one removed
    logic.SetLegacy(true);
    EXPECT_FALSE(logic.ContentEnabled());
    logic.Ok(true, false, true);
    EXPECT_EQ(std::tuple(logic.State().result, logic.State().fix, logic.State().source,
                         logic.State().executable),
              std::tuple(true, true, false, true));
}

TEST_F(ExchangeLogicTest, AdditionalFilesGoToThePartAtOnce) {
    auto part = Open(MakePart("A"));
    part->AdditionalFileAdd("/data/one.pdf");
    AdditionalFilesLogic logic(*part);
    logic.Load();
    EXPECT_EQ(logic.Files(), std::vector<std::string>{"/data/one.pdf"});
    EXPECT_FALSE(logic.Add("/data/one.pdf"));
    EXPECT_TRUE(logic.Add("/data/two.pdf"));
    EXPECT_TRUE(logic.Add("/data/ONE.pdf"));  // exact text: another file
    logic.Remove(0);
    auto reopened = Open(root_ / "A");
    ASSERT_EQ(reopened->AdditionalFilesCount(), 2);
    EXPECT_EQ(reopened->AdditionalFiles(1), "/data/two.pdf");
    EXPECT_EQ(reopened->AdditionalFiles(2), "/data/ONE.pdf");
}

TEST_F(ExchangeLogicTest, ExportFileNeedsPathTitleAndUser) {
    struct Case {
        const char *path, *title, *user;
        bool enabled;
    };
    const Case cases[] = {
        {"a.zip", "t", "u", true}, {"", "t", "u", false}, {"a.zip", "", "u", false},
        {"a.zip", "t", "", false}, {"", "", "", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ExportFileLogic::OkEnabled(c.path, c.title, c.user), c.enabled) << c.path;
    }
    ExportFileLogic logic;
    MessageLog log;
    EXPECT_FALSE(logic.Ok((outside_ / "no" / "x.zip").string(), "t", "u", ""));
    ASSERT_EQ(log.shown.size(), 1u);
    EXPECT_EQ(log.shown[0].text, GetResString(125104));
    EXPECT_EQ(log.shown[0].style, vbOKOnly);
    EXPECT_EQ(log.shown[0].title, GetResString(110089));
    EXPECT_FALSE(logic.State().result);
    WriteFile(outside_ / "old.zip", "old contents");
    EXPECT_TRUE(logic.Ok((outside_ / "old.zip").string(), " t ", "u", "c"));
    EXPECT_EQ(ReadFile(outside_ / "old.zip"), "");  // the path test empties it
    EXPECT_EQ(logic.State().title, " t ");
}

TEST_F(ExchangeLogicTest, LegacyTargetFolder) {
    struct Name {
        const char *firstPart, *name;
    };
    for (const Name& n : {Name{"/repo/lines/GEAR", "GEAR"}, Name{"/repo/GEAR/", "GEAR"},
                          Name{"C:\\Parts\\SHAFT", "SHAFT"}, Name{"", ""}}) {
        EXPECT_EQ(ExportPartLogic::PartNameOf(n.firstPart), n.name) << n.firstPart;
    }
    MessageLog log;
    ExportPartLogic logic;
    const std::string missing = (outside_ / "missing").string();
    EXPECT_FALSE(logic.Ok(missing));
    ASSERT_EQ(log.shown.size(), 1u);
    EXPECT_EQ(log.shown[0].text, "The folder " + missing + " does not exist.");
    EXPECT_EQ(log.shown[0].style, vbOKOnly);
    EXPECT_EQ(log.shown[0].title, GetResString(125010));
    EXPECT_TRUE(logic.Ok(outside_.string()));
    EXPECT_EQ(logic.State().targetDir, outside_.string() + "/");
    EXPECT_TRUE(logic.Ok("/"));  // three characters or fewer are not checked
    EXPECT_EQ(log.shown.size(), 1u);
}

TEST_F(ExchangeLogicTest, ImportSourcesAreExportFilesOrLegacyListsOrNothing) {
    auto part = Open(MakePart("A"));
    auto other = Open(MakePart("B"));
    const std::string zip = (outside_ / "x.zip").string();
    CreatePartExport()->ExportProjects(zip, "T", "U", "C", {part.get(), other.get()}, false, true,
                                       true);
    WriteFile(outside_ / "good.lst", "GEAR\r\nvisualbasic\r\nF:sub\r\nd:a\r\n");
    WriteFile(outside_ / "bad.lst", "GEAR\r\nVisualBasic\r\nX:a\r\n");
    WriteFile(outside_ / "plain.txt", "hello");
    ImportLogic logic;
    logic.SetDateFormatter([](std::time_t) { return std::string("the date"); });

    logic.SourceChanged(zip);
    EXPECT_TRUE(logic.OkEnabled());
    EXPECT_FALSE(logic.State().legacy);
    EXPECT_EQ(logic.Entries(), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(std::tie(logic.State().title, logic.State().user, logic.State().comments),
              std::tie("T", "U", "C"));

    logic.SourceChanged((outside_ / "good.lst").string());
    EXPECT_TRUE(logic.OkEnabled());
    EXPECT_TRUE(logic.State().legacy);
    EXPECT_EQ(logic.State().title, "Legacy export of part GEAR");
    EXPECT_EQ(logic.State().user, GetResString(125079));
    EXPECT_EQ(logic.State().date, "the date");
    EXPECT_TRUE(logic.Entries().empty());

    for (const std::string& text :
         {(outside_ / "bad.lst").string(), (outside_ / "plain.txt").string(),
          (outside_ / "no").string(), outside_.string(), std::string()}) {
        logic.SourceChanged(zip);
        logic.SourceChanged(text);
        EXPECT_FALSE(logic.OkEnabled()) << text;
        EXPECT_EQ(logic.State().exportFile, "") << text;
        EXPECT_EQ(logic.State().title, "") << text;
        EXPECT_TRUE(logic.Entries().empty()) << text;
    }

    logic.SourceChanged(zip);
    logic.Ok({1}, true);
    EXPECT_EQ(logic.State().partNames, std::vector<std::string>{"B"});
    EXPECT_TRUE(logic.State().templateFlag);
    logic.Ok({}, false);  // nothing selected: an empty list goes to the import
    EXPECT_TRUE(logic.State().partNames.empty());
    EXPECT_TRUE(logic.State().result);
}

}  // namespace
}  // namespace vantreel::test
