#include "common/ErrorNumber.h"
#include "components/ArchivePath.h"
#include "components/ExportManifest.h"
#include "components/FileSystemExport.h"
#include "components/LegacyList.h"
#include "exchange/PartFixture.h"
#include "shared/IniFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <deque>
#include <functional>

namespace vantreel::test {
namespace {

// ---- names inside archives and lists -------------------------------------

TEST(SafeRelativePath, RefusesEveryWayOut) {
    struct Case {
        const char* path;
        bool backslashes;
        const char* expected;  // "" = refused
    };
    const Case cases[] = {
        {"parts/A/x.bas", false, "parts/A/x.bas"},
        {"parts/A/sub/", false, "parts/A/sub"},
        {"sub\\file.bas", true, "sub/file.bas"},
        {"sub\\file.bas", false, ""},
        {"../evil", false, ""},
        {"parts/A/../../evil", false, ""},
        {"parts/./A", false, ""},
        {"..\\..\\evil", true, ""},
        {"/etc/passwd", false, ""},
        {"\\Windows\\evil", true, ""},
        {"C:/evil", false, ""},
        {"c:evil", true, ""},
        {"a//b", false, ""},
        {"", false, ""},
        {"a\x01z", false, ""},
        {"..", false, ""},
        {"a/..", false, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SafeRelativePath(c.path, c.backslashes), c.expected) << c.path;
    }
    EXPECT_EQ(SafeRelativePath(std::string(256, 'x'), false), "");
    EXPECT_EQ(SafeRelativePath(std::string(255, 'x'), false), std::string(255, 'x'));
    for (const char* name : {"", ".", "..", "a/b", "a\\b", "C:", "x:y"}) {
        EXPECT_FALSE(IsSafePartName(name)) << name;
    }
    EXPECT_TRUE(IsSafePartName("BRACKET 12"));
}

TEST(ExportManifest, RoundTripsAwkwardValues) {
    ExportManifest manifest;
    manifest.title = "Line 3\\fixtures";
    manifest.user = "anna: müller";
    manifest.date = "2026-12-06 14:35:07";
    manifest.comments = "first\r\nsecond\nthird\\n";
    manifest.fix = true;
    manifest.source = false;
    manifest.executable = true;
    manifest.parts = {{"A", {"Additional Files/a.pdf", "doc/b.txt"}}, {"B", {}}};
    const std::optional<ExportManifest> read = ParseManifest(WriteManifest(manifest));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->title, manifest.title);
    EXPECT_EQ(read->user, manifest.user);
    EXPECT_EQ(read->date, manifest.date);
    EXPECT_EQ(read->comments, manifest.comments);
    EXPECT_EQ(std::tuple(read->fix, read->source, read->executable), std::tuple(true, false, true));
    ASSERT_EQ(read->parts.size(), 2u);
    EXPECT_EQ(read->parts[0].additional, manifest.parts[0].additional);
    EXPECT_EQ(read->parts[1].name, "B");
}

TEST(ExportManifest, RefusesWhatItCannotTrust) {
    const std::string head = "Vantreel export 1\n";
    struct Case {
        std::string text;
        const char* reason;
    };
    const Case cases[] = {
        {"", "empty"},
        {"PK\x03\x04", "not an export manifest"},
        {"Vantreel export 2\n", "format version 2"},
        {"Vantreel export x\n", "not a number"},
        {head + "Part: A\nPart: A\n", "listed twice"},
        {head + "Part: ../A\n", "cannot name a part"},
        {head + "Part: A\nAdditional: A\t../../etc/passwd\n", "leaves its folder"},
        {head + "Part: A\nAdditional: B\tx\n", "outside its part"},
        {head + "Fix: yes\n", "neither 0 nor 1"},
        {head + "Title: a\\q\n", "bad escape"},
        {head + "Colour: red\n", "unknown key"},
        {head + "no colon\n", "Key: value"},
    };
    for (const Case& c : cases) {
        std::string reason;
        EXPECT_FALSE(ParseManifest(c.text, &reason)) << c.text;
        EXPECT_NE(reason.find(c.reason), std::string::npos) << c.text << " -> " << reason;
    }
}

// ---- export files ----------------------------------------------------------

class ArchiveTest : public PartsTest {
  protected:
    std::string Export(const std::vector<const Part*>& parts, bool fix = true, bool source = true,
                       bool executable = true) {
        const std::string file = (outside_ / "parts.zip").string();
        exporter_.ExportProjects(file, "Title", "anna", "two\nlines", parts, fix, source,
                                 executable);
        return file;
    }

