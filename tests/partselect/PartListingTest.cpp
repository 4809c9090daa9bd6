#include "PartStation.h"

#include "partselect/PartListing.h"

#include <map>

namespace vantreel::test {
namespace {

// A part whose answers are set by the test and whose questions are counted.
class FakePart : public Part {
  public:
    FakePart(std::string path, std::string name, bool source, bool executable, bool lorimet)
        : path_(std::move(path)),
          name_(std::move(name)),
          source_(source),
          executable_(executable),
          lorimet_(lorimet) {}

    void OpenProject(std::string&) override {}
    void CreateProject(int32_t, const std::string&, std::string&, bool) override {}
    std::string FullPath() const override { return path_; }
    std::string PartName() const override { return name_; }
    double PartDate() const override {
        ++Asked()["PartDate"];
        return 46000.5;
    }
    bool HasSource() const override {
        ++Asked()["HasSource"];
        return source_;
    }
    bool HasExecutable() const override {
        ++Asked()["HasExecutable"];
        return executable_;
    }
    bool IsLorimet() const override {
        ++Asked()["IsLorimet"];
        return lorimet_;
    }
    std::string informationfile() const override { return {}; }
    std::string ProjectFile() const override { return name_; }
    void RePaginateCode() override {}
    void UpgradeProject() override {}
    int16_t AdditionalFilesCount() const override { return 0; }
    std::string AdditionalFiles(int16_t) const override { return {}; }
    void AdditionalFileAdd(const std::string&) override {}
    void AdditionalFileRemove(int16_t) override {}

    static std::map<std::string, int>& Asked() {
        static std::map<std::string, int> asked;
        return asked;
    }

  private:
    std::string path_, name_;
    bool source_, executable_, lorimet_;
};

// A folder holding the parts of kParts, for the filter rules alone.
struct FakePartAnswers {
    const char* name;
    bool source, executable, lorimet;
};
constexpr FakePartAnswers kParts[] = {
    {"NONE", false, false, false}, {"SRC", true, false, false},   {"EXE", false, true, false},
    {"BOTH", true, true, false},   {"LORIMET", true, true, true},
};

class FakeFolder : public PartFolder {
  public:
    void OpenFolder(const std::string& sPath) override { path_ = sPath.empty() ? "/r" : sPath; }
    std::string FullPath() const override { return path_; }
    std::string ShortName() const override { return path_ == "/r" ? "" : "sub"; }
    void GetFolders(KeyedCollection<PartFolder>&, bool) const override {}
    void GetParts(KeyedCollection<Part>& colParts, bool) const override {
        for (const FakePartAnswers& answers : kParts) {
            const std::string path = path_ + "/" + answers.name;
            colParts.Add(std::make_unique<FakePart>(path, answers.name, answers.source,
                                                    answers.executable, answers.lorimet),
                         path);
        }
    }
    void GetFiles(KeyedCollection<PlainFile>&, bool) const override {}
    void CreateFolder(const std::string&, const std::string&) override {}
    void RenameFolder(const std::string&) override {}
    bool ContainsPart(const std::string&) const override { return false; }

