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
        {"/A/", "C", "/A/C"},
        {"", "C", "/C"},
    };
    for (const auto& [base, relative, combined] : cases) {
        EXPECT_EQ(CombinePath(base, relative), combined) << base << " + " << relative;
    }
}

TEST(Paths, ParentDirectoryAndSeparators) {
    const std::pair<const char*, const char*> parents[] = {
        {"/A/B", "/A/"},         {"/A/B/", "/A/"}, {"/A", "/"}, {"A", ""},
        {"C:\\A\\B", "C:\\A\\"}, {"/", ""},        {"", ""},    {"a\\b/c", "a\\b/"},
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
