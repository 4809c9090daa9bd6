#include "PartStation.h"

#include "partselect/DriveSelectLogic.h"

namespace vantreel::test {
namespace {

class PartSelectLogicTest : public PartStation {
  protected:
    // A repository with a folder, two parts (one named otherwise than its
    // directory) and a legacy file.
    void SetUp() override {
        PartStation::SetUp();
        MakeFolder("Fixtures/Clamps");
        MakePart("Fixtures/CLAMP_1");
        MakePart("BRACKET");
        MakePart("dir_of_cover", "COVER");
        MakeFile("OLD.DMS");
    }

    PartSelectState Open(bool selectExisting, bool directoryMode = false, bool exportMode = false) {
        PartSelectState state;
        state.SelectExisting = selectExisting;
        state.DirectoryMode = directoryMode;
        state.ExportMode = exportMode;
        Load(state);
        return state;
    }
};

TEST_F(PartSelectLogicTest, ClickSetsNameDirectoryAndOk) {
    struct Case {
        const char* mode;
        bool selectExisting, directoryMode;
        const char* clicked;
        std::string name, directory, nameText;
        bool ok;
    };
    const std::string root = Root();
    const Case cases[] = {
        {"open", true, false, "Fixtures", "Fixtures", root + "/Fixtures", "Fixtures", true},
        {"open", true, false, "BRACKET", "BRACKET", root + "/BRACKET", "BRACKET", true},
        {"open", true, false, "COVER", "COVER", root + "/dir_of_cover", "COVER", true},
        {"open", true, false, "OLD.DMS", "OLD", root + "/OLD", "OLD", true},
        {"save-as", false, false, "BRACKET", "BRACKET", root + "/BRACKET", "BRACKET", false},
        {"save-as", false, false, "Fixtures", "Fixtures", root + "/Fixtures", "Fixtures", true},
        {"directory", true, true, "Fixtures", "Fixtures", root + "/Fixtures", "Fixtures", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.mode) + " " + c.clicked);
        PartSelectState state = Open(c.selectExisting, c.directoryMode);
        EXPECT_FALSE(state.OkEnabled && !c.directoryMode);  // nothing clicked yet
        ClickEntry(state, IndexOf(state, c.clicked));
        EXPECT_EQ(state.Name, c.name);
        EXPECT_EQ(state.Directory, c.directory);
        EXPECT_EQ(state.NameText, c.nameText);
        EXPECT_EQ(state.OkEnabled, c.ok);
        EXPECT_EQ(state.SelectedKey.substr(0, 2),
                  std::string(1, c.clicked == std::string("OLD.DMS")    ? 'D'
                                 : c.clicked == std::string("Fixtures") ? 'F'
                                                                        : 'P') +
                      ":");
    }
    PartSelectState legacy = Open(true);
    ClickEntry(legacy, IndexOf(legacy, "OLD.DMS"));
    EXPECT_EQ(legacy.SourceFile, root + "/OLD.DMS");
    // The next rebuild empties the name box, and OK is no longer available.
    RefreshList(legacy);
    EXPECT_EQ(legacy.NameText, "");
    EXPECT_FALSE(legacy.OkEnabled);
    EXPECT_EQ(legacy.SelectedKey, "D:" + root + "/OLD.DMS");  // a rebuild keeps the click
}

TEST_F(PartSelectLogicTest, SaveAsNameBox) {
    struct Case {
        const char* typed;
        bool ok;
        OkOutcome outcome;
        std::string directory;  // after OK
    };
    const std::string root = Root();
    const Case cases[] = {
        {"NEW_PART", true, OkOutcome::Close, root + "/NEW_PART"},
        {"BRACKET", false, OkOutcome::Close, root + "/BRACKET"},   // taken by a part
        {"Fixtures", true, OkOutcome::Stay, root + "/Fixtures/"},  // steps into it
        {"OLD.DMS", false, OkOutcome::Close, root + "/OLD.DMS"},   // taken by a file
        {"a/b", false, OkOutcome::Close, root + "/a/b"},
        {"..", false, OkOutcome::Close, root + "/.."},
        {"", false, OkOutcome::Close, root + "/"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        PartSelectState state = Open(false);
        SetNameText(state, c.typed);
        EXPECT_EQ(state.Name, c.typed);
        EXPECT_EQ(state.OkEnabled, c.ok);
        if (!c.ok) {
            continue;  // OK cannot be pressed
        }
        EXPECT_EQ(PressOk(state), c.outcome);
        EXPECT_EQ(state.Directory, c.directory);
    }
}

TEST_F(PartSelectLogicTest, SaveAsAfterClickingAFolder) {
    PartSelectState state = Open(false);
    ClickEntry(state, IndexOf(state, "Fixtures"));
    SetNameText(state, "NEW_PART");
    EXPECT_TRUE(state.OkEnabled);
    EXPECT_EQ(PressOk(state), OkOutcome::Close);
    EXPECT_EQ(state.Directory, Root() + "/NEW_PART");
    EXPECT_EQ(state.Name, "NEW_PART");

    // The typed name of an existing sub-folder steps into it instead.
    state = Open(false);
    ClickEntry(state, IndexOf(state, "Fixtures"));
    EXPECT_EQ(PressOk(state), OkOutcome::Stay);
    ClickEntry(state, IndexOf(state, "Clamps"));
    SetNameText(state, "Clamps");
    EXPECT_EQ(PressOk(state), OkOutcome::Stay);
    EXPECT_EQ(state.HostDirectory, Root() + "/Fixtures/Clamps");
    EXPECT_EQ(state.StackLines, (std::vector<std::string>{"Top level", "Fixtures", "Clamps"}));
}

TEST_F(PartSelectLogicTest, OkOutcomes) {
    struct Case {
        const char* mode;
        bool selectExisting, directoryMode;
        const char* clicked;  // nullptr: nothing clicked
        OkOutcome outcome;
    };
    // A folder named like the legacy file's new part does not stop its
    // conversion.
    MakeFolder("OLD");
    const Case cases[] = {
        {"open", true, false, "BRACKET", OkOutcome::Close},
        {"open", true, false, "Fixtures", OkOutcome::Stay},
        {"open", true, false, "OLD.DMS", OkOutcome::Convert},
        {"save-as", false, false, "OLD.DMS", OkOutcome::Convert},
        {"save-as", false, false, "BRACKET", OkOutcome::Close},
        {"directory", true, true, "Fixtures", OkOutcome::Close},
        {"directory", true, true, nullptr, OkOutcome::Close},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.mode) + " " + (c.clicked ? c.clicked : "-"));
        PartSelectState state = Open(c.selectExisting, c.directoryMode);
        if (c.clicked != nullptr) {
            ClickEntry(state, IndexOf(state, c.clicked));
        }
        EXPECT_EQ(PressOk(state), c.outcome);
        if (c.clicked != nullptr && c.outcome != OkOutcome::Convert && !c.directoryMode &&
            c.selectExisting) {
            // In open mode a double-click acts as OK.
            state = Open(true);
            ClickEntry(state, IndexOf(state, c.clicked));
            EXPECT_EQ(DoubleClickEntry(state, IndexOf(state, c.clicked)), c.outcome);
        }
    }
    PartSelectState open = Open(true);
    EXPECT_EQ(DoubleClickEntry(open, 99), OkOutcome::Nothing);  // no such entry
    PartSelectState none;
    EXPECT_EQ(PressOk(none), OkOutcome::Nothing);  // no key at all
}