  private:
    std::string path_;
};

class PartListingTest : public PartStation {};

TEST(PartListingRules, LegacyDmisNames) {
    const std::pair<const char*, bool> cases[] = {
        {"A.DMS", true},    {"x.dmi", true},      {"prog.Dmi", true}, {"OLD.DmS", true},
        {".DMS", false},    {"PROG.DMSX", false}, {"PROG.DM", false}, {"", false},
        {"PROGDMS", false}, {"a.dms.txt", false}, {"a.b.DMI", true},  {"DMS", false},
    };
    for (const auto& [name, legacy] : cases) {
        EXPECT_EQ(IsLegacyDmisName(name), legacy) << name;
    }
}

TEST(PartListingRules, FiltersAskOnlyWhatIsNeeded) {
    struct Case {
        bool requireSource, requireExecutable, suppressLorimet;
        std::vector<std::string> listed;
        std::vector<std::string> asked;  // the questions the filters may put
    };
    const Case cases[] = {
        {false, false, false, {"NONE", "SRC", "EXE", "BOTH", "LORIMET"}, {}},
        {true, false, false, {"SRC", "BOTH", "LORIMET"}, {"HasSource"}},
        {false, true, false, {"EXE", "BOTH", "LORIMET"}, {"HasExecutable"}},
        {true, true, false, {"BOTH", "LORIMET"}, {"HasExecutable", "HasSource"}},
        {false, false, true, {"NONE", "SRC", "EXE", "BOTH"}, {"IsLorimet"}},
        {true, true, true, {"BOTH"}, {"HasExecutable", "HasSource", "IsLorimet"}},
    };
    RegisterPartFolder("Test.Fake", [] { return std::make_unique<FakeFolder>(); });
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.requireSource << c.requireExecutable << c.suppressLorimet);
        FakePart::Asked().clear();
        PartSelectState state;
        state.RequireSource = c.requireSource;
        state.RequireExecutable = c.requireExecutable;
        state.SuppressLorimet = c.suppressLorimet;
        state.FolderStack.push_back(CreatePartFolder("Test.Fake"));
        state.FolderStack.back()->OpenFolder("");
        ASSERT_TRUE(RefreshList(state));
        std::vector<std::string> listed;
        for (const ListEntry& entry : state.Items) {
            listed.push_back(entry.Text);
            EXPECT_TRUE(entry.DateText.empty());
        }
        EXPECT_EQ(listed, c.listed);
        std::vector<std::string> asked;
        for (const auto& [question, count] : FakePart::Asked()) {
            asked.push_back(question);
        }
        EXPECT_EQ(asked, c.asked);  // never PartDate in the plain list
    }
    // The details view asks each listed part its date, once.
    FakePart::Asked().clear();
    PartSelectState details;
    details.ListMode = false;
    details.DateFormatter = [](double date) { return "day " + std::to_string(int(date)); };
    details.FolderStack.push_back(CreatePartFolder("Test.Fake"));
    details.FolderStack.back()->OpenFolder("");
    ASSERT_TRUE(RefreshList(details));
    EXPECT_EQ(FakePart::Asked()["PartDate"], 5);
    EXPECT_EQ(details.Items.front().DateText, "day 46000");
}

TEST(PartListingRules, PathLines) {
    struct Named : FakeFolder {
        Named(std::string shortName, std::string path)
            : shortName_(std::move(shortName)), path_(std::move(path)) {}
        std::string FullPath() const override { return path_; }
        std::string ShortName() const override { return shortName_; }
        std::string shortName_, path_;
    };
    InitResources();
    int32_t english = 1033;
    SetLanguage(english);
    struct Case {
        const char* shortName;
        const char* path;
        bool root;
        const char* line;
    };
    const Case cases[] = {
        {"", "c:\\parts", true, "C: Top level"},
        {"", "d:", true, "D: Top level"},
        {"", "/srv/parts", true, "Top level"},
        {"", "\\\\server\\share", true, "Top level"},
        {"", "/", true, "Top level"},
        {"Fixtures", "/srv/parts/Fixtures", false, "Fixtures"},
        {"usb", "/media/usb", true, "/media/usb"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StackLine(Named(c.shortName, c.path), c.root), c.line) << c.path;
    }
}

TEST(PartListingRules, JoinPathAndSorting) {
    EXPECT_EQ(JoinPath("/srv/parts", "A"), "/srv/parts/A");
    EXPECT_EQ(JoinPath("/", "A"), "/A");
    EXPECT_EQ(JoinPath("/srv/parts", ""), "/srv/parts/");
    EXPECT_EQ(JoinPath("", "A"), "/A");

    std::vector<ListEntry> entries = {
        {"F:/b", "beta", "folderlist", {}, 0},
        {"P:/a", "Alpha", "part", {}, 3},
        {"P:/c", "gamma", "part", {}, 1},
        {"D:/d", "ALPHA", "dmis", {}, 0},
    };
    const auto keys = [&] {
        std::string order;
        for (const ListEntry& entry : entries) {
            order += entry.Key.substr(3);
        }
        return order;
    };
    SortEntries(entries, 0, false);
    EXPECT_EQ(keys(), "adbc");  // case ignored; equal texts keep their order
    SortEntries(entries, 0, true);
    EXPECT_EQ(keys(), "cbad");
    SortEntries(entries, 1, false);
    EXPECT_EQ(keys(), "bdca");
}

