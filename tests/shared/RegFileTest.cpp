#include "common/Files.h"
#include "common/TestRegistry.h"

#include "shared/Configuration.h"
#include "shared/RegEntry.h"
#include "shared/RegFile.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <random>
#include <sstream>

namespace vantreel::test {
namespace {

const RegKeyId kMachine = RegistryStore::Root(RegHive::LocalMachine);
const RegKeyId kClasses = RegistryStore::Root(RegHive::ClassesRoot);
const std::string kRegData = std::string(VANTREEL_TEST_DATA) + "/reg/";
const std::string kHeader = "Windows Registry Editor Version 5.00\n\n";

// UTF-8 text as a UTF-16LE file with its byte order mark, LF turned into CRLF.
std::string Utf16File(std::string_view utf8) {
    std::u32string codePoints;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t cp = length == 1 ? lead : lead & (0x3F >> (length - 1));
        for (int k = 1; k < length; ++k) {
            cp = cp << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        }
        if (cp == '\n') {
            codePoints += U'\r';
        }
        codePoints += cp;
        i += length;
    }
    std::string bytes = "\xFF\xFE";
    const auto put = [&](char32_t unit) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    };
    for (const char32_t cp : codePoints) {
        if (cp >= 0x10000) {
            put(0xD800 + ((cp - 0x10000) >> 10));
            put(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            put(cp);
        }
    }
    return bytes;
}

std::string Hex(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (const char c : bytes) {
        text += kDigits[static_cast<unsigned char>(c) >> 4];
        text += kDigits[static_cast<unsigned char>(c) & 0x0F];
    }
    return text;
}

// Every key and value, one line each, to compare registries (HKEY_CLASSES_ROOT
// is HKLM\\SOFTWARE\\Classes).
std::string Dump(RegistryStore& store) {
    std::ostringstream dump;
    const auto walk = [&](const auto& self, RegKeyId key, const std::string& path) -> void {
        dump << path << '\n';
        for (const RegValue& value : store.Values(key)) {
            dump << "  " << value.name << " " << value.type << " " << Hex(value.data) << '\n';
        }
        for (const RegSubkey& subkey : store.Subkeys(key)) {
            self(self, subkey.id, path + "\\" + subkey.name);
        }
    };
    walk(walk, kMachine, "HKEY_LOCAL_MACHINE");
    return dump.str();
}

class RegFileTest : public RegistryTest {
  protected:
    // Imports bytes as the file in.reg.
    void Import(std::string_view bytes) {
        WriteFile(InputPath(), bytes);
        RegFile(store_).Import(InputPath());
    }
    std::string InputPath() const { return directory_.File("in.reg"); }

    std::optional<RegValue> ValueOf(RegKeyId root, std::string_view key, std::string_view name) {
        const std::optional<RegKeyId> id = Store().FindKey(root, key);
        return id ? Store().Value(*id, name) : std::nullopt;
    }
};

struct ValueCase {
    const char* line;  // the value line below [HKEY_LOCAL_MACHINE\T]
    uint32_t type;
    std::string data;
};

TEST_F(RegFileTest, ReadsEveryFormOfValue) {
    using namespace std::string_literals;
    const ValueCase cases[] = {
        {R"("v"="abc")", REG_SZ, "abc\0"s},
        {R"("v"="")", REG_SZ, "\0"s},
        {R"("v"="C:\\dir\\file")", REG_SZ, "C:\\dir\\file\0"s},
        {R"("v"="say \"hi\"")", REG_SZ, "say \"hi\"\0"s},
        {R"("v"="a\\\"b\\")", REG_SZ, "a\\\"b\\\0"s},
        {R"("v"="semi;colon = [x]")", REG_SZ, "semi;colon = [x]\0"s},
        {"\"v\"=\"Gr\xC3\xBC\xC3\x9F"
         "e \xE2\x98\xBA\"",
         REG_SZ,
         "Gr\xC3\xBC\xC3\x9F"
         "e \xE2\x98\xBA\0"s},
        {"  \"v\" = \"spaced\"  ", REG_SZ, "spaced\0"s},
        {R"("v"=dword:0000001f)", REG_DWORD, "\x1F\0\0\0"s},
        {R"("v"=dword:FFFFFFFE)", REG_DWORD, "\xFE\xFF\xFF\xFF"s},
        {R"("v"=DWORD:12345)", REG_DWORD, "\x45\x23\x01\0"s},
        {R"("v"=hex:01,ab,FF)", REG_BINARY, "\x01\xAB\xFF"s},
        {R"("v"=hex:1, a , 0c)", REG_BINARY, "\x01\x0A\x0C"s},
        {R"("v"=hex:)", REG_BINARY, ""s},
        {R"("v"=hex(2):25,00,41,00,25,00,00,00)", REG_EXPAND_SZ, "%A%\0"s},
        {R"("v"=hex(7):61,00,00,00,62,00,00,00,00,00)", REG_MULTI_SZ, "a\0b\0\0"s},
        {R"("v"=hex(7):3d,d8,00,de,e9,00,00,00,00,00)", REG_MULTI_SZ,
         "\xF0\x9F\x98\x80\xC3\xA9\0\0"s},
        {R"("v"=hex(1):e4,00,00,00)", REG_SZ, "\xC3\xA4\0"s},
        {R"("v"=hex(1):61,00,0a,00,62,00)", REG_SZ, "a\nb"s},
        {R"("v"=hex(b):01,02,03,04,05,06,07,08)", REG_QWORD, "\1\2\3\4\5\6\7\x08"s},
        {R"("v"=HEX(B):ff)", REG_QWORD, "\xFF"s},
        {R"("v"=hex(0):)", REG_NONE, ""s},
        {R"("v"=hex(4):01,02)", REG_DWORD, "\1\2"s},
        {R"("v"=hex(5):00,00,00,01)", REG_DWORD_BIG_ENDIAN, "\0\0\0\1"s},
        {R"("v"=hex(80000000):7f)", 0x80000000u, "\x7F"s},
    };
    for (const ValueCase& test : cases) {
        SCOPED_TRACE(test.line);
        Import(kHeader + "[HKEY_LOCAL_MACHINE\\T]\n" + test.line + "\n");
        const std::optional<RegValue> value = ValueOf(kMachine, "T", "v");
        ASSERT_TRUE(value);
        EXPECT_EQ(value->type, test.type);
        EXPECT_EQ(Hex(value->data), Hex(test.data));
    }
}