TEST_F(PartSelectLogicTest, DirectoryModeChoosesTheFolderSteppedInto) {
    PartSelectState state = Open(true, true);
    EXPECT_TRUE(state.OkEnabled);
    EXPECT_EQ(state.Directory, Root() + "/");
    ClickEntry(state, IndexOf(state, "Fixtures"));
    EXPECT_EQ(DoubleClickEntry(state, IndexOf(state, "Fixtures")), OkOutcome::Stay);
    EXPECT_EQ(state.NameText, "");
    EXPECT_TRUE(state.OkEnabled);
    EXPECT_EQ(PressOk(state), OkOutcome::Close);
    EXPECT_EQ(state.Directory, Root() + "/Fixtures/");
    // A legacy file leads nowhere here.
    ClickEntry(state, IndexOf(state, "Clamps"));
    UpOne(state);
    ClickEntry(state, IndexOf(state, "OLD.DMS"));
    EXPECT_EQ(DoubleClickEntry(state, IndexOf(state, "OLD.DMS")), OkOutcome::Nothing);
    EXPECT_EQ(state.HostDirectory, Root());
}

TEST_F(PartSelectLogicTest, ExportModeAddsEachPartOnce) {
    PartSelectState state = Open(true, false, true);
    for (const char* part : {"BRACKET", "COVER", "BRACKET"}) {
        ClickEntry(state, IndexOf(state, part));
        EXPECT_EQ(DoubleClickEntry(state, IndexOf(state, part)), OkOutcome::Stay);
    }
    EXPECT_EQ(state.ExportCollection,
              (std::vector<std::string>{Root() + "/BRACKET", Root() + "/dir_of_cover"}));
    ClickEntry(state, IndexOf(state, "OLD.DMS"));
    EXPECT_EQ(DoubleClickEntry(state, IndexOf(state, "OLD.DMS")), OkOutcome::Nothing);
    ClickEntry(state, IndexOf(state, "Fixtures"));
    EXPECT_EQ(DoubleClickEntry(state, IndexOf(state, "Fixtures")), OkOutcome::Stay);
    ClickEntry(state, IndexOf(state, "CLAMP_1"));
    DoubleClickEntry(state, IndexOf(state, "CLAMP_1"));
    EXPECT_EQ(state.ExportCollection.size(), 3u);
    PressCancel(state);
    EXPECT_EQ(state.ExportCollection.size(), 3u);  // Cancel keeps the list
    EXPECT_EQ(state.Name, "");
    EXPECT_EQ(state.Directory, "");
}

