#include "common/TestRegistry.h"

#include "shared/Fields.h"
#include "shared/Paths.h"

#include <gtest/gtest.h>

#include <fstream>

namespace vantreel::test {
namespace {

TEST(Paths, CombinePath) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"/A/B", "../C.chm", "/A/C.chm"},
        {"/A", "./C.chm", "/A/C.chm"},
        {"/A", "/X.chm", "/X.chm"},
        {"/A/B/", "../../C", "/C"},
        {" /A ", " C ", "/A/C"},
        {"/A", ".hidden", "/A/hidden"},
        {"/A", "..x", "/A/x"},
        {"C:\\A\\B", "..\\C.chm", "C:\\A\\C.chm"},
        {"C:\\A", ".\\C.chm", "C:\\A\\C.chm"},
        {"C:\\A", "D:\\X.chm", "D:\\X.chm"},
        {"C:\\A", "..\\..\\X.chm", "C:\\X.chm"},  // no higher than the drive's root
        {"/A/", "C", "/A/C"},
        {"", "C", "/C"},
    };
    for (const auto& [base, relative, combined] : cases) {
        EXPECT_EQ(CombinePath(base, relative), combined) << base << " + " << relative;
    }
}

TEST(Paths, ParentDirectoryAndSeparators) {
    const std::pair<const char*, const char*> parents[] = {
        {"/A/B", "/A/"},
        {"/A/B/", "/A/"},
        {"/A", "/"},
        {"A", ""},
        {"C:\\A\\B", "C:\\A\\"},
        {"/", ""},
        {"", ""},
        {"a\\b/c", "a\\b/"},
        // Nothing above a drive but its root.
        {"C:\\A", "C:\\"},
        {"C:\\", "C:\\"},
        {"C:\\\\", "C:\\"},
        {"C:A", "C:\\"},
        {"C:", "C:\\"},
    };
    for (const auto& [path, parent] : parents) {
        EXPECT_EQ(ParentDirectory(path), parent) << path;
    }
    std::string path = "/A  ";
    AddPathSeparator(path);
    EXPECT_EQ(path, "/A/");
    AddPathSeparator(path);
    EXPECT_EQ(path, "/A/");
    path = "C:\\A\\";
    AddPathSeparator(path);
    EXPECT_EQ(path, "C:\\A\\");
    EXPECT_EQ(StripAtNul(std::string("abc\0def", 7)), "abc");
}

TEST(Paths, FilesAndDirectories) {
    TempDirectory directory;
    const std::string file = directory.File("part.dmi");
    std::ofstream(file) << "x";
    EXPECT_TRUE(FileExists(file));
    EXPECT_FALSE(FileExists(directory.Path().string()));
    EXPECT_FALSE(FileExists(directory.File("none")));
    EXPECT_FALSE(FileExists(""));
    EXPECT_TRUE(FileExists(directory.File("*.dmi")));
    EXPECT_FALSE(FileExists(directory.File("*.bas")));
    EXPECT_TRUE(DirectoryExists(directory.Path().string()));
    EXPECT_FALSE(DirectoryExists(file));
    EXPECT_FALSE(DirectoryExists(""));
    EXPECT_EQ(GetShortPath(file), file);
    EXPECT_EQ(ErrorNumber([&] { (void)GetShortPath(directory.File("none")); }), 53);
}

TEST(Fields, GetField) {
    const std::tuple<const char*, int, const char*> cases[] = {
        {"a|b|c", 1, "b"}, {"a||c", 1, "z"}, {"a", 3, "z"},    {"a", 0, "a"},
        {"", 0, "z"},      {"a|b|", 2, "z"}, {"a|b", -1, "z"},
    };
    for (const auto& [list, index, field] : cases) {
        EXPECT_EQ(GetField(list, index, "z"), field) << list << " " << index;
    }
}

