#include "common/ChildProcesses.h"
#include "common/Files.h"
#include "common/TestRegistry.h"

#include "shared/IniFile.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <stdexcept>

namespace vantreel::test {
namespace {

// As a Windows station writes a part's information file.
const std::string kWindowsFile =
    "; part information\r\n"
    "[General]\r\n"
    "  Name =  Housing 12  \r\n"
    "Quoted=\"  spaced  \"\r\n"
    "Single='x'\r\n"
    "Unbalanced=\"x\r\n"
    "Empty=\r\n"
    "Twice=first\r\n"
    "Twice=second\r\n"
    ";Hidden=commented\r\n"
    "\r\n"
    "[ Report ]\r\n"
    "Printer=PDF\r\n"
    "[general]\r\n"
    "Later=in a duplicate section\r\n";

TEST(ReadIniString, WindowsSemantics) {
    TempDirectory directory;
    const std::string file = directory.File("part.pif");
    WriteFile(file, kWindowsFile);
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"General", "Name", "Housing 12"},
        {"GENERAL", "name", "Housing 12"},
        {" General ", " Name ", "Housing 12"},
        {"General", "Quoted", "  spaced  "},
        {"General", "Single", "x"},
        {"General", "Unbalanced", "\"x"},
        {"General", "Empty", ""},
        {"General", "Twice", "first"},
        {"General", "Hidden", ""},
        {"General", ";Hidden", ""},
        {"Report", "Printer", "PDF"},
        {"General", "Later", ""},
        {"Missing", "Name", ""},
        {"General", "Missing", ""},
    };
    for (const auto& [section, key, value] : cases) {
        EXPECT_EQ(ReadIniString(file, section, key), value) << section << "/" << key;
    }
    EXPECT_EQ(ReadIniString(directory.File("none.pif"), "General", "Name"), "");
}

TEST(ReadIniString, SkipsAUtf8ByteOrderMark) {
    TempDirectory directory;
    const std::string file = directory.File("notepad.ini");
    WriteFile(file,
              "\xEF\xBB\xBF[General]\r\nName=Gr\xC3\xBC\xC3\x9F"
              "e\r\n[Other]\r\nX=1\r\n");
    EXPECT_EQ(ReadIniString(file, "General", "Name"),
              "Gr\xC3\xBC\xC3\x9F"
              "e");
    EXPECT_EQ(ReadIniString(file, "Other", "X"), "1");
    // A mark anywhere else is text of its line.
    WriteFile(file, "[General]\r\n\xEF\xBB\xBFName=1\r\n");
    EXPECT_EQ(ReadIniString(file, "General", "Name"), "");
}

TEST(ReadIniString, LongValuesAreCut) {
    TempDirectory directory;
    const std::string file = directory.File("long.ini");
    WriteFile(file, "[S]\nK=" + std::string(5000, 'v') + "\n");
    EXPECT_EQ(ReadIniString(file, "S", "K").size(), 4095u);
}

struct WriteCase {
    const char* name;
    std::string before;
    const char* section;
    const char* key;
    const char* value;
    std::string after;
};

TEST(WriteIniString, ChangesOneKeyAndKeepsTheRest) {
    const WriteCase cases[] = {
        {"replaces the first of duplicates, keeps CRLF and the line's spelling",
         "[A]\r\nK = 1\r\nk=2\r\n; note\r\n", "a", "k", "3", "[A]\r\nK=3\r\nk=2\r\n; note\r\n"},
        {"keeps the spelling of the key it replaces", "[Part]\r\nPartName=old\r\n", "PART",
         "PARTNAME", "new", "[Part]\r\nPartName=new\r\n"},
        {"keeps a byte order mark and finds the first section behind it",
         "\xEF\xBB\xBF[General]\r\nName=old\r\n", "General", "Name", "new",
         "\xEF\xBB\xBF[General]\r\nName=new\r\n"},
        {"adds to the first section behind a byte order mark", "\xEF\xBB\xBF[General]\nA=1\n",
         "general", "B", "2", "\xEF\xBB\xBF[General]\nA=1\nB=2\n"},
        {"adds a key after the section's last line", "[A]\nX=1\n\n[B]\nY=2\n", "A", "New", "v",
         "[A]\nX=1\nNew=v\n\n[B]\nY=2\n"},
        {"adds a missing section at the end", "[A]\nX=1\n", "B", "K", "v", "[A]\nX=1\n[B]\nK=v\n"},
        {"keeps comments and odd spacing", "  [ A ]  \n;c\n  X  =  1  \n", "A", "Y", "2",
         "  [ A ]  \n;c\n  X  =  1  \nY=2\n"},
        {"creates a file with Windows line ends", "", "Part", "Name", "P1",
         "[Part]\r\nName=P1\r\n"},
        {"adds to a file without a final line end", "[A]\nX=1", "A", "Y", "2", "[A]\nX=1\nY=2\n"},
    };
    TempDirectory directory;
    for (const WriteCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = directory.File("case.ini");
        std::remove(file.c_str());
        if (!c.before.empty()) {
            WriteFile(file, c.before);
        }
        EXPECT_NE(WriteIniString(file, c.section, c.key, c.value), 0);
        EXPECT_EQ(ReadFile(file), c.after);
        EXPECT_EQ(ReadIniString(file, c.section, c.key), c.value);
    }
}

