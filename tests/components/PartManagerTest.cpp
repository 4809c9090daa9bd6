#include "common/Files.h"
#include "common/TestRegistry.h"
#include "components/ComponentFactory.h"
#include "components/FileSystemPart.h"
#include "shared/IniFile.h"
#include "shared/RegEntry.h"
#include "shared/StagingDirectory.h"
#include "vantreel/Error.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <filesystem>
#include <fstream>

namespace vantreel::test {
namespace {

namespace fs = std::filesystem;

// A repository on a temporary directory, configured as the station's root.
class PartManagerTest : public RegistryTest {
  protected:
    void SetUp() override {
        RegistryTest::SetUp();
        root_ = directory_.Path() / "repository";
        fs::create_directories(root_);
        Set("Common", "RepositoryRoot", root_.string());
    }

    fs::path root_;
};

TEST_F(PartManagerTest, CreateProjectMakesAVisualBasicProjectAndPicksFreeNames) {
    std::unique_ptr<Part> part = CreatePart();
    std::string name = "OLD";
    part->CreateProject(0, root_.string(), name, true);
    EXPECT_EQ(name, "OLD");
    EXPECT_EQ(part->FullPath(), (root_ / "OLD").string());
    EXPECT_EQ(ReadFile(root_ / "OLD" / "OLD.vbp"),
              "Type=Exe\r\nModule=modMain; ModMain.bas\r\nModule=modSupport; ModSupport.bas\r\n"
              "Startup=\"Sub Main\"\r\nTitle=\"OLD\"\r\nExeName32=\"OLD.exe\"\r\nName=\"OLD\"\r\n");
    EXPECT_EQ(ReadIniString(part->informationfile(), "Part", "Name"), "OLD");
    EXPECT_FALSE(part->HasSource());  // no modules yet
    EXPECT_FALSE(part->HasExecutable());

    for (const char* expected : {"OLD_2", "OLD_3"}) {
        std::string again = "OLD";
        CreatePart()->CreateProject(0, root_.string(), again, true);
        EXPECT_EQ(again, expected);
    }
    std::string bad = "a/b";
    EXPECT_EQ(ErrorNumber([&] { part->CreateProject(0, root_.string(), bad, true); }), 52);
    std::string description;
    std::string name2 = "NEW";
    EXPECT_EQ(ErrorNumber([&] { part->CreateProject(0, (root_ / "none").string(), name2, true); },
                          &description),
              76);
    EXPECT_NE(description.find((root_ / "none").string()), std::string::npos);
}

TEST_F(PartManagerTest, OpenedPartAnswersEveryQuestion) {
    std::string name = "P1";
    CreatePart()->CreateProject(0, root_.string(), name, true);
    const fs::path directory = root_ / "P1";
    std::ofstream(directory / "ModMain.bas") << "Sub Main()  \nStartup\t\n";
    std::ofstream(directory / "ModSupport.bas") << "Option Explicit";
    std::unique_ptr<Part> part = CreatePart();
    std::string path = directory.string() + "/";
    part->OpenProject(path);
    EXPECT_EQ(part->PartName(), "P1");
    EXPECT_EQ(part->ProjectFile(), "P1");
    EXPECT_EQ(part->FullPath(), directory.string());
    EXPECT_TRUE(part->HasSource());
    EXPECT_FALSE(part->IsLorimet());
    WriteIniString(part->informationfile(), "Part", "Lorimet", "true");
    EXPECT_TRUE(part->IsLorimet());
    std::ofstream(directory / "P1.exe") << "x";
    EXPECT_TRUE(part->HasExecutable());
    EXPECT_GT(part->PartDate(), 40000.0);

    part->RePaginateCode();
    EXPECT_EQ(ReadFile(directory / "ModMain.bas"),
              "Attribute VB_NAME = \"modMain\"\r\nSub Main()\r\nStartup\r\n");
    EXPECT_EQ(ReadFile(directory / "ModSupport.bas"),
              "Attribute VB_NAME = \"modSupport\"\r\nOption Explicit\r\n");
    part->RePaginateCode();  // a second time changes nothing
    EXPECT_EQ(ReadFile(directory / "ModMain.bas"),
              "Attribute VB_NAME = \"modMain\"\r\nSub Main()\r\nStartup\r\n");

    std::ofstream(directory / "P1.vbp", std::ios::trunc) << "Type=Exe\nReference=*\\G{000}\n";
    part->UpgradeProject();
    const std::string project = ReadFile(directory / "P1.vbp");
    EXPECT_NE(project.find("Reference=*\\G{000}\r\n"), std::string::npos);
    EXPECT_NE(project.find("Startup=\"Sub Main\"\r\n"), std::string::npos);
    EXPECT_NE(project.find("Module=modSupport; ModSupport.bas\r\n"), std::string::npos);

    std::string missing = (root_ / "nothing").string();
    std::string description;
    EXPECT_EQ(ErrorNumber([&] { part->OpenProject(missing); }, &description), 53);
    EXPECT_NE(description.find(missing), std::string::npos);
    fs::remove(directory / "ModMain.bas");
    EXPECT_EQ(ErrorNumber([&] { part->RePaginateCode(); }), 53);
    // A module that cannot be read (here a directory in its place) is named in the error.
    fs::create_directory(directory / "ModMain.bas");
    EXPECT_EQ(ErrorNumber([&] { part->RePaginateCode(); }, &description), 53);
    EXPECT_NE(description.find((directory / "ModMain.bas").string()), std::string::npos);
    // Nor a FIFO in its place: refused without waiting for a writer.
    fs::remove(directory / "ModMain.bas");
    ASSERT_EQ(mkfifo((directory / "ModMain.bas").c_str(), 0600), 0);
    EXPECT_EQ(ErrorNumber([&] { part->RePaginateCode(); }, &description), 53);
    EXPECT_NE(description.find((directory / "ModMain.bas").string()), std::string::npos);
}

TEST_F(PartManagerTest, AdditionalFiles) {
    std::string name = "P2";
    std::unique_ptr<Part> part = CreatePart();
    part->CreateProject(0, root_.string(), name, true);
    EXPECT_EQ(part->AdditionalFilesCount(), 0);
    for (const char* file : {"/a.txt", "/b.txt", "/c.txt"}) {
        part->AdditionalFileAdd(file);
    }
    EXPECT_EQ(part->AdditionalFilesCount(), 3);
    part->AdditionalFileRemove(2);
    EXPECT_EQ(part->AdditionalFilesCount(), 2);
    EXPECT_EQ(part->AdditionalFiles(1), "/a.txt");
    EXPECT_EQ(part->AdditionalFiles(2), "/c.txt");
    EXPECT_EQ(ErrorNumber([&] { (void)part->AdditionalFiles(3); }), 9);
    EXPECT_EQ(ErrorNumber([&] { part->AdditionalFileRemove(0); }), 9);
}

TEST_F(PartManagerTest, FoldersListFoldersPartsAndFiles) {
    fs::create_directories(root_ / "Plates" / "Deep");
    std::string name = "HOUSING";
    CreatePart()->CreateProject(0, (root_ / "Plates").string(), name, true);
    std::ofstream(root_ / "Plates" / "OLD.DMS") << "ENDFIL\n";
    std::unique_ptr<PartFolder> folder = CreatePartFolder();
    folder->OpenFolder("");
    EXPECT_EQ(folder->FullPath(), root_.string());
    EXPECT_EQ(folder->ShortName(), "");
    KeyedCollection<PartFolder> folders;
    folder->GetFolders(folders, false);
    ASSERT_EQ(folders.Count(), 1);
    EXPECT_EQ(folders.Item(1)->ShortName(), "Plates");
    EXPECT_NE(folders.Find((root_ / "Plates").string()), nullptr);

    folder->OpenFolder((root_ / "Plates").string());
    KeyedCollection<PartFolder> subFolders;
    KeyedCollection<Part> parts;
    KeyedCollection<PlainFile> files;
    folder->GetFolders(subFolders, false);
    folder->GetParts(parts, false);
    folder->GetFiles(files, false);
    ASSERT_EQ(subFolders.Count(), 1);
    EXPECT_EQ(subFolders.Item(1)->ShortName(), "Deep");
    ASSERT_EQ(parts.Count(), 1);
    EXPECT_EQ(parts.Item(1)->PartName(), "HOUSING");
    ASSERT_EQ(files.Count(), 1);
    EXPECT_EQ(files.Item(1)->ShortName(), "OLD.DMS");

    EXPECT_TRUE(folder->ContainsPart("HOUSING"));
    EXPECT_TRUE(folder->ContainsPart("housing"));
    EXPECT_FALSE(folder->ContainsPart("PLATE"));

    folder->CreateFolder(root_.string(), "New");
    EXPECT_EQ(folder->FullPath(), (root_ / "New").string());
    EXPECT_EQ(ErrorNumber([&] { folder->CreateFolder(root_.string(), "New"); }), 58);
    folder->RenameFolder((root_ / "Renamed").string());
    EXPECT_TRUE(fs::is_directory(root_ / "Renamed"));
    EXPECT_FALSE(fs::exists(root_ / "New"));
    EXPECT_EQ(ErrorNumber([&] { folder->RenameFolder((root_ / "Plates").string()); }), 58);
    EXPECT_EQ(ErrorNumber([&] { folder->OpenFolder((root_ / "none").string()); }), 76);
}

TEST_F(PartManagerTest, VanishedFolderGivesClearError) {
    fs::create_directories(root_ / "Gone");
    std::unique_ptr<PartFolder> folder = CreatePartFolder();
    folder->OpenFolder((root_ / "Gone").string());
    fs::remove(root_ / "Gone");
    KeyedCollection<PlainFile> files;
    std::string description;
    EXPECT_EQ(ErrorNumber([&] { folder->GetFiles(files, false); }, &description), 75);
    EXPECT_NE(description.find((root_ / "Gone").string()), std::string::npos);
}

TEST_F(PartManagerTest, FactoryByProgId) {
    EXPECT_EQ(ErrorNumber([] { (void)CreatePart("Unknown.Part"); }), 429);
    std::string title;
    std::vector<std::string> parts;
    EXPECT_FALSE(CreatePartExport()->BrowseProjects("/x.zip", title, title, title, title, parts));
    int made = 0;
    RegisterPart("Test.Part", [&] {
        ++made;
        return std::make_unique<FileSystemPart>();
    });
    EXPECT_NE(CreatePart("Test.Part"), nullptr);
    EXPECT_EQ(made, 1);
}

TEST_F(PartManagerTest, NamesWindowsRefusesAreRefusedBeforeAnythingIsMade) {
    const std::string refused[] = {
        "\\evil",
        "..\\..\\x",
        "a\"b",
        "CON",
        "com1.txt",
        "x.",
        "X\n[AdditionalFiles]\nFile1=..",
        std::string(252, 'n'),  // with ".vbp" longer than a file name may be
    };
    for (const std::string& name : refused) {
        std::string given = name;
        std::string description;
        EXPECT_EQ(ErrorNumber([&] { CreatePart()->CreateProject(0, root_.string(), given, true); },
                              &description),
                  52)
            << name;
        EXPECT_NE(description.find("cannot name a part: "), std::string::npos) << description;
        EXPECT_TRUE(fs::is_empty(root_)) << name;
    }
    // The longest name that leaves room for <name>.vbp, and names Windows takes.
    for (const std::string& name :
         {std::string(251, 'n'), std::string(".hidden"), std::string("O'Neil; $x")}) {
        std::string given = name;
        std::unique_ptr<Part> part = CreatePart();
        part->CreateProject(0, root_.string(), given, true);
        EXPECT_EQ(given, name);
        EXPECT_TRUE(fs::exists(root_ / name / (name + ".vbp")));
        EXPECT_EQ(part->PartName(), name);
    }
    // Taken, and no room left for the number.
    std::string taken(251, 'n');
    EXPECT_EQ(ErrorNumber([&] { CreatePart()->CreateProject(0, root_.string(), taken, true); }),
              52);
    std::string folderName = "LPT1";
    EXPECT_EQ(ErrorNumber([&] { CreatePartFolder()->CreateFolder(root_.string(), folderName); }),
              52);
}

TEST_F(PartManagerTest, LeftoversOfAnInterruptedWriterAreNeverListedAndAreCleanedUp) {
    std::string name = "DONE";
    CreatePart()->CreateProject(0, root_.string(), name, true);
    // A writer killed while it built a part leaves its working folder.
    const pid_t child = fork();
    if (child == 0) {
        StagingDirectory staging(root_.string());
        std::string inner = "HALF";
        FileSystemPart part;
        part.CreateProject(0, staging.Path(), inner, true);
        std::ofstream(fs::path(part.FullPath()) / "ModMain.bas") << "Sub Main()\r\n";
        kill(getpid(), SIGKILL);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    // A writer still at work holds its folder.
    StagingDirectory working(root_.string());
    std::ofstream(root_ / ".vantreel-0badf00d.tmp") << "a file left by an interrupted writer";

    std::unique_ptr<PartFolder> folder = CreatePartFolder();
    folder->OpenFolder("");
    KeyedCollection<Part> parts;
    folder->GetParts(parts, false);
    ASSERT_EQ(parts.Count(), 1);
    EXPECT_EQ(parts.Item(1)->PartName(), "DONE");
    KeyedCollection<PartFolder> folders;
    folder->GetFolders(folders, false);
    EXPECT_EQ(folders.Count(), 0);
    KeyedCollection<PlainFile> files;
    folder->GetFiles(files, false);
    EXPECT_EQ(files.Count(), 0);
    EXPECT_FALSE(folder->ContainsPart("HALF"));

    EXPECT_EQ(StagingDirectory::CleanLeftovers(root_.string()), 1);  // only the dead writer's
    EXPECT_TRUE(fs::is_directory(working.Path()));
    EXPECT_EQ(FilesIn(root_).size(), 3u);  // DONE, the living writer's folder, the stray file
}

}  // namespace
}  // namespace vantreel::test