TEST_F(PartSelectLogicTest, PathLinesAndUpOne) {
    MakeFolder("Fixtures/Clamps/Small");
    PartSelectState state = Open(true);
    UpOne(state);  // at the root: nothing
    EXPECT_EQ(state.HostDirectory, Root());
    for (const char* folder : {"Fixtures", "Clamps", "Small"}) {
        ClickEntry(state, IndexOf(state, folder));
        ASSERT_EQ(PressOk(state), OkOutcome::Stay);
    }
    EXPECT_EQ(state.StackLines.size(), 4u);
    PickStackLine(state, 3);  // the current folder: nothing
    EXPECT_EQ(state.FolderStack.size(), 4u);
    PickStackLine(state, 1);
    EXPECT_EQ(state.HostDirectory, Root() + "/Fixtures");
    UpOne(state);
    EXPECT_EQ(state.HostDirectory, Root());
    for (const char* folder : {"Fixtures", "Clamps"}) {
        ClickEntry(state, IndexOf(state, folder));
        PressOk(state);
    }
    PickStackLine(state, 0);  // back to the root in one step
    EXPECT_EQ(state.FolderStack.size(), 1u);
    EXPECT_EQ(state.HostDirectory, Root());
    EXPECT_FALSE(state.UpOneEnabled);
    PickStackLine(state, -1);
    PickStackLine(state, 7);
    EXPECT_EQ(state.FolderStack.size(), 1u);
}

TEST_F(PartSelectLogicTest, EveryShowingStartsAtTheRoot) {
    PartSelectState state = Open(true);
    ClickEntry(state, IndexOf(state, "Fixtures"));
    PressOk(state);
    Load(state);
    EXPECT_EQ(state.FolderStack.size(), 1u);
    EXPECT_EQ(state.SelectedKey, Root());
    EXPECT_EQ(state.HostDirectory, Root());
}