TEST(WriteIniString, KeepsTheFileModeAndFailsCleanly) {
    TempDirectory directory;
    const std::string file = directory.File("mode.ini");
    WriteFile(file, "[A]\nX=1\n");
    chmod(file.c_str(), 0640);
    ASSERT_NE(WriteIniString(file, "A", "X", "2"), 0);
    struct stat info {};
    ASSERT_EQ(stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);

    EXPECT_EQ(WriteIniString(directory.File("missing/dir.ini"), "A", "X", "1"), 0);
    EXPECT_EQ(WriteIniString(file, "", "X", "1"), 0);
    EXPECT_EQ(FilesIn(directory.Path()).size(), 1u);  // no temporary file is left behind
}

TEST(ReadIniString, OnlyARegularFileWithinTheLimitIsRead) {
    TempDirectory directory;
    const std::string fifo = directory.File("pipe.ini");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string huge = directory.File("huge.ini");
    WriteFile(huge, "[A]\nX=1\n");
    ASSERT_EQ(truncate(huge.c_str(), 16 * 1024 * 1024 + 1), 0);
    const std::string small = directory.File("small.ini");
    WriteFile(small, "[A]\nX=1\n");
    const struct {
        std::string file;
        std::string value;
    } cases[] = {
        {small, "1"},      {fifo, ""},  // must not block
        {"/dev/zero", ""}, {directory.Path().string(), ""},
        {huge, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadIniString(c.file, "A", "X"), c.value) << c.file;
    }
    // A file beyond the limit is not rewritten either.
    EXPECT_EQ(WriteIniString(huge, "A", "X", "2"), 0);
    struct stat info {};
    ASSERT_EQ(stat(huge.c_str(), &info), 0);
    EXPECT_EQ(info.st_size, 16 * 1024 * 1024 + 1);
}

TEST(WriteIniString, RefusesLineBreaksAndWritesNothing) {
    using namespace std::string_literals;
    struct Case {
        const char* what;
        std::string section;
        std::string key;
        std::string value;
    };
    const Case cases[] = {
        {"a line feed in the value", "Part", "Name", "X\n[AdditionalFiles]\nFile1=..\\..\\secret"},
        {"a carriage return in the value", "Part", "Name", "X\rY"},
        {"a NUL in the value", "Part", "Name", "X\0Y"s},
        {"a line feed in the key", "Part", "Name\nFile1", "x"},
        {"a carriage return in the key", "Part", "Name\r", "x"},
        {"a line feed in the section", "Part]\n[AdditionalFiles", "File1", "x"},
        {"a NUL in the section", "Part\0"s, "Name", "x"},
    };
    TempDirectory directory;
    const std::string existing = directory.File("existing.ini");
    const std::string before = "[Part]\r\nName=P1\r\n";
    WriteFile(existing, before);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(WriteIniString(existing, c.section, c.key, c.value), 0);
        EXPECT_EQ(ReadFile(existing), before);
        const std::string fresh = directory.File("fresh.ini");
        EXPECT_EQ(WriteIniString(fresh, c.section, c.key, c.value), 0);
        EXPECT_FALSE(std::filesystem::exists(fresh));
    }
}

TEST(FitsOnOneLine, LineBreaksAndNulDoNot) {
    using namespace std::string_literals;
    const std::pair<std::string, bool> cases[] = {
        {"", true},         {"Housing 12", true}, {"a=b;[c]", true}, {"tab\there", true},
        {"\xC3\xA4", true}, {"a\nb", false},      {"a\rb", false},   {"a\r\n", false},
        {"\n", false},      {"a\0b"s, false},
    };
    for (const auto& [text, fits] : cases) {
        EXPECT_EQ(FitsOnOneLine(text), fits) << text;
    }
}

// Eight processes write 200 keys each into one file at the same time, every
// one through a file description of its own; every write waits its turn and
// none is lost.
TEST(WriteIniString, ConcurrentWritersLoseNothing) {
    TempDirectory directory;
    const std::string file = directory.File("shared.ini");
    constexpr int kWriters = 8;
    constexpr int kKeys = 200;
    std::vector<std::function<void()>> writers;
    for (int child = 0; child < kWriters; ++child) {
        writers.push_back([&, child] {
            for (int i = 0; i < kKeys; ++i) {
                if (WriteIniString(file, "S" + std::to_string(child), "K" + std::to_string(i),
                                   std::to_string(i)) == 0) {
                    throw std::runtime_error("a write failed");
                }
            }
        });
    }
    RunInChildren(writers);
    for (int child = 0; child < kWriters; ++child) {
        for (int i = 0; i < kKeys; ++i) {
            EXPECT_EQ(ReadIniString(file, "S" + std::to_string(child), "K" + std::to_string(i)),
                      std::to_string(i));
        }
    }
}

// A write that fails as on a full disk (a file size limit in a child
// process) returns 0 and leaves the file as it was: still there with its
// keys, or still missing, never empty.
TEST(WriteIniString, AFailedWriteLeavesTheFileAsItWas) {
    struct Case {
        const char* name;
        const char* before;  // nullptr: no file
    };
    const Case cases[] = {{"missing file", nullptr}, {"existing file", "[A]\nX=1\n"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDirectory directory;
        const std::string file = directory.File("full.ini");
        if (c.before != nullptr) {
            WriteFile(file, c.before);
        }
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            signal(SIGXFSZ, SIG_IGN);
            const struct rlimit limit { 4, 4 };
            setrlimit(RLIMIT_FSIZE, &limit);
            _exit(WriteIniString(file, "Section", "Key", "a value longer than the limit"));
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << "the write should have failed";
        if (c.before == nullptr) {
            EXPECT_FALSE(std::filesystem::exists(file));
        } else {
            EXPECT_EQ(ReadFile(file), c.before);
        }
        EXPECT_EQ(FilesIn(directory.Path()).size(), c.before == nullptr ? 0u : 1u);  // no temporary
    }
}

}  // namespace
}  // namespace vantreel::test