    FileSystemExport exporter_;
};

TEST_F(ArchiveTest, ExportBrowseImportKeepsEveryByte) {
    const fs::path a = MakePart("BRACKET");
    const fs::path b = MakePart("HOUSING");
    WriteFile(a / "notes" / "inside.txt", "inside the part\n");
    WriteFile(outside_ / "one" / "drawing.pdf", Binary(5000, 1));
    WriteFile(outside_ / "two" / "drawing.pdf", Binary(6000, 2));
    auto partA = Open(a);
    partA->AdditionalFileAdd((outside_ / "one" / "drawing.pdf").string());
    partA->AdditionalFileAdd((a / "notes" / "inside.txt").string());
    partA->AdditionalFileAdd((outside_ / "two" / "drawing.pdf").string());
    auto partB = Open(b);
    const std::map<std::string, std::string> before = Tree(a);

    const std::string file = Export({partA.get(), partB.get()});
    std::string title, user, date, comments;
    std::vector<std::string> names{"stale"};
    ASSERT_TRUE(exporter_.BrowseProjects(file, title, user, date, comments, names));
    EXPECT_EQ(std::tie(title, user, comments),
              std::tie("Title", "anna", "two\nlines"));  // as given
    EXPECT_EQ(date.size(), 19u);
    EXPECT_EQ(names, (std::vector<std::string>{"BRACKET", "HOUSING"}));

    const fs::path target = directory_.Path() / "station2";
    fs::create_directories(target);
    exporter_.ImportProjects(file, names, target.string(), false);
    EXPECT_EQ(FilesIn(target), (std::vector<std::string>{"BRACKET", "HOUSING"}));

    std::map<std::string, std::string> after = Tree(target / "BRACKET");
    // Every file of the part came back unchanged; the information file only
    // names the extra files at their new places.
    for (const auto& [relative, bytes] : before) {
        if (relative != FileSystemPart::kInformationFile) {
            EXPECT_EQ(after[relative], bytes) << relative;
        }
    }
    EXPECT_EQ(after["Additional Files/drawing.pdf"], Binary(5000, 1));
    EXPECT_EQ(after["Additional Files/drawing (2).pdf"], Binary(6000, 2));
    EXPECT_EQ(Tree(target / "HOUSING"), Tree(b));
    auto imported = Open(target / "BRACKET");
    ASSERT_EQ(imported->AdditionalFilesCount(), 3);
    EXPECT_EQ(imported->AdditionalFiles(1),
              (target / "BRACKET" / "Additional Files" / "drawing.pdf").string());
    EXPECT_EQ(imported->AdditionalFiles(2), (target / "BRACKET" / "notes" / "inside.txt").string());
    EXPECT_EQ(ReadIniString(imported->informationfile(), "Part", "SerialNumber"), "SN-17");
    EXPECT_EQ(fs::status(target / "BRACKET" / "empty").type(), fs::file_type::directory);
    // No staging folder is left behind.
    EXPECT_EQ(FilesIn(outside_), (std::vector<std::string>{"one", "parts.zip", "two"}));
}

TEST_F(ArchiveTest, ChoicesSelectWhatTravels) {
    struct Case {
        bool fix, source, executable;
        bool hasFixture, hasModules, hasProgram;
    };
    const Case cases[] = {
        {true, true, true, true, true, true},       {false, true, true, false, true, true},
        {true, false, true, true, false, true},     {true, true, false, true, true, false},
        {false, false, false, false, false, false},
    };
    auto part = Open(MakePart("P"));
    int round = 0;
    for (const Case& c : cases) {
        const std::string file = Export({part.get()}, c.fix, c.source, c.executable);
        const fs::path target = directory_.Path() / ("t" + std::to_string(++round));
        fs::create_directories(target);
        exporter_.ImportProjects(file, {"P"}, target.string(), false);
        const fs::path p = target / "P";
        EXPECT_EQ(fs::exists(p / "Fixture" / "clamp.fix"), c.hasFixture) << round;
        EXPECT_EQ(fs::exists(p / "ModMain.bas"), c.hasModules) << round;
        EXPECT_EQ(fs::exists(p / "P.exe"), c.hasProgram) << round;
        // Always: the project, the information file, skip files, other data.
        for (const char* always : {"P.vbp", "partinfo.ini", "run.skp", "data/points.bin"}) {
            EXPECT_TRUE(fs::exists(p / always)) << round << " " << always;
        }
    }
}

TEST_F(ArchiveTest, TemplateImportLeavesProgramAndProtectionBehind) {
    auto part = Open(MakePart("P"));
    const std::string file = Export({part.get()});
    const fs::path target = directory_.Path() / "templates";
    fs::create_directories(target);
    exporter_.ImportProjects(file, {"P"}, target.string(), true);
    const std::string ini = (target / "P" / "partinfo.ini").string();
    EXPECT_FALSE(fs::exists(target / "P" / "P.exe"));
    EXPECT_TRUE(fs::exists(target / "P" / "ModMain.bas"));
    EXPECT_EQ(ReadIniString(ini, "Part", "WriteProtect"), "false");
    EXPECT_EQ(ReadIniString(ini, "Part", "SerialNumber"), "");
    EXPECT_EQ(ReadIniString(ini, "Part", "Template"), "true");
    EXPECT_EQ(ReadIniString(ini, "Report", "ReportFile"), "result");
}

TEST_F(ArchiveTest, ImportRefusalsChangeNothing) {
    auto part = Open(MakePart("P"));
    const std::string file = Export({part.get()});
    const fs::path target = directory_.Path() / "target";
    WriteFile(target / "P" / "mine.txt", "keep me");
    std::string description;
    EXPECT_EQ(ErrorNumber([&] { exporter_.ImportProjects(file, {"P"}, target.string(), false); },
                          &description),
              58);
    EXPECT_NE(description.find("already exists"), std::string::npos);
    EXPECT_EQ(Tree(target),
              (std::map<std::string, std::string>{{"P", "<folder>"}, {"P/mine.txt", "keep me"}}));
    EXPECT_EQ(ErrorNumber([&] { exporter_.ImportProjects(file, {"Q"}, target.string(), false); }),
              5);
    EXPECT_EQ(ErrorNumber([&] {
                  exporter_.ImportProjects(file, {"P"}, (target / "none").string(), false);
              }),
              76);
    exporter_.ImportProjects(file, {}, target.string(), false);  // nothing asked, nothing done
    EXPECT_EQ(Tree(target).size(), 2u);
}

TEST_F(ArchiveTest, AFailureInTheLastPartLeavesNoPartBehind) {
    auto a = Open(MakePart("A"));
    auto b = Open(MakePart("B"));
    const std::string file = Export({a.get(), b.get()});
    // Damage B's data: A is extracted completely before B fails.
    std::string bytes = ReadFile(file);
    const std::size_t at = bytes.find("parts/B/data/points.bin") + 23 + 20000;
    bytes[at] = static_cast<char>(bytes[at] ^ 0x5a);
    WriteFile(file, bytes);
    const fs::path target = directory_.Path() / "target";
    fs::create_directories(target);
    std::string description;
    EXPECT_EQ(ErrorNumber(
                  [&] {
                      exporter_.ImportProjects(file, {"A", "B"}, target.string(), false);
                  },
                  &description),
              321);
    EXPECT_NE(description.find("points.bin"), std::string::npos) << description;
    EXPECT_TRUE(fs::is_empty(target));
    exporter_.ImportProjects(file, {"A"}, target.string(), false);  // A alone is whole
    EXPECT_EQ(Tree(target / "A").size(), Tree(root_ / "A").size());
}

TEST_F(ArchiveTest, BrowseAnswersFalseForAnythingElse) {
    auto part = Open(MakePart("P"));
    const std::string good = Export({part.get()});
    const std::string bytes = ReadFile(good);
    WriteFile(outside_ / "text.txt", "P\r\nVisualBasic\r\nD:P.vbp\r\n");
    WriteFile(outside_ / "empty.zip", "");
    WriteFile(outside_ / "truncated.zip", bytes.substr(0, bytes.size() / 2));
    WriteFile(outside_ / "tail.zip", bytes.substr(0, bytes.size() - 10));
    {
        int code = 0;
        zip_t* plain = zip_open((outside_ / "plain.zip").c_str(), ZIP_CREATE, &code);
        const char text[] = "hello";
        zip_file_add(plain, "hello.txt", zip_source_buffer(plain, text, 5, 0), 0);
        zip_close(plain);
    }
    for (const char* name : {"text.txt", "empty.zip", "truncated.zip", "tail.zip", "plain.zip",
                             "missing.zip", "one"}) {
        std::string title = "untouched";
        std::vector<std::string> names;
        fs::create_directories(outside_ / "one");
        EXPECT_FALSE(
            exporter_.BrowseProjects((outside_ / name).string(), title, title, title, title, names))
            << name;
        EXPECT_EQ(title, "untouched") << name;
    }
}

TEST_F(ArchiveTest, ExportRefusesLinksAndSpecialFilesAndWritesNothing) {
    const fs::path dir = MakePart("P");
    auto part = Open(dir);
    const fs::path file = outside_ / "parts.zip";
    WriteFile(file, "previous export");
    struct Case {
        const char* what;
        std::function<void()> make;
        std::function<void()> undo;
    };
    const Case cases[] = {
        {"symbolic link", [&] { fs::create_symlink("/etc/passwd", dir / "passwd"); },
         [&] { fs::remove(dir / "passwd"); }},
        {"symbolic link", [&] { fs::create_directory_symlink("/etc", dir / "data" / "etc"); },
         [&] { fs::remove(dir / "data" / "etc"); }},
        {"device, pipe or socket", [&] { mkfifo((dir / "pipe").c_str(), 0644); },
         [&] { fs::remove(dir / "pipe"); }},
        {"does not exist", [&] { part->AdditionalFileAdd((dir / "gone.txt").string()); },
         [&] { part->AdditionalFileRemove(1); }},
    };
    for (const Case& c : cases) {
        c.make();
        std::string description;
        EXPECT_NE(ErrorNumber([&] { Export({part.get()}); }, &description), 0) << c.what;
        EXPECT_NE(description.find(c.what), std::string::npos) << description;
        EXPECT_EQ(ReadFile(file), "previous export");
        EXPECT_EQ(FilesIn(outside_), (std::vector<std::string>{"parts.zip"}));
        c.undo();
    }
    EXPECT_EQ(ErrorNumber([&] {
                  exporter_.ExportProjects((outside_ / "no" / "x.zip").string(), "t", "u", "",
                                           {part.get()}, true, true, true);
              }),
              76);
    EXPECT_EQ(ErrorNumber([&] { Export({}); }), 5);
    EXPECT_EQ(ErrorNumber([&] { Export({part.get(), part.get()}); }), 58);
}

// The export file named through a symbolic link: the file the link names is
// written and the link stays. What is no regular file is refused before
// anything is written.
TEST_F(ArchiveTest, ExportWritesThroughLinksAndRefusesSpecialTargets) {
    auto part = Open(MakePart("P"));
    const fs::path real = outside_ / "real.zip";
    const fs::path link = outside_ / "link.zip";
    struct Case {
        const char* what;
        std::function<void()> make;
        bool written;
    };
    const Case cases[] = {
        {"a link to an export",
         [&] {
             WriteFile(real, "previous export");
             fs::create_symlink("real.zip", link);
         },
         true},
        {"a link to no file yet", [&] { fs::create_symlink(real, link); }, true},
        {"a link to a link",
         [&] {
             fs::create_symlink("real.zip", outside_ / "middle.zip");
             fs::create_symlink("middle.zip", link);
         },
         true},
        {"a directory", [&] { fs::create_directory(link); }, false},
        {"a FIFO", [&] { mkfifo(link.c_str(), 0644); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.make();
        const int error = ErrorNumber([&] {
            exporter_.ExportProjects(link.string(), "t", "u", "", {part.get()}, true, true, true);
        });
        if (c.written) {
            EXPECT_EQ(error, 0);
            EXPECT_TRUE(fs::is_symlink(link));
            std::string title, user, date, comments;
            std::vector<std::string> names;
            EXPECT_TRUE(
                exporter_.BrowseProjects(real.string(), title, user, date, comments, names));
            EXPECT_EQ(names, (std::vector<std::string>{"P"}));
        } else {
            EXPECT_EQ(error, 75);
            EXPECT_FALSE(fs::exists(real));
        }
        for (const auto& entry : fs::directory_iterator(outside_)) {
            EXPECT_EQ(entry.path().filename().string().find(".partial"), std::string::npos);
            fs::remove_all(entry.path());
        }
    }
}

// ---- hostile archives --------------------------------------------------------

// Byte surgery on a ZIP: the local and central headers of an entry found by its name.
void PatchEntries(
    const fs::path& file, const std::string& name,
    const std::function<void(std::string& bytes, std::size_t header, bool central)>& patch) {
    std::string bytes = ReadFile(file);
    for (std::size_t at = bytes.find(name); at != std::string::npos;
         at = bytes.find(name, at + 1)) {
        if (at >= 46 && bytes.compare(at - 46, 4, "PK\x01\x02") == 0) {
            patch(bytes, at - 46, true);
        } else if (at >= 30 && bytes.compare(at - 30, 4, "PK\x03\x04") == 0) {
            patch(bytes, at - 30, false);
        }
    }
    WriteFile(file, bytes);
}

void Put32(std::string& bytes, std::size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xff);
    }
}

// An export file of part P, built by hand so that any entry can be hostile.
class HostileArchiveTest : public ArchiveTest {
  protected:
    fs::path Build(const std::vector<std::pair<std::string, std::string>>& entries,
                   const std::string& symlinkEntry = {}) {
        const fs::path file = outside_ / "hostile.zip";
        fs::remove(file);
        int code = 0;
        zip_t* archive = zip_open(file.c_str(), ZIP_CREATE, &code);
        keep_ = {"Vantreel export 1\nTitle: t\nPart: P\n"};
        zip_file_add(archive, ExportManifest::kEntryName,
                     zip_source_buffer(archive, keep_[0].data(), keep_[0].size(), 0), 0);
        for (const auto& [name, text] : entries) {
            keep_.push_back(text);
            const zip_int64_t index = zip_file_add(
                archive, name.c_str(),
                zip_source_buffer(archive, keep_.back().data(), keep_.back().size(), 0), 0);
            EXPECT_GE(index, 0) << name;
            if (name == symlinkEntry) {
                zip_file_set_external_attributes(archive, static_cast<zip_uint64_t>(index), 0,
                                                 ZIP_OPSYS_UNIX, (S_IFLNK | 0777u) << 16);
            }
        }
        EXPECT_EQ(zip_close(archive), 0);
        return file;
    }
    std::deque<std::string> keep_;
};

TEST_F(HostileArchiveTest, EveryHostileEntryIsRefusedAndNothingIsWritten) {
    const std::string ok = "parts/P/P.vbp";
    const std::string big(200000, 'z');  // compresses well: room for lies about its size
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::string>> entries;
        std::string symlink;
        std::function<void(const fs::path&)> damage;
    };
    const Case cases[] = {
        {"leaves its folder", {{ok, "x"}, {"parts/P/../../evil.txt", "x"}}, {}, {}},
        {"leaves its folder", {{ok, "x"}, {"parts/../evil.txt", "x"}}, {}, {}},
        {"absolute", {{ok, "x"}, {"/tmp/vantreel-evil.txt", "x"}}, {}, {}},
        {"drive letter", {{ok, "x"}, {"C:/evil.txt", "x"}}, {}, {}},
        {"backslash", {{ok, "x"}, {"parts\\P\\..\\..\\evil.txt", "x"}}, {}, {}},
        {"symbolic link", {{ok, "x"}, {"parts/P/link", "/etc/passwd"}}, "parts/P/link", {}},
        {"belongs to no part", {{ok, "x"}, {"parts/Q/x.txt", "x"}}, {}, {}},
        {"belongs to no part", {{ok, "x"}, {"elsewhere.txt", "x"}}, {}, {}},
        {"more than once",
         {{ok, "x"}, {"parts/P/b.txt", "x"}, {"parts/P/c.txt", "y"}},
         {},
         [](const fs::path& file) {
             PatchEntries(file, "parts/P/c.txt",
                          [](std::string& bytes, std::size_t header, bool central) {
                              bytes[header + (central ? 46 : 30) + 8] = 'b';
                          });
         }},
        {"more than",  // a huge declared size, the "zip bomb"
         {{ok, "x"}, {"parts/P/bomb.bin", big}},
         {},
         [](const fs::path& file) {
             PatchEntries(file, "parts/P/bomb.bin",
                          [](std::string& bytes, std::size_t header, bool central) {
                              Put32(bytes, header + (central ? 24 : 22), 0xF0000000u);
                          });
         }},
        {"bomb.bin",  // fewer bytes declared than it holds
         {{ok, "x"}, {"parts/P/bomb.bin", big}},
         {},
         [](const fs::path& file) {
             PatchEntries(file, "parts/P/bomb.bin",
                          [](std::string& bytes, std::size_t header, bool central) {
                              Put32(bytes, header + (central ? 24 : 22), 1000u);
                          });
         }},
        {"ZIP",  // cut short
         {{ok, "x"}, {"parts/P/data.bin", Binary(100000, 3)}},
         {},
         [](const fs::path& file) { fs::resize_file(file, fs::file_size(file) - 200); }},
        {"damaged",  // a flipped byte inside compressed data
         {{ok, "x"}, {"parts/P/data.bin", Binary(100000, 3)}},
         {},
         [](const fs::path& file) {
             std::string bytes = ReadFile(file);
             const std::size_t at = bytes.find("parts/P/data.bin") + 16 + 5000;
             bytes[at] = static_cast<char>(bytes[at] ^ 0x55);
             WriteFile(file, bytes);
         }},
    };
    const fs::path target = directory_.Path() / "target";
    fs::create_directories(target);
    for (const Case& c : cases) {
        const fs::path file = Build(c.entries, c.symlink);
        if (c.damage) {
            c.damage(file);
        }
        std::string description;
        EXPECT_NE(
            ErrorNumber([&] { exporter_.ImportProjects(file, {"P"}, target.string(), false); },
                        &description),
            0)
            << c.what;
        EXPECT_NE(description.find(c.what), std::string::npos) << c.what << ": " << description;
        EXPECT_TRUE(fs::is_empty(target)) << c.what;
        EXPECT_FALSE(fs::exists(directory_.Path() / "evil.txt"));
        EXPECT_FALSE(fs::exists("/tmp/vantreel-evil.txt"));
    }
}