TEST_F(PartSelectLogicTest, NewFolderTakesTheNextFreeName) {
    PartSelectState state = Open(true);
    NewFolder(state);
    EXPECT_TRUE(fs::is_directory(root_ / "New Folder"));
    EXPECT_TRUE(state.EditSelected);
    EXPECT_EQ(state.Items[static_cast<std::size_t>(state.SelectedIndex)].Text, "New Folder");
    NewFolder(state);
    NewFolder(state);
    EXPECT_TRUE(fs::is_directory(root_ / "New Folder (3)"));
    EXPECT_EQ(state.Items[static_cast<std::size_t>(state.SelectedIndex)].Text, "New Folder (3)");
    EXPECT_EQ(state.Focus, FocusTarget::List);

    // A name taken by a file counts as taken too.
    MakeFile("New Folder (4)");
    NewFolder(state);
    EXPECT_TRUE(fs::is_directory(root_ / "New Folder (5)"));

    // With every name taken, nothing is made and nothing is said.
    for (int number = 6; number <= 100; ++number) {
        MakeFolder("New Folder (" + std::to_string(number) + ")");
    }
    RefreshList(state);
    const std::size_t listed = state.Items.size();
    EXPECT_FALSE(CreateNewFolder(state));
    EXPECT_TRUE(state.ReselectPath.empty());
    NewFolder(state);
    EXPECT_EQ(state.Items.size(), listed);
    EXPECT_FALSE(state.EditSelected);
    EXPECT_TRUE(messages_.empty());
}

TEST_F(PartSelectLogicTest, Renaming) {
    PartSelectState state = Open(true);
    EXPECT_TRUE(CanRenameEntry(state, IndexOf(state, "Fixtures")));
    EXPECT_FALSE(CanRenameEntry(state, IndexOf(state, "BRACKET")));
    EXPECT_FALSE(CanRenameEntry(state, IndexOf(state, "OLD.DMS")));
    EXPECT_FALSE(CanRenameEntry(state, -1));

    struct Case {
        const char* newText;
        RenameOutcome outcome;
        const char* message;  // the start of the message after 125110; nullptr: none
    };
    const Case cases[] = {
        {"Fixtures", RenameOutcome::Unchanged, nullptr},
        {"", RenameOutcome::Unchanged, nullptr},
        {"BRACKET", RenameOutcome::Failed, "The folder BRACKET already exists."},
        {"a/b", RenameOutcome::Failed, "A folder name cannot"},
        {"..", RenameOutcome::Failed, "A folder name cannot"},
        {"Jigs", RenameOutcome::Renamed, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.newText);
        messages_.clear();
        EXPECT_EQ(RenameEntry(state, IndexOf(state, "Fixtures"), c.newText), c.outcome);
        if (c.message == nullptr) {
            EXPECT_TRUE(messages_.empty());
            continue;
        }
        ASSERT_EQ(messages_.size(), 1u);
        EXPECT_EQ(messages_[0].text.rfind(
                      "The folder could not be renamed.  " + std::string(c.message), 0),
                  0u)
            << messages_[0].text;
        EXPECT_EQ(messages_[0].style, vbInformation);
        EXPECT_EQ(messages_[0].title, GetResString(110089));
        EXPECT_TRUE(fs::is_directory(root_ / "Fixtures"));
    }
    EXPECT_TRUE(fs::is_directory(root_ / "Jigs" / "Clamps"));
    EXPECT_FALSE(fs::exists(root_ / "Fixtures"));
    RefreshList(state);
    EXPECT_GE(IndexOf(state, "Jigs"), 0);

    // A folder renamed away meanwhile: the part manager's reason is shown.
    fs::rename(root_ / "Jigs", root_ / "Elsewhere");
    messages_.clear();
    EXPECT_EQ(RenameEntry(state, IndexOf(state, "Jigs"), "Again"), RenameOutcome::Failed);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_FALSE(fs::exists(root_ / "Again"));
}

TEST_F(PartSelectLogicTest, ColumnClicksToggleTheOrderAndItHolds) {
    PartSelectState state = Open(true);
    const auto texts = [&] { return Listed(state); };
    ClickColumn(state, 0);  // the first click sorts descending
    EXPECT_EQ(texts(),
              (std::vector<std::string>{"D OLD.DMS", "F Fixtures", "P COVER", "P BRACKET"}));
    ClickColumn(state, 0);
    EXPECT_EQ(texts(),
              (std::vector<std::string>{"P BRACKET", "P COVER", "F Fixtures", "D OLD.DMS"}));
    RefreshList(state);  // the order holds for the next rebuild
    EXPECT_EQ(texts().front(), "P BRACKET");
    ClickColumn(state, 0);
    RefreshList(state);
    EXPECT_EQ(texts().front(), "D OLD.DMS");
}