TEST_F(RegFileTest, ReadsNamesDefaultValuesAndBothHives) {
    Import(kHeader +
           "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Shop]\n"
           "@=\"the default\"\n"
           "\"with \\\"quotes\\\" and \\\\ back\"=\"1\"\n"
           "\"Gr\xC3\xB6\xC3\x9F"
           "e\"=\"2\"\n"
           "\n"
           "[hkey_classes_root\\.dmi\\]\n"
           "@=\"Vantreel.Program\"\n");
    const RegKeyId shop = *Store().FindKey(kMachine, "SOFTWARE\\Shop");
    std::vector<std::string> names;
    for (const RegValue& value : Store().Values(shop)) {
        names.push_back(value.name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"", "with \"quotes\" and \\ back",
                                               "Gr\xC3\xB6\xC3\x9F"
                                               "e"}));
    EXPECT_EQ(Store().Value(shop, "")->data, std::string("the default\0", 12));
    const std::optional<RegValue> program = ValueOf(kClasses, ".dmi", "");
    ASSERT_TRUE(program);
    EXPECT_EQ(program->data, std::string("Vantreel.Program\0", 17));
}

TEST_F(RegFileTest, HexListsContinueOverLines) {
    Import(Utf16File(kHeader + "[HKEY_LOCAL_MACHINE\\T]\n"
                               "\"bin\"=hex:01,02,\\\n"
                               "  03,04,\\   \n"
                               "\t05\n"
                               "\"text\"=hex(2):41,00,42,\\\n"
                               "  00,00,00\n"
                               "\"after\"=dword:00000002\n"));
    EXPECT_EQ(Hex(ValueOf(kMachine, "T", "bin")->data), "0102030405");
    EXPECT_EQ(ValueOf(kMachine, "T", "text")->data, std::string("AB\0", 3));
    EXPECT_EQ(Hex(ValueOf(kMachine, "T", "after")->data), "02000000");
}

TEST_F(RegFileTest, DeletesKeysAndValuesAndSkipsComments) {
    const RegKeyId keep = Store().CreatePath(kMachine, "Keep");
    Store().SetValue(keep, "", REG_SZ, std::string("old default\0", 12));
    Store().SetValue(keep, "old", REG_SZ, std::string("x\0", 2));
    Store().SetValue(keep, "other", REG_SZ, std::string("y\0", 2));
    Store().SetValue(Store().CreatePath(kMachine, "Gone\\Child"), "v", REG_SZ,
                     std::string("z\0", 2));
    Store().SetValue(Store().CreatePath(kMachine, "Again\\Child"), "v", REG_SZ,
                     std::string("z\0", 2));

    Import(kHeader +
           "; a comment line\n"
           "[-HKEY_LOCAL_MACHINE\\Gone]\n"
           "[-HKEY_LOCAL_MACHINE\\NeverThere\\Below]\n"
           "\n"
           "[HKEY_LOCAL_MACHINE\\Keep]\n"
           "\"OLD\"=-\n"
           "@=-\n"
           "   ; an indented comment\n"
           "\"new\"=\"1\"\n"
           "\"missing\"=-\n"
           "[-HKEY_LOCAL_MACHINE\\Again]\n"
           "[HKEY_LOCAL_MACHINE\\Again]\n"
           "\"fresh\"=\"2\"\n");

    EXPECT_FALSE(Store().FindKey(kMachine, "Gone"));
    EXPECT_FALSE(Store().FindKey(kMachine, "NeverThere"));
    std::vector<std::string> names;
    for (const RegValue& value : Store().Values(keep)) {
        names.push_back(value.name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"other", "new"}));
    const RegKeyId again = *Store().FindKey(kMachine, "Again");
    EXPECT_TRUE(Store().Subkeys(again).empty());
    ASSERT_EQ(Store().Values(again).size(), 1u);
    EXPECT_EQ(Store().Values(again)[0].name, "fresh");
}

