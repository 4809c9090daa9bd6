#include "common/FileKinds.h"
#include "common/TestRegistry.h"

#include "shared/AtomicFile.h"
#include "shared/IniFile.h"
#include "shared/InputFile.h"
#include "shared/RegFile.h"

#include <gtest/gtest.h>

#include <fcntl.h>

#include <functional>

namespace vantreel::test {
namespace {

// A writer of the shared services: it writes path and says whether it refused.
struct Writer {
    const char* name;
    std::string before;  // what a regular file at the target holds first
    std::function<std::string(bool created)> expected;
    std::function<bool(const std::string& path)> write;  // true when refused
};

class FileTargetTest : public RegistryTest {};

TEST_F(FileTargetTest, EveryWriterReplacesOnlyARegularFileAndWritesThroughLinks) {
    Set("Station", "Name", "Bridge");
    RegFile regFile(store_);
    const RegKeyId key =
        *Store().FindKey(RegistryStore::Root(RegHive::LocalMachine), "SOFTWARE\\Korvessa\\Station");
    const std::string exported = regFile.ExportBytes(key);
    const Writer writers[] = {
        {"AtomicFile", "old", [](bool) { return std::string("new"); },
         [](const std::string& path) {
             return ErrorNumber([&] { AtomicFile::WriteFile(path, "new"); }) != 0;
         }},
        {"WriteIniString", "[S]\nK=old\n",
         [](bool created) { return std::string(created ? "[S]\r\nK=new\r\n" : "[S]\nK=new\n"); },
         [](const std::string& path) { return WriteIniString(path, "S", "K", "new") == 0; }},
        {"RegFile::Export", "old", [&](bool) { return exported; },
         [&](const std::string& path) {
             return ErrorNumber([&] { regFile.Export(key, path); }) != 0;
         }},
    };
    for (const Writer& writer : writers) {
        for (const FileKind kind : kAllFileKinds) {
            TempDirectory folder;
            const std::string path = folder.File("target");
            if (!MakeFileKind(path, kind, writer.before)) {
                continue;  // a device node needs a right the tests may not have
            }
            const int entries = CountEntries(folder.Path());
            const bool refused = writer.write(path);
            const bool created = kind == FileKind::None || kind == FileKind::DanglingLink;
            ExpectWrittenOrRefused(path, kind, refused, writer.expected(created), entries,
                                   writer.name);
        }
    }
}

TEST(AtomicFile, RefusalNamesTheTargetAndWhatStandsThere) {
    TempDirectory folder;
    const std::string path = folder.File("fifo");
    ASSERT_TRUE(MakeFileKind(path, FileKind::Fifo));
    std::string description;
    EXPECT_EQ(ErrorNumber([&] { AtomicFile::WriteFile(path, "x"); }, &description), 75);
    EXPECT_EQ(description, path + " cannot be written: it is a FIFO, not a regular file");
    EXPECT_EQ(ErrorNumber([&] {
                  AtomicFile::WriteFile(folder.Path().string(), "x", RunTimeError::FileNotWritten,
                                        "RegFile");
              }),
              5005);
}

TEST(AtomicFile, KeepsModeAndLeavesTheTargetUntilCommit) {
    TempDirectory folder;
    const std::string path = folder.File("kept.ini");
    std::ofstream(path) << "old";
    chmod(path.c_str(), 0640);
    {
        AtomicFile file(path);
        file.Write("new");
        EXPECT_EQ(ContentsOf(path), "old");
        EXPECT_EQ(CountEntries(folder.Path()), 2);  // the target and the temporary file
        EXPECT_TRUE(AtomicFile::IsTemporaryName(
            std::filesystem::path(file.TemporaryPath()).filename().string()));
        file.Commit();
    }
    EXPECT_EQ(ContentsOf(path), "new");
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    {
        AtomicFile abandoned(path);
        abandoned.Write("lost");
    }
    EXPECT_EQ(ContentsOf(path), "new");
    EXPECT_EQ(CountEntries(folder.Path()), 1);
}

TEST(AtomicFile, TheLongestNameTheFileSystemTakesCanBeWritten) {
    TempDirectory folder;
    const std::string path = folder.File(std::string(255, 'n'));
    AtomicFile::WriteFile(path, "x");
    EXPECT_EQ(ContentsOf(path), "x");
    EXPECT_EQ(CountEntries(folder.Path()), 1);
}

TEST(AtomicFile, TemporaryNames) {
    const std::pair<const char*, bool> cases[] = {
        {".vantreel-0a1b2c3d.tmp", true}, {".vantreel-.tmp", false},   {"vantreel-1.tmp", false},
        {".vantreel-1.tmp.bas", false},   {"ModMain.bas.part", false},
    };
    for (const auto& [name, temporary] : cases) {
        EXPECT_EQ(AtomicFile::IsTemporaryName(name), temporary) << name;
    }
}

TEST(InputFile, OnlyARegularFileWithinItsLimitIsRead) {
    TempDirectory folder;
    struct Case {
        FileKind kind;
        std::string text;
        std::string problem;  // "" when the file is read
    };
    const Case cases[] = {
        {FileKind::Regular, "0123456789", ""},
        {FileKind::LinkToRegular, "0123456789", ""},
        {FileKind::Regular, "0123456789A", "it holds 11 bytes, more than the 10 bytes"},
        {FileKind::None, "", "the file could not be opened (No such file or directory)"},
        {FileKind::Directory, "", "it is a directory, not a regular file"},
        {FileKind::Fifo, "", "it is a FIFO, not a regular file"},  // must not block
        {FileKind::LinkToFifo, "", "it is a FIFO, not a regular file"},
        {FileKind::Device, "", "it is a character device, not a regular file"},
    };
    int index = 0;
    for (const Case& c : cases) {
        const std::string path = folder.File("input" + std::to_string(index++));
        if (!MakeFileKind(path, c.kind, c.text)) {
            continue;
        }
        std::string read;
        std::string description;
        const int number =
            ErrorNumber([&] { read = ReadInputFile(path, 10, RunTimeError::FileNotRead, "test"); },
                        &description);
        SCOPED_TRACE(FileKindLabel(c.kind));
        if (c.problem.empty()) {
            EXPECT_EQ(number, 0) << description;
            EXPECT_EQ(read, c.text);
        } else {
            EXPECT_EQ(number, 5004);
            EXPECT_TRUE(description.starts_with(c.problem)) << description;
        }
    }
}

TEST_F(FileTargetTest, RegImportRefusesWhatIsNotARegularFile) {
    TempDirectory folder;
    const std::string fifo = folder.File("station.reg");
    ASSERT_TRUE(MakeFileKind(fifo, FileKind::Fifo));
    std::string description;
    EXPECT_EQ(ErrorNumber([&] { RegFile(store_).Import(fifo); }, &description), 5004);
    EXPECT_EQ(description, fifo + " cannot be read: it is a FIFO, not a regular file");

    // A sparse file past the limit is refused by its size, not read.
    const std::string huge = folder.File("huge.reg");
    { std::ofstream(huge) << "x"; }
    ASSERT_EQ(truncate(huge.c_str(), static_cast<off_t>(kMaxRegFileBytes + 1)), 0);
    EXPECT_EQ(ErrorNumber([&] { RegFile(store_).Import(huge); }, &description), 5004);
    EXPECT_NE(description.find("more than the 64 MiB"), std::string::npos) << description;
}

TEST(RegFileImport, AStoreThatCannotBeOpenedIsNotBlamedOnALine) {
    TempDirectory folder;
    // A directory where the database should be: the store cannot open it.
    auto store = std::make_shared<RegistryStore>(folder.Path().string());
    std::string description;
    const int number = ErrorNumber(
        [&] {
            RegFile(store).ImportBytes(
                "Windows Registry Editor Version 5.00\r\n\r\n"
                "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Korvessa\\X]\r\n\"a\"=\"b\"\r\n",
                "station.reg");
        },
        &description);
    EXPECT_EQ(number, 5003);
    EXPECT_TRUE(description.starts_with("station.reg cannot be imported: ")) << description;
    EXPECT_EQ(description.find("line 0"), std::string::npos) << description;
}

}  // namespace
}  // namespace vantreel::test