TEST_F(PartSelectLogicTest, DriveChoice) {
    MakeFolder("Fixtures/Clamps/Small");
    PartSelectState state = Open(true);
    ClickEntry(state, IndexOf(state, "Fixtures"));
    PressOk(state);
    ApplyDriveChoice(state, "");
    EXPECT_EQ(state.HostDirectory, Root() + "/Fixtures");
    ApplyDriveChoice(state, (root_ / "Fixtures" / "Clamps").string());
    EXPECT_EQ(state.FolderStack.size(), 1u);
    EXPECT_EQ(state.HostDirectory, Root() + "/Fixtures/Clamps");
    EXPECT_EQ(state.SelectedKey, Root() + "/Fixtures/Clamps");
    EXPECT_EQ(state.StackLines, std::vector<std::string>{Root() + "/Fixtures/Clamps"});
    ApplyDriveChoice(state, "*");
    EXPECT_EQ(state.HostDirectory, Root());
    EXPECT_EQ(state.StackLines, std::vector<std::string>{"Top level"});

    ApplyDriveChoice(state, (root_ / "nowhere").string());
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_TRUE(state.FolderStack.empty());
    EXPECT_TRUE(state.Items.empty());
    EXPECT_FALSE(state.UpOneEnabled);
}

TEST(DriveSelectRules, OptionsAndResults) {
    struct Case {
        const char* name;
        std::vector<std::pair<char, int>> actions;  // 'o' option, 'd' drive change, 'c' cancel
        std::string result;
        bool listEnabled;
    };
    const Case cases[] = {
        {"untouched", {}, "*", false},
        {"a drive", {{'o', 1}}, "/", true},
        {"a drive, then another", {{'o', 1}, {'d', 2}}, "/mnt/b", true},
        {"a drive, then the repository", {{'o', 1}, {'o', 0}}, "*", false},
        {"list changed while disabled", {{'d', 1}}, "*", false},
        {"list changed, then a drive", {{'d', 1}, {'o', 1}}, "/media/a", true},
        {"cancelled", {{'o', 1}, {'c', 0}}, "", true},
        {"another index", {{'o', 5}}, "*", false},
        {"no such drive", {{'o', 1}, {'d', 9}}, "/", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DriveSelectState state;
        state.Drives = {{"/", ""}, {"/media/a", "A"}, {"/mnt/b", ""}};
        LoadDriveSelect(state);
        for (const auto& [action, index] : c.actions) {
            if (action == 'o') {
                ChooseDriveOption(state, index);
            } else if (action == 'd') {
                ChangeDrive(state, index);
            } else {
                CancelDriveSelect(state);
            }
        }
        EXPECT_EQ(state.Result, c.result);
        EXPECT_EQ(state.DriveListEnabled, c.listEnabled);
    }
}

TEST(DriveSelectRules, WhichMountsAreDrives) {
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"/", "ext4", true},
        {"/", "overlay", true},
        {"/media/usb", "vfat", true},
        {"/mnt/share", "nfs4", true},
        {"/home", "btrfs", true},
        {"/proc", "proc", false},
        {"/sys/fs/cgroup", "cgroup2", false},
        {"/dev/shm", "tmpfs", false},
        {"/run/user/1000", "tmpfs", false},
        {"/snap/core/1", "squashfs", false},
        {"/boot/efi", "vfat", false},
        {"/devices", "ext4", true},
        {"/dev", "devtmpfs", false},
        {"/var/lib/docker/x", "overlay", false},
    };
    for (const auto& [root, type, drive] : cases) {
        EXPECT_EQ(IsUserDrive(root, type), drive) << root << " " << type;
    }
    std::vector<Drive> drives = {{"/mnt/b", ""}, {"/", ""}, {"/media/a", "A"}};
    SortDrives(drives);
    EXPECT_EQ(drives[0].RootPath, "/");
    EXPECT_EQ(drives[1].RootPath, "/media/a");
    EXPECT_EQ(DriveLine(drives[1]), "/media/a  [A]");
    EXPECT_EQ(DriveLine(drives[0]), "/");
}

}  // namespace
}  // namespace vantreel::test