TEST_F(RegFileTest, ReadsUtf16Utf8AndRegedit4FilesAlike) {
    using namespace std::string_literals;
    const std::string utf8 = ReadFile(kRegData + "utf8_station.reg");
    ASSERT_FALSE(utf8.empty());
    struct Variant {
        const char* name;
        std::string bytes;
    };
    const Variant variants[] = {
        {"UTF-8 with LF", utf8},
        {"UTF-8 with a byte order mark", "\xEF\xBB\xBF" + utf8},
        {"UTF-16LE with CRLF", Utf16File(utf8)},
        {"REGEDIT4 in Windows-1252", ReadFile(kRegData + "regedit4_station.reg")},
    };
    std::string first;
    for (const Variant& variant : variants) {
        SCOPED_TRACE(variant.name);
        const std::string path = directory_.File(std::string(variant.name) + ".reg");
        WriteFile(path, variant.bytes);
        const auto store =
            RegistryStore::OpenAt(directory_.File(std::string(variant.name) + ".db"));
        RegFile(store).Import(path);

        const std::optional<RegKeyId> key = store->FindKey(kMachine, "SOFTWARE\\Korvessa");
        ASSERT_TRUE(key);
        ASSERT_EQ(store->Subkeys(*key).size(), 1u);
        EXPECT_EQ(store->Subkeys(*key)[0].name,
                  "Gr\xC3\xB6\xC3\x9F"
                  "e");
        const RegKeyId size = store->Subkeys(*key)[0].id;
        EXPECT_EQ(store->Value(size, "Text")->data, "Ma\xC3\x9F 20\xE2\x82\xAC\0"s);
        EXPECT_EQ(store->Value(size, "Path")->type, uint32_t(REG_EXPAND_SZ));
        EXPECT_EQ(store->Value(size, "Path")->data, "%TEMP%\\\xC3\xA4\0"s);
        EXPECT_EQ(store->Value(size, "List")->data, "a\0\xC3\xA9\0\0"s);
        EXPECT_EQ(Hex(store->Value(size, "Count")->data), "2a000000");
        if (first.empty()) {
            first = Dump(*store);
        } else {
            EXPECT_EQ(Dump(*store), first);
        }
    }
}

struct MalformedCase {
    const char* what;
    std::string bytes;  // the whole file
    int line;
    const char* fragment;
};

// A file that changes a good deal before it goes wrong on line 9.
std::string GoodStart(const std::string& bad) {
    return kHeader +                                 // lines 1-2
           "[HKEY_LOCAL_MACHINE\\Existing]\n"        // 3
           "\"keep\"=-\n"                            // 4
           "\"added\"=\"yes\"\n"                     // 5
           "[-HKEY_LOCAL_MACHINE\\Existing\\Sub]\n"  // 6
           "[HKEY_LOCAL_MACHINE\\New]\n"             // 7
           "\"n\"=dword:00000001\n"                  // 8
           + bad;                                    // 9...
}