TEST_F(HostileArchiveTest, SizeLimitIsCheckedBeforeWriting) {
    const fs::path file = Build({{"parts/P/P.vbp", "x"},
                                 {"parts/P/a.bin", std::string(5000, 'a')},
                                 {"parts/P/b.bin", std::string(5000, 'b')}});
    const fs::path target = directory_.Path() / "target";
    fs::create_directories(target);
    FileSystemExport::Limits limits;
    limits.maxTotalBytes = 9000;
    exporter_.SetLimits(limits);
    EXPECT_EQ(ErrorNumber([&] { exporter_.ImportProjects(file, {"P"}, target.string(), false); }),
              321);
    EXPECT_TRUE(fs::is_empty(target));
    limits.maxTotalBytes = 10001;
    limits.maxEntries = 3;
    exporter_.SetLimits(limits);
    EXPECT_EQ(ErrorNumber([&] { exporter_.ImportProjects(file, {"P"}, target.string(), false); }),
              321);
    limits.maxEntries = 4;
    exporter_.SetLimits(limits);
    exporter_.ImportProjects(file, {"P"}, target.string(), false);
    EXPECT_EQ(ReadFile(target / "P" / "b.bin"), std::string(5000, 'b'));
}

// ---- legacy exports ----------------------------------------------------------