TEST_F(PartListingTest, GroupsInOrderWithLegacyFilesOnly) {
    MakeFolder("Zeta");
    MakeFolder("Alpha");
    MakePart("P2");
    MakePart("P1", "Renamed");
    MakeFile("OLD.DMS");
    MakeFile("x.dmi");
    MakeFile(".DMS");
    MakeFile("PROG.DMSX");
    MakeFile("notes.txt");
    PartSelectState state;
    Load(state);
    EXPECT_EQ(Listed(state), (std::vector<std::string>{"F Alpha", "F Zeta", "P Renamed", "P P2",
                                                       "D OLD.DMS", "D x.dmi"}));
    EXPECT_EQ(state.Items[2].Key, "P:" + Root() + "/P1");
    EXPECT_EQ(state.Items[2].Icon, "part");
    EXPECT_EQ(state.Items[0].Icon, "folderlist");
    EXPECT_EQ(state.Items[4].Icon, "dmis");
    EXPECT_EQ(state.HostDirectory, Root());
    EXPECT_EQ(state.StackLines, std::vector<std::string>{"Top level"});
    EXPECT_EQ(state.StackIndex, 0);
    EXPECT_FALSE(state.UpOneEnabled);
    EXPECT_EQ(state.SelectedIndex, 0);  // selected, not clicked
    EXPECT_EQ(state.SelectedKey, Root());
    EXPECT_FALSE(state.EditSelected);

    state.DirectoryMode = true;
    RefreshList(state);
    EXPECT_EQ(Listed(state),
              (std::vector<std::string>{"F Alpha", "F Zeta", "D OLD.DMS", "D x.dmi"}));
}

TEST_F(PartListingTest, RestrictionRules) {
    struct Case {
        const char* name;
        std::vector<std::array<const char*, 3>> values;  // key, value name, value
        bool restricted;
    };
    const Case cases[] = {
        {"no last user", {}, true},
        {"user without key", {{"Users", "LastUser", "anna"}}, true},
        {"user limited",
         {{"Users", "LastUser", "anna"}, {"Users\\anna", "AccessDefaultRepositoryOnly", "true"}},
         true},
        {"user free",
         {{"Users", "LastUser", "anna"}, {"Users\\anna", "AccessDefaultRepositoryOnly", "false"}},
         false},
        {"light application without user key", {{"Common", "StartupApp", "Sobrel"}}, true},
        {"light application administrator",
         {{"Common", "StartupApp", "Sobrel"}, {"Sobrel\\User", "Administrator", "true"}},
         false},
        {"light application operator",
         {{"Common", "StartupApp", "Sobrel"}, {"Sobrel\\User", "Administrator", "false"}},
         true},
        {"name compared with its case",
         {{"Common", "StartupApp", "sobrel"},
          {"Sobrel\\User", "Administrator", "true"},
          {"Users", "LastUser", "anna"},
          {"Users\\anna", "AccessDefaultRepositoryOnly", "true"}},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RegEntry registry;
        registry.OpenKey("Common");
        registry.SetString("StartupApp", "");
        for (const auto& [parent, key] :
             {std::pair{"Users", "anna"}, std::pair{"Sobrel", "User"}}) {
            if (registry.TestKey(std::string(parent) + "\\" + key)) {
                registry.OpenKey(parent);
                registry.DeleteKey(key);
            }
        }
        registry.OpenKey("Users");
        registry.SetString("LastUser", "");
        for (const auto& [key, name, value] : c.values) {
            Set(key, name, value);
        }
        EXPECT_EQ(IsRestrictedToDefaultRepository(), c.restricted);
        PartSelectState state;
        Load(state);
        EXPECT_EQ(state.SelectDriveEnabled, !c.restricted);
    }
}

TEST_F(PartListingTest, MissingUsersKeyIsReportedWhileLoading) {
    RegEntry registry;
    registry.OpenKey("");
    registry.DeleteKey("Users");
    EXPECT_EQ(ErrorNumber([] { IsRestrictedToDefaultRepository(); }), 5001);
    PartSelectState state;
    EXPECT_FALSE(LoadDialog(state));
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].style, vbInformation);
    EXPECT_EQ(messages_[0].title, GetResString(110089));
    EXPECT_FALSE(state.SelectDriveEnabled);
    EXPECT_FALSE(state.NewEnabled);
}