TEST_F(RegFileTest, MalformedFilesNameTheirLineAndImportNothing) {
    const RegKeyId existing = Store().CreatePath(kMachine, "Existing");
    Store().SetValue(existing, "keep", REG_SZ, std::string("1\0", 2));
    Store().SetValue(Store().CreatePath(kMachine, "Existing\\Sub"), "v", REG_DWORD,
                     std::string(4, '\1'));
    const std::string before = Dump(Store());

    const std::string utf16Start = Utf16File(GoodStart(""));
    const MalformedCase cases[] = {
        {"empty file", "", 1, "not a registry file"},
        {"another header", "Windows Registry Editor Version 4.00\n[HKEY_LOCAL_MACHINE\\A]\n", 1,
         "not a registry file"},
        {"no header", "[HKEY_LOCAL_MACHINE\\A]\n\"a\"=\"b\"\n", 1, "not a registry file"},
        {"UTF-16 big-endian", "\xFE\xFF", 1, "big-endian"},
        {"no closing quote", GoodStart("\"a\"=\"open\n"), 9, "no closing quote"},
        {"unclosed name", GoodStart("\"abc\n"), 9, "no closing quote"},
        {"no equals sign", GoodStart("\"a\" \"b\"\n"), 9, "'=' expected"},
        {"nine dword digits", GoodStart("\"a\"=dword:123456789\n"), 9, "dword:"},
        {"empty dword", GoodStart("\"a\"=dword:\n"), 9, "dword:"},
        {"dword with a letter", GoodStart("\"a\"=dword:12g4\n"), 9, "dword:"},
        {"bad hex byte", GoodStart("\"a\"=hex:01,1g\n"), 9, "'1g' is not a byte"},
        {"three hex digits", GoodStart("\"a\"=hex:123\n"), 9, "'123' is not a byte"},
        {"empty hex byte", GoodStart("\"a\"=hex:01,,02\n"), 9, "is not a byte"},
        {"odd UTF-16 data", GoodStart("\"a\"=hex(2):41\n"), 9, "even number of bytes"},
        {"lone surrogate in data", GoodStart("\"a\"=hex(7):00,d8,00,00\n"), 9, "surrogate"},
        {"bad type", GoodStart("\"a\"=hex(zz):00\n"), 9, "hex(N):"},
        {"unknown data", GoodStart("\"a\"=text\n"), 9, "unknown data 'text'"},
        {"text after a value", GoodStart("\"a\"=\"b\" junk\n"), 9, "after the value"},
        {"continuation at the end", GoodStart("\"a\"=hex:01,\\\n  02,\\\n"), 10, "the file ends"},
        {"missing comma over lines", GoodStart("\"a\"=hex:01,02,\\\n  03\\\n  04\n"), 11,
         "',' is missing"},
        {"bad byte on a continued line", GoodStart("\"a\"=hex:01,\\\n  zz\n"), 10,
         "'zz' is not a byte"},
        {"unknown hive", GoodStart("[HKXX\\SOFTWARE]\n"), 9, "'HKXX' is not a hive"},
        {"misspelt hive", GoodStart("[HKEY_LOCAL_MACHNE\\SOFTWARE]\n"), 9,
         "'HKEY_LOCAL_MACHNE' is not a hive"},
        {"bad value in a skipped hive", GoodStart("[HKCU\\Software]\n\"a\"=dword:x\n"), 10,
         "dword:"},
        {"comment that ends a list", GoodStart("\"a\"=hex:01,\\\n; note\n"), 10, "the file ends"},
        {"backslash before the closing quote", GoodStart("\"a\"=\"C:\\Temp\\\"\n"), 9,
         "no closing quote"},
        {"too deep",
         GoodStart("[HKLM" +
                   [] {
                       std::string path;
                       for (int i = 0; i < 513; ++i) {
                           path += "\\k";
                       }
                       return path;
                   }() +
                   "]\n"),
         9, "more than 512 levels"},
        {"long value name", GoodStart("\"" + std::string(16384, 'v') + "\"=\"x\"\n"), 9,
         "longer than 16383"},
        {"empty key name", GoodStart("[HKEY_LOCAL_MACHINE\\A\\\\B]\n"), 9, "empty name"},
        {"long key name", GoodStart("[HKEY_LOCAL_MACHINE\\" + std::string(256, 'k') + "]\n"), 9,
         "longer than 255"},
        {"unclosed key", GoodStart("[HKEY_LOCAL_MACHINE\\A\n"), 9, "no closing ']'"},
        {"text after a key", GoodStart("[HKEY_LOCAL_MACHINE\\A] x\n"), 9, "after the key"},
        {"deleting a hive", GoodStart("[-HKEY_LOCAL_MACHINE]\n"), 9, "hive cannot be deleted"},
        {"value below a deletion", GoodStart("[-HKEY_LOCAL_MACHINE\\Existing]\n\"a\"=\"b\"\n"), 10,
         "below a [-key]"},
        {"value before any key", kHeader + "\"a\"=\"b\"\n", 3, "before the first [key]"},
        {"stray text", GoodStart("garbage\n"), 9, "unexpected text 'garbage'"},
        {"not UTF-8", GoodStart("\"a\"=\"\xFF\"\n"), 9, "not UTF-8"},
        {"NUL in a line", GoodStart(std::string("\"a\"=\"\0\"\n", 7)), 9, "NUL"},
        {"CR inside a line", GoodStart("\"a\"=\"x\ry\"\n"), 9, "carriage return"},
        {"UTF-16 cut in half", utf16Start + "\"", 9, "middle of a character"},
        {"UTF-16 lone surrogate", utf16Start + std::string("\"\0a\0\"\0=\0\"\0\x00\xD8\"\0", 14), 9,
         "surrogate"},
    };
    for (const MalformedCase& test : cases) {
        SCOPED_TRACE(test.what);
        std::string description;
        EXPECT_EQ(ErrorNumber([&] { Import(test.bytes); }, &description), 5004);
        EXPECT_NE(description.find(InputPath() + ", line " + std::to_string(test.line) + ": "),
                  std::string::npos)
            << description;
        EXPECT_NE(description.find(test.fragment), std::string::npos) << description;
        EXPECT_EQ(Dump(Store()), before);
    }
    // The same start imports when the bad line is left out: the cases above
    // failed on their bad line, not on the start.
    Import(GoodStart(""));
    EXPECT_NE(Dump(Store()), before);
    EXPECT_EQ(ValueOf(kMachine, "Existing", "added")->data, std::string("yes\0", 4));
}

TEST_F(RegFileTest, CutAndDamagedFilesImportOrFailCleanly) {
    const std::string original = ReadFile(kRegData + "windows_station.reg");
    ASSERT_FALSE(original.empty());
    std::vector<std::string> damaged;
    for (std::size_t length = 0; length < original.size(); length += 5) {
        damaged.push_back(original.substr(0, length));
    }
    std::mt19937 random(20240501);
    for (int i = 0; i < 300; ++i) {
        std::string bytes = original;
        for (int k = 0; k < 3; ++k) {
            bytes[random() % bytes.size()] = static_cast<char>(random());
        }
        damaged.push_back(bytes);
    }
    int imported = 0;
    int refused = 0;
    for (const std::string& bytes : damaged) {
        // Only the file's own error may come out; anything else fails the test.
        const int number = ErrorNumber([&] { RegFile(store_).ImportBytes(bytes, "damaged.reg"); });
        EXPECT_TRUE(number == 0 || number == 5004) << number;
        (number == 0 ? imported : refused) += 1;
    }
    EXPECT_GT(imported, 0);
    EXPECT_GT(refused, 0);
}