TEST_F(ArchiveTest, LegacyExportWritesTheWindowsLayout) {
    const fs::path dir = MakePart("P");
    WriteFile(outside_ / "extra.txt", "extra");
    auto part = Open(dir);
    part->AdditionalFileAdd((outside_ / "extra.txt").string());
    const fs::path target = directory_.Path() / "legacy";
    fs::create_directories(target);
    exporter_.ExportLegacy(target.string() + "/", {part.get()});
    const std::string list = ReadFile(target / "P" / "P.lst");
    EXPECT_TRUE(list.starts_with("P\r\nVisualBasic\r\n")) << list;
    EXPECT_NE(list.find("F:Fixture\r\n"), std::string::npos);
    EXPECT_NE(list.find("D:Fixture\\clamp.fix\r\n"), std::string::npos);
    EXPECT_NE(list.find("D:Additional Files\\extra.txt\r\n"), std::string::npos);
    EXPECT_LT(list.rfind("F:"), list.find("D:"));  // every folder before any file
    EXPECT_EQ(list.find('\n'), list.find("\r\n") + 1);
    std::map<std::string, std::string> copied = Tree(target / "P");
    copied.erase("P.lst");
    copied.erase("Additional Files");
    EXPECT_EQ(copied.erase("Additional Files/extra.txt"), 1u);
    EXPECT_EQ(copied, Tree(dir));
    // A second export to the same place is refused and changes nothing.
    EXPECT_EQ(ErrorNumber([&] { exporter_.ExportLegacy(target.string(), {part.get()}); }), 58);
    EXPECT_EQ(ReadFile(target / "P" / "P.lst"), list);
    EXPECT_EQ(std::distance(fs::directory_iterator(target), fs::directory_iterator()), 1);
}