TEST_F(PartListingTest, ReselectPathOpensTheNewFolderForEditing) {
    MakeFolder("A");
    MakeFolder("B");
    MakePart("P");
    PartSelectState state;
    Load(state);
    state.ReselectPath = Root() + "/B";
    RefreshList(state);
    EXPECT_EQ(state.SelectedIndex, 1);
    EXPECT_TRUE(state.EditSelected);
    EXPECT_EQ(state.Focus, FocusTarget::List);
    EXPECT_TRUE(state.ReselectPath.empty());
    // A path that names no listed folder selects the first entry.
    state.ReselectPath = Root() + "/P";
    RefreshList(state);
    EXPECT_EQ(state.SelectedIndex, 0);
    EXPECT_FALSE(state.EditSelected);
    EXPECT_EQ(state.Focus, FocusTarget::NameBox);
    EXPECT_EQ(state.ReselectPath, Root() + "/P");
}

TEST_F(PartListingTest, UnreadableRootAndVanishedFolder) {
    Set("Common", "RepositoryRoot", (root_ / "missing").string());
    PartSelectState state;
    EXPECT_FALSE(LoadDialog(state));
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_NE(messages_[0].text.find("missing"), std::string::npos);
    EXPECT_EQ(messages_[0].style, vbInformation);
    EXPECT_TRUE(state.FolderStack.empty());
    EXPECT_TRUE(state.Items.empty());
    EXPECT_EQ(PressOk(state), OkOutcome::Nothing);  // nothing was opened, nothing chosen
    NewFolder(state);                               // nothing to create a folder in
    EXPECT_FALSE(fs::exists(root_ / "missing"));

    Set("Common", "RepositoryRoot", root_.string());
    // A listed folder removed before OK (or a double-click in directory
    // mode) is stepped into all the same; the listing says it is gone, and
    // the dialog stays open with the way back.
    for (const bool directoryMode : {false, true}) {
        SCOPED_TRACE(directoryMode ? "directory mode, double-click" : "open mode, OK");
        MakePart("Gone/P1");
        messages_.clear();
        state.SelectExisting = true;
        state.DirectoryMode = directoryMode;
        Load(state);
        const int gone = IndexOf(state, "Gone");
        ClickEntry(state, gone);
        fs::remove_all(root_ / "Gone");
        EXPECT_EQ(directoryMode ? DoubleClickEntry(state, gone) : PressOk(state), OkOutcome::Stay);
        ASSERT_EQ(messages_.size(), 1u);
        EXPECT_NE(messages_[0].text.find("Gone"), std::string::npos);
        EXPECT_EQ(messages_[0].style, vbInformation);
        EXPECT_TRUE(state.Items.empty());
        EXPECT_EQ(state.FolderStack.size(), 2u);
        EXPECT_TRUE(state.UpOneEnabled);  // the way back stays open
        UpOne(state);
        EXPECT_TRUE(state.Items.empty());  // the root is empty now
        EXPECT_EQ(state.HostDirectory, Root());
        EXPECT_EQ(messages_.size(), 1u);
    }
    state.DirectoryMode = false;

    // A name typed after clicking a folder is no listed folder: OK closes.
    MakeFolder("Here");
    Load(state);
    ClickEntry(state, IndexOf(state, "Here"));
    SetNameText(state, "Elsewhere");
    EXPECT_EQ(PressOk(state), OkOutcome::Close);
    EXPECT_EQ(state.Directory, Root() + "/Elsewhere");
}

}  // namespace
}  // namespace vantreel::test