TEST_F(RegFileTest, UnreadableFilesAreNamed) {
    std::string description;
    const std::string missing = directory_.File("missing.reg");
    EXPECT_EQ(ErrorNumber([&] { RegFile(store_).Import(missing); }, &description), 5004);
    EXPECT_NE(description.find(missing + " cannot be read"), std::string::npos) << description;
    EXPECT_EQ(
        ErrorNumber([&] { RegFile(store_).Import(directory_.Path().string()); }, &description),
        5004);
    EXPECT_NE(description.find("directory"), std::string::npos) << description;

    // A registry that cannot be written: the file is good, so no line is named.
    const std::string blocker = directory_.File("blocker");
    WriteFile(blocker, "a file where a directory should be");
    const auto unreachable = std::make_shared<RegistryStore>(blocker + "/registry.db");
    EXPECT_EQ(
        ErrorNumber(
            [&] {
                RegFile(unreachable).ImportBytes(kHeader + "[HKLM\\A]\n\"v\"=\"1\"\n", "good.reg");
            },
            &description),
        5003);
    EXPECT_TRUE(description.starts_with("good.reg cannot be imported: ")) << description;
    EXPECT_EQ(description.find("line"), std::string::npos) << description;
}

// A small tree with a value of every kind the writer treats apart.
class RegFileExportTest : public RegFileTest {
  protected:
    void SetUp() override {
        RegFileTest::SetUp();
        using namespace std::string_literals;
        RegistryStore& store = Store();
        shop_ = Store().CreatePath(kMachine, "SOFTWARE\\Shop");
        store.SetValue(shop_, "", REG_SZ, "Default text\0"s);
        store.SetValue(shop_, "Path", REG_SZ, "C:\\Shop\\\"q\"\0"s);
        store.SetValue(shop_, "Count", REG_DWORD, "\x2A\0\0\0"s);
        store.SetValue(shop_, "Expand", REG_EXPAND_SZ, "%TEMP%\\x\0"s);
        store.SetValue(shop_, "Lines", REG_SZ, "one\r\ntwo\0"s);
        store.SetValue(shop_, "NoNul", REG_SZ, "abc"s);
        store.SetValue(shop_, "Big", REG_QWORD, "\1\2\3\4\5\6\7\x08"s);
        store.SetValue(shop_, "Short", REG_DWORD, "\1\2"s);
        std::string bytes;
        for (int i = 0; i < 40; ++i) {
            bytes += static_cast<char>(i);
        }
        store.SetValue(shop_, "Long", REG_BINARY, bytes);
        const RegKeyId child = store.CreateKey(shop_, "Child");
        store.SetValue(child, "List", REG_MULTI_SZ, "alpha\0beta\0\0"s);
        store.SetValue(child,
                       "Gr\xC3\xB6\xC3\x9F"
                       "e",
                       REG_BINARY, bytes.substr(0, 23));
        store.SetValue(child, "Nothing", REG_NONE, ""s);
        const RegKeyId empty = store.CreateKey(shop_, "Empty");
        store.SetValue(store.CreateKey(empty, "Leaf"), "", REG_SZ, "x\0"s);
        store.SetValue(Store().CreatePath(kMachine, "SOFTWARE\\Other"), "v", REG_SZ,
                       "not exported\0"s);
    }

    RegKeyId shop_ = 0;
};

TEST_F(RegFileExportTest, WritesRegeditsFormatByteForByte) {
    const std::string expected = Utf16File(
        "Windows Registry Editor Version 5.00\n"
        "\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Shop]\n"
        "@=\"Default text\"\n"
        "\"Path\"=\"C:\\\\Shop\\\\\\\"q\\\"\"\n"
        "\"Count\"=dword:0000002a\n"
        "\"Expand\"=hex(2):25,00,54,00,45,00,4d,00,50,00,25,00,5c,00,78,00,00,00\n"
        "\"Lines\"=hex(1):6f,00,6e,00,65,00,0d,00,0a,00,74,00,77,00,6f,00,00,00\n"
        "\"NoNul\"=hex(1):61,00,62,00,63,00\n"
        "\"Big\"=hex(b):01,02,03,04,05,06,07,08\n"
        "\"Short\"=hex(4):01,02\n"
        "\"Long\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\\n"
        "  16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27\n"
        "\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Shop\\Child]\n"
        "\"List\"=hex(7):61,00,6c,00,70,00,68,00,61,00,00,00,62,00,65,00,74,00,61,00,00,\\\n"
        "  00,00,00\n"
        "\"Gr\xC3\xB6\xC3\x9F"
        "e\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\\n"
        "  16\n"
        "\"Nothing\"=hex(0):\n"
        "\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Shop\\Empty]\n"
        "\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Shop\\Empty\\Leaf]\n"
        "@=\"x\"\n"
        "\n");
    const std::string path = directory_.File("shop.reg");
    RegFile(store_).Export(shop_, path);
    EXPECT_EQ(Hex(ReadFile(path)), Hex(expected));
    EXPECT_EQ(RegFile(store_).ExportBytes(shop_), expected);
}