TEST(LegacyList, ReadsListsWrittenAnywhere) {
    TempDirectory dir;
    struct Case {
        std::string text;
        std::vector<std::string> lines;
        bool visualBasic, wellFormed;
    };
    const Case cases[] = {
        {"P\r\nVisualBasic\r\nF:sub\r\nD:sub\\a.bas\r\n",
         {"P", "VisualBasic", "F:sub", "D:sub\\a.bas"},
         true,
         true},
        {"P\nvisualbasic\nd:a\nf:b", {"P", "visualbasic", "d:a", "f:b"}, true, true},
        {"P\rVISUALBASIC\rD:a\r\r", {"P", "VISUALBASIC", "D:a", ""}, true, true},
        {"P\r\nVisual Basic\r\n", {"P", "Visual Basic"}, false, false},
        {"P\r\nVisualBasic\r\nX:a\r\n", {"P", "VisualBasic", "X:a"}, true, false},
        {"P", {"P"}, false, false},
    };
    for (const Case& c : cases) {
        WriteFile(dir.Path() / "l.lst", c.text);
        const LegacyList list = LegacyList::Read(dir.File("l.lst"));
        EXPECT_EQ(list.lines, c.lines) << c.text;
        EXPECT_EQ(list.IsVisualBasic(), c.visualBasic) << c.text;
        EXPECT_EQ(list.IsWellFormed(), c.wellFormed) << c.text;
    }
    mkfifo(dir.File("pipe").c_str(), 0644);
    EXPECT_EQ(ErrorNumber([&] { LegacyList::Read(dir.File("pipe")); }), 75);
    EXPECT_EQ(ErrorNumber([&] { LegacyList::Read(dir.File("none")); }), 53);
    fs::resize_file(dir.Path() / "l.lst", LegacyList::kMaxSize + 1);
    EXPECT_EQ(ErrorNumber([&] { LegacyList::Read(dir.File("l.lst")); }), 7);
}

}  // namespace
}  // namespace vantreel::test