TEST(Fields, NumbersConvertAsBasicDoes) {
    EXPECT_EQ(GetFieldInteger("1| 12 |3", 1, 0), 12);
    EXPECT_EQ(GetFieldInteger("2.5|3.5|-2.5", 0, 0), 2);
    EXPECT_EQ(GetFieldInteger("2.5|3.5|-2.5", 1, 0), 4);
    EXPECT_EQ(GetFieldInteger("2.5|3.5|-2.5", 2, 0), -2);
    EXPECT_EQ(GetFieldInteger("a||c", 1, 7), 7);
    EXPECT_EQ(GetFieldLong("100000|x", 0, 0), 100000);
    EXPECT_EQ(ErrorNumber([] { (void)GetFieldInteger("40000", 0, 0); }), 6);
    EXPECT_EQ(ErrorNumber([] { (void)GetFieldLong("1e300", 0, 0); }), 6);
    EXPECT_EQ(ErrorNumber([] { (void)GetFieldLong("12a", 0, 0); }), 13);
    EXPECT_EQ(ErrorNumber([] { (void)GetFieldInteger("abc", 0, 0); }), 13);
}

}  // namespace
}  // namespace vantreel::test

namespace vantreel::test {
namespace {

TEST(Paths, FileNameProblemAcceptsExactlyWhatWindowsAccepts) {
    const std::pair<std::string, const char*> accepted[] = {
        {"OLD", ""},
        {".hidden", ""},
        {"a b", ""},
        {"O'Neil; $x & `y`", ""},
        {"CONSOLE", ""},
        {"COM0", ""},
        {"LPT10", ""},
        {"con_1", ""},
        {"Plätte 4", ""},
        {"x.con", ""},
        {std::string(255, 'n'), ""},
    };
    for (const auto& [name, problem] : accepted) {
        EXPECT_EQ(FileNameProblem(name), problem) << name;
    }
    const std::pair<std::string, const char*> refused[] = {
        {"", "a name is needed"},
        {"\\evil", "it holds the character \\"},
        {"..\\..\\x", "it holds the character \\"},
        {"a/b", "it holds the character /"},
        {"c:x", "it holds the character :"},
        {"a*", "it holds the character *"},
        {"a?", "it holds the character ?"},
        {"a\"b", "it holds the character \""},
        {"<a>", "it holds the character <"},
        {"a>b", "it holds the character >"},
        {"a|b", "it holds the character |"},
        {"X\n[AdditionalFiles]", "it holds a control character"},
        {std::string("a\0b", 3), "it holds a control character"},
        {"tab\there", "it holds a control character"},
        {"trailing.", "it ends in a dot"},
        {".", "it ends in a dot"},
        {"..", "it ends in a dot"},
        {"trailing ", "it ends in a blank"},
        {"CON", "it is the reserved device name CON"},
        {"con", "it is the reserved device name con"},
        {"Nul.txt", "it is the reserved device name Nul"},
        {"aux.tar.gz", "it is the reserved device name aux"},
        {"PRN", "it is the reserved device name PRN"},
        {"COM1", "it is the reserved device name COM1"},
        {"com9.log", "it is the reserved device name com9"},
        {"LPT5", "it is the reserved device name LPT5"},
        {"CON .txt", "it is the reserved device name CON"},
        {std::string(256, 'n'), "it has 256 bytes; at most 255 fit"},
    };
    for (const auto& [name, problem] : refused) {
        EXPECT_TRUE(FileNameProblem(name).starts_with(problem))
            << name << ": " << FileNameProblem(name);
    }
    EXPECT_EQ(FileNameProblem(std::string(251, 'n'), 4), "");
    EXPECT_EQ(FileNameProblem(std::string(252, 'n'), 4), "it has 252 bytes; at most 251 fit");
}

TEST(Paths, FindFileIgnoringCase) {
    TempDirectory folder;
    EXPECT_EQ(FindFileIgnoringCase(folder.Path().string(), "Vb6.exe"),
              folder.File("Vb6.exe"));  // none: the name as asked
    std::ofstream(folder.File("VB6.EXE")) << "x";
    EXPECT_EQ(FindFileIgnoringCase(folder.Path().string(), "Vb6.exe"), folder.File("VB6.EXE"));
    std::ofstream(folder.File("Vb6.exe")) << "x";
    EXPECT_EQ(FindFileIgnoringCase(folder.Path().string(), "Vb6.exe"), folder.File("Vb6.exe"));
}

}  // namespace
}  // namespace vantreel::test