TEST_F(RegFileExportTest, ExportImportExportGivesTheSameBytes) {
    const std::string first = directory_.File("first.reg");
    RegFile(store_).Export(shop_, first);

    const auto copy = RegistryStore::OpenAt(directory_.File("copy.db"));
    RegFile(copy).Import(first);
    const std::string second = directory_.File("second.reg");
    RegFile(copy).Export(*copy->FindKey(kMachine, "SOFTWARE\\Shop"), second);
    EXPECT_EQ(ReadFile(second), ReadFile(first));

    RegFile(copy).Import(second);
    const std::string third = directory_.File("third.reg");
    RegFile(copy).Export(*copy->FindKey(kMachine, "SOFTWARE\\Shop"), third);
    EXPECT_EQ(ReadFile(third), ReadFile(first));

    // The stored values came back exactly, not only their text.
    Store().DeleteKey(*Store().FindKey(kMachine, "SOFTWARE\\Other"));
    EXPECT_EQ(Dump(*copy), Dump(Store()));
}

TEST_F(RegFileExportTest, FailedExportLeavesTheTargetAsItWas) {
    const std::string target = directory_.File("keep.reg");
    WriteFile(target, "old content");
    const std::string subdirectory = directory_.File("sub");
    std::filesystem::create_directory(subdirectory);
    Store().SetValue(shop_, "Broken", REG_SZ, std::string("\xFF\xFE\0", 3));
    const std::vector<std::string> files = FilesIn(directory_.Path());

    std::string description;
    EXPECT_EQ(ErrorNumber([&] { RegFile(store_).Export(shop_, target); }, &description), 5005);
    EXPECT_NE(description.find("Broken"), std::string::npos) << description;
    EXPECT_EQ(ReadFile(target), "old content");
    Store().DeleteValue(shop_, "Broken");

    EXPECT_EQ(ErrorNumber([&] { RegFile(store_).Export(shop_, directory_.File("no/such/x.reg")); },
                          &description),
              5005);
    EXPECT_NE(description.find("no/such/x.reg cannot be written"), std::string::npos);
    EXPECT_EQ(ErrorNumber([&] { RegFile(store_).Export(shop_, subdirectory); }), 5005);
    EXPECT_TRUE(std::filesystem::is_empty(subdirectory));
    // No temporary file is left behind by any of the failures.
    EXPECT_EQ(FilesIn(directory_.Path()), files);

    RegFile(store_).Export(shop_, target);
    EXPECT_EQ(ReadFile(target), RegFile(store_).ExportBytes(shop_));
}

TEST_F(RegFileTest, WindowsStationFileImportsAndExportsBackUnchanged) {
    using namespace std::string_literals;
    const std::string original = kRegData + "windows_station.reg";
    RegFile(store_).Import(original);

    const auto value = [&](const char* key, const char* name) {
        const std::optional<RegValue> found = ValueOf(kMachine, key, name);
        EXPECT_TRUE(found) << key << " " << name;
        return found.value_or(RegValue{});
    };
    EXPECT_EQ(value("SOFTWARE\\Korvessa", "").data, "Korvessa Metrology Software\0"s);
    EXPECT_EQ(value("SOFTWARE\\Korvessa", "InstallDir").data,
              "C:\\Program Files\\Korvessa\\Vantreel\\\0"s);
    EXPECT_EQ(value("SOFTWARE\\Korvessa", "Edition").data, "Station \"Pro\"\0"s);
    EXPECT_TRUE(Store().Values(*Store().FindKey(kMachine, "SOFTWARE\\Korvessa\\Probes")).empty());
    EXPECT_EQ(Hex(value("SOFTWARE\\Korvessa\\Probes\\Tip 1", "Calibrated").data), "01000000");
    EXPECT_EQ(value("SOFTWARE\\Korvessa\\Probes\\Tip 1", "Matrix").data.size(), 36u);
    EXPECT_EQ(value("SOFTWARE\\Korvessa\\Probes\\Tip 1", "Serial").type, uint32_t(REG_QWORD));
    EXPECT_EQ(value("SOFTWARE\\Korvessa\\Vantreel", "DataPath").type, uint32_t(REG_EXPAND_SZ));
    EXPECT_EQ(value("SOFTWARE\\Korvessa\\Vantreel", "DataPath").data,
              "%ProgramData%\\Korvessa\\Vantreel\\Data\0"s);
    EXPECT_EQ(value("SOFTWARE\\Korvessa\\Vantreel", "RecentPrograms").data,
              "C:\\Parts\\Bracket.dmi\0D:\\Kunden\\Geh\xC3\xA4use.dmi\0\0"s);
    EXPECT_EQ(Hex(value("SOFTWARE\\Korvessa\\Vantreel", "Language").data), "07040000");
    EXPECT_EQ(value("SOFTWARE\\Korvessa\\Vantreel", "Empty").data, "\0"s);
    EXPECT_EQ(value("SOFTWARE\\Korvessa\\Vantreel",
                    "Gr\xC3\xB6\xC3\x9F"
                    "e")
                  .data,
              "mm\0"s);
    EXPECT_EQ(value("SOFTWARE\\Korvessa\\Vantreel", "NoData").type, uint32_t(REG_NONE));
    EXPECT_EQ(value("SOFTWARE\\Korvessa\\Vantreel", "Flags").type, uint32_t(REG_BINARY));

    const std::string exported = directory_.File("exported.reg");
    RegFile(store_).Export(*Store().FindKey(kMachine, "SOFTWARE\\Korvessa"), exported);
    EXPECT_EQ(Hex(ReadFile(exported)), Hex(ReadFile(original)));
}

// What regedit reads beyond the strict form, as a Windows station's files
// hold it; each file is imported in UTF-16LE with CRLF as regedit writes it.
TEST_F(RegFileTest, ReadsFilesAsRegeditDoes) {
    using namespace std::string_literals;
    struct Case {
        const char* what;
        std::string body;  // below the header
        const char* key;   // below HKEY_LOCAL_MACHINE
        const char* name;
        std::string data;
    };
    const Case cases[] = {
        {"single backslashes stand as written", "[HKLM\\T]\n\"p\"=\"C:\\Temp\\new\"\n", "T", "p",
         "C:\\Temp\\new\0"s},
        {"a backslash before a blank or at a name's end", "[HKLM\\T]\n\"a\\b\"=\"x \\ y\\\\\"\n",
         "T", "a\\b", "x \\ y\\\0"s},
        {"escapes still work", "[HKLM\\T]\n\"q\"=\"say \\\"hi\\\" \\\\server\"\n", "T", "q",
         "say \"hi\" \\server\0"s},
        {"short machine hive", "[HKLM\\SOFTWARE\\Shop]\n\"v\"=\"1\"\n", "SOFTWARE\\Shop", "v",
         "1\0"s},
        {"short classes hive", "[HKCR\\.dmi]\n@=\"Program\"\n", "SOFTWARE\\Classes\\.dmi", "",
         "Program\0"s},
        {"classes hive in any case", "[hkey_classes_root\\.dmo]\n@=\"P\"\n",
         "SOFTWARE\\Classes\\.dmo", "", "P\0"s},
        {"the 32-bit view", "[HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Shop]\n\"v\"=\"32\"\n",
         "SOFTWARE\\Shop", "v", "32\0"s},
        {"comment lines inside a hex list",
         "[HKLM\\T]\n\"b\"=hex:01,02,\\\n; first comment\n  ;second\n  03,\\\n  04\n", "T", "b",
         "\1\2\3\4"s},
        {"a blank line ends a hex list", "[HKLM\\T]\n\"b\"=hex:01,02,\\\n\n\"c\"=\"after\"\n", "T",
         "b", "\1\2"s},
        {"a skipped hive's section ends at the next key",
         "[HKCU\\Software]\n\"v\"=\"user\"\n[HKLM\\T]\n\"v\"=\"machine\"\n", "T", "v",
         "machine\0"s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto store = RegistryStore::OpenAt(directory_.File(std::string(c.what) + ".db"));
        RegFile(store).ImportBytes(Utf16File(kHeader + c.body), "case.reg");
        const std::optional<RegKeyId> key = store->FindKey(kMachine, c.key);
        ASSERT_TRUE(key);
        const std::optional<RegValue> value = store->Value(*key, c.name);
        ASSERT_TRUE(value);
        EXPECT_EQ(Hex(value->data), Hex(c.data));
    }
}

TEST_F(RegFileTest, SectionsOfHivesNotKeptAreSkippedWithOneWarningEach) {
    const std::string file = kHeader +                             // 1-2
                             "[HKEY_CURRENT_USER\\Software\\A]\n"  // 3
                             "\"v\"=\"1\"\n"                       // 4
                             "[-HKCU\\Software\\B]\n"              // 5
                             "[HKLM\\Kept]\n"                      // 6
                             "\"v\"=\"1\"\n"                       // 7
                             "[HKEY_USERS\\S-1-5-18]\n"            // 8
                             "[HKU\\.DEFAULT]\n"                   // 9
                             "[HKCC\\System]\n"                    // 10
                             "[HKEY_CURRENT_CONFIG\\Software]\n"   // 11
                             "[HKEY_DYN_DATA\\PerfStats]\n"        // 12
                             "\"x\"=hex:00\n";                     // 13
    RegFile reader(store_);
    reader.ImportBytes(file, "mixed.reg");
    const std::pair<int, const char*> expected[] = {
        {3, "HKEY_CURRENT_USER"},
        {5, "HKCU"},
        {8, "HKEY_USERS"},
        {9, "HKU"},
        {10, "HKCC"},
        {11, "HKEY_CURRENT_CONFIG"},
        {12, "HKEY_DYN_DATA"},
    };
    ASSERT_EQ(reader.Warnings().size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const std::string& warning = reader.Warnings()[i];
        EXPECT_TRUE(
            warning.starts_with("mixed.reg, line " + std::to_string(expected[i].first) + ": ["))
            << warning;
        EXPECT_NE(warning.find(std::string(expected[i].second) + " is not kept"), std::string::npos)
            << warning;
    }
    EXPECT_TRUE(ValueOf(kMachine, "Kept", "v"));
    ASSERT_EQ(Store().Subkeys(kMachine).size(), 2u);  // Kept and SOFTWARE only

    reader.ImportBytes(kHeader + "[HKLM\\Kept]\n", "plain.reg");
    EXPECT_TRUE(reader.Warnings().empty());
}

// A 64-bit Windows station's export: the library's keys in the 32-bit view,
// COM registrations under HKLM\SOFTWARE\Classes, and sections of the user
// hives. It imports with a warning for each user section, and the library
// reads its configuration and finds its registered components.
TEST_F(RegFileTest, SixtyFourBitStationExportImportsForTheLibrary) {
    RegFile file(store_);
    file.Import(kRegData + "windows64_station.reg");
    ASSERT_EQ(file.Warnings().size(), 3u);
    EXPECT_NE(file.Warnings()[0].find("line 40: [HKEY_CURRENT_USER\\Software\\Korvessa\\Vantreel]"),
              std::string::npos)
        << file.Warnings()[0];
    EXPECT_NE(file.Warnings()[1].find("line 54: [HKEY_USERS\\"), std::string::npos);
    EXPECT_NE(file.Warnings()[2].find("line 57: [HKCU\\Software\\Classes"), std::string::npos);

    EXPECT_EQ(GetRepositoryRoot("Tellurim"), "E:\\Operator parts");
    EXPECT_EQ(GetRepositoryRoot("Sobrel"), "D:\\Parts");
    EXPECT_EQ(GetInstallDirectory(), "C:\\Program Files (x86)\\Korvessa\\Tellurim");
    RegEntry registry;
    EXPECT_EQ(registry.GetClassID("Korvessa.ProbeEditor"),
              "{6A3F2B10-4C1D-4E7A-9B21-0F6C8D2E5A11}");
    EXPECT_EQ(registry.GetClassID("Korvessa.Private"), "");  // from HKCU: not kept
    const std::optional<RegKeyId> server =
        Store().FindKey(kClasses, "CLSID\\{6A3F2B10-4C1D-4E7A-9B21-0F6C8D2E5A11}\\InprocServer32");
    ASSERT_TRUE(server);
    EXPECT_EQ(Store().Value(*server, "")->data,
              std::string("C:\\Program Files (x86)\\Korvessa\\ProbeEditor.dll") + '\0');
    registry.OpenKey("Common\\Addons");
    std::vector<std::string> addons;
    EXPECT_EQ(registry.Query(addons), 1);
    registry.OpenKey("Machines");
    std::vector<std::string> machines;
    registry.Query(machines);
    EXPECT_EQ(machines, (std::vector<std::string>{"A1", "m10", "M2"}));
    registry.OpenKey("Machines\\A1");
    std::vector<std::array<std::string, 3>> values;
    EXPECT_EQ(registry.QueryValues(values), 2);
    EXPECT_EQ(ValueOf(kMachine, "SOFTWARE\\Korvessa\\Machines\\A1", "Matrix")->data.size(), 26u);
}

TEST_F(RegFileTest, Regedit4StationWithShortHivesAndUserSectionsImports) {
    // Windows-1252 bytes, CRLF, as an older station's regedit wrote them.
    const std::string file =
        "REGEDIT4\r\n\r\n"
        "[HKLM\\SOFTWARE\\Korvessa\\Common]\r\n"
        "\"RepositoryRoot\"=\"C:\\Teile\\Gr\xF6\xDF"
        "e\"\r\n"
        "\r\n"
        "[HKEY_CURRENT_USER\\Software\\Korvessa]\r\n"
        "\"Last\"=\"x\"\r\n"
        "\r\n"
        "[HKCR\\Korvessa.Part\\Clsid]\r\n"
        "@=\"{AB}\"\r\n";
    RegFile reader(store_);
    reader.ImportBytes(file, "old.reg");
    ASSERT_EQ(reader.Warnings().size(), 1u);
    EXPECT_NE(reader.Warnings()[0].find("line 6"), std::string::npos) << reader.Warnings()[0];
    EXPECT_EQ(GetRepositoryRoot("Sobrel"),
              "C:\\Teile\\Gr\xC3\xB6\xC3\x9F"
              "e");
    EXPECT_EQ(RegEntry().GetClassID("Korvessa.Part"), "{AB}");
}

TEST_F(RegFileExportTest, ClassesRootExportsUnderTheHiveItWasNamedBy) {
    const RegKeyId progId = Store().CreatePath(kClasses, "Korvessa.Part");
    Store().SetValue(Store().CreateKey(progId, "Clsid"), "", REG_SZ, std::string("{1}\0", 4));
    Store().CreateKey(progId, "A first");  // created later, listed first
    const std::string asClasses = RegFile(store_).ExportBytes(progId, RegHive::ClassesRoot);
    EXPECT_EQ(asClasses, Utf16File("Windows Registry Editor Version 5.00\n\n"
                                   "[HKEY_CLASSES_ROOT\\Korvessa.Part]\n\n"
                                   "[HKEY_CLASSES_ROOT\\Korvessa.Part\\A first]\n\n"
                                   "[HKEY_CLASSES_ROOT\\Korvessa.Part\\Clsid]\n"
                                   "@=\"{1}\"\n\n"));
    const std::string asMachine = RegFile(store_).ExportBytes(progId);
    EXPECT_NE(asMachine.find(
                  Utf16File("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Korvessa.Part]").substr(2)),
              std::string::npos);
    // Each form imports back into the same key.
    for (const std::string& bytes : {asClasses, asMachine}) {
        const auto copy =
            RegistryStore::OpenAt(directory_.File("copy" + std::to_string(bytes.size()) + ".db"));
        RegFile(copy).ImportBytes(bytes, "classes.reg");
        EXPECT_TRUE(copy->FindKey(kClasses, "Korvessa.Part\\Clsid"));
    }
}

}  // namespace
}  // namespace vantreel::test
