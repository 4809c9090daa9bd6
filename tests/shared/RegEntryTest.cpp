#include "common/TestRegistry.h"

#include "shared/Resources.h"

#include <gtest/gtest.h>

#include <fstream>

namespace vantreel::test {
namespace {

class RegEntryTest : public RegistryTest {
  protected:
    void SetUp() override {
        RegistryTest::SetUp();
        setenv("VANTREEL_DATA_DIR", VANTREEL_RESOURCES, 1);
        int32_t english = 1033;
        SetLanguage(english);
    }
    void TearDown() override {
        unsetenv("VANTREEL_DATA_DIR");
        RegistryTest::TearDown();
    }
    // The key below HKLM\SOFTWARE\Korvessa.
    RegKeyId Key(const std::string& path) {
        return *Store().FindKey(RegistryStore::Root(RegHive::LocalMachine),
                                "SOFTWARE\\Korvessa\\" + path);
    }
};

TEST_F(RegEntryTest, OpenKeyTrimsBlanksAndTrailingBackslashes) {
    Set("Common", "DefaultLanguage", "1031");
    RegEntry registry;
    registry.OpenKey("  Common\\\\  ");
    EXPECT_EQ(registry.GetString("DefaultLanguage"), "1031");
    registry.OpenKey("common");  // names ignore letter case
    EXPECT_EQ(registry.GetString("defaultlanguage"), "1031");
}

TEST_F(RegEntryTest, CreateKeyKeepsBlanksAndCreatesEveryComponent) {
    RegEntry registry;
    registry.CreateKey("Machines\\CMM 1\\Probe ");
    EXPECT_TRUE(registry.TestKey("Machines\\CMM 1\\Probe "));
    EXPECT_FALSE(registry.TestKey("Machines\\CMM 1\\Probe\\x"));
    std::vector<std::string> names;
    registry.OpenKey("Machines\\CMM 1");
    EXPECT_EQ(registry.Query(names), 1);
    EXPECT_EQ(names, std::vector<std::string>{"Probe "});
}

TEST_F(RegEntryTest, MissingKeyRaises5001WithItsName) {
    RegEntry registry;
    std::string description;
    EXPECT_EQ(ErrorNumber([&] { registry.OpenKey("Nowhere"); }, &description), 5001);
    EXPECT_NE(description.find("SOFTWARE\\Korvessa\\Nowhere"), std::string::npos) << description;
    EXPECT_FALSE(registry.IsOpen());
    try {
        registry.OpenKey("Nowhere");
    } catch (const Error& error) {
        EXPECT_EQ(error.Source(), "RegEntry.OpenInternal");
    }
}

TEST_F(RegEntryTest, EmptyStringDeletesTheValue) {
    Set("Common", "StartupApp", "Sobrel");
    RegEntry registry;
    registry.OpenKey("Common");
    registry.SetString("StartupApp", "");
    EXPECT_EQ(registry.GetString("StartupApp"), "");
    EXPECT_FALSE(Store().Value(Key("Common"), "StartupApp"));
}

TEST_F(RegEntryTest, Booleans) {
    RegEntry registry;
    registry.CreateKey("Users\\Anna");
    const std::pair<const char*, bool> cases[] = {
        {"No", false}, {"nO", false}, {"false", false}, {"FALSE", false}, {"0", false},
        {"yes", true}, {"1", true},   {"true", true},   {"00", true},     {" ", true},
    };
    for (const auto& [text, expected] : cases) {
        registry.SetString("Flag", text);
        EXPECT_EQ(registry.GetBoolean("Flag"), expected) << "'" << text << "'";
    }
    EXPECT_FALSE(registry.GetBoolean("Missing"));
    registry.SetBoolean("Flag", true);
    EXPECT_EQ(registry.GetString("Flag"), "true");
    registry.SetBoolean("Flag", false);
    EXPECT_EQ(registry.GetString("Flag"), "false");
}

TEST_F(RegEntryTest, ValuesThatDoNotFitTheReadBufferReadEmpty) {
    RegEntry registry;
    registry.CreateKey("Common");
    registry.SetString("Long", std::string(254, 'x'));
    EXPECT_EQ(registry.GetString("Long").size(), 254u);
    registry.SetString("Long", std::string(255, 'x'));
    EXPECT_EQ(registry.GetString("Long"), "");
    // A value stored with its terminating NUL (as imported) loses exactly one NUL.
    const RegKeyId key = Key("Common");
    Store().SetValue(key, "Terminated", REG_SZ, std::string(254, 'y') + '\0');
    EXPECT_EQ(registry.GetString("Terminated"), std::string(254, 'y'));
    Store().SetValue(key, "Two", REG_SZ, std::string("ab\0\0", 4));
    EXPECT_EQ(registry.GetString("Two"), std::string("ab\0", 3));
}

TEST_F(RegEntryTest, QueryValuesGivesOneColumnPerValueAndAnEmptyLastOne) {
    RegEntry registry;
    std::vector<std::array<std::string, 3>> values;
    EXPECT_EQ(registry.QueryValues(values), 0);  // no key open
    EXPECT_EQ(values.size(), 1u);

    registry.CreateKey("Machines\\M1");
    registry.SetString("Name", "Left CMM");
    registry.SetString("Serial", "4711");
    registry.SetString("Axis", "3");
    EXPECT_EQ(registry.QueryValues(values), 3);
    ASSERT_EQ(values.size(), 4u);
    EXPECT_EQ(values[0][0], "Name");
    EXPECT_EQ(values[0][1], "Left CMM");
    EXPECT_EQ(values[2][0], "Axis");
    EXPECT_EQ(values[1][2], "");
    EXPECT_EQ(values[3], (std::array<std::string, 3>{}));
}

TEST_F(RegEntryTest, CopyReproducesTheTreeWithEveryValueAsText) {
    RegEntry registry;
    registry.CreateKey("StandardMachines\\Bridge\\Probe\\Tip");
    registry.SetString("Diameter", "2");
    registry.CreateKey("StandardMachines\\Bridge");
    registry.SetString("Name", "Bridge CMM");
    const RegKeyId bridge = Key("StandardMachines\\Bridge");
    Store().SetValue(bridge, "Axes", REG_DWORD, std::string("\x03\x00\x00\x00", 4));

    registry.Copy("Machines\\New");
    EXPECT_EQ(registry.GetString("Name"), "Bridge CMM");  // the source stays open
    const RegKeyId copy = Key("Machines\\New");
    const std::optional<RegValue> axes = Store().Value(copy, "Axes");
    ASSERT_TRUE(axes);
    EXPECT_EQ(axes->type, REG_SZ);
    EXPECT_EQ(axes->data, std::string("\x03\x00\x00\x00", 4));
    RegEntry check;
    check.OpenKey("Machines\\New\\Probe\\Tip");
    EXPECT_EQ(check.GetString("Diameter"), "2");
}

TEST_F(RegEntryTest, CopyIntoItsOwnSubtreeFailsAndChangesNothing) {
    RegEntry registry;
    registry.CreateKey("Machines\\M1");
    registry.SetString("Name", "M1");
    EXPECT_EQ(ErrorNumber([&] { registry.Copy("Machines\\M1\\Inner"); }), 5000);
    EXPECT_FALSE(registry.TestKey("Machines\\M1\\Inner"));
    EXPECT_EQ(registry.GetString("Name"), "M1");
}

TEST_F(RegEntryTest, DeleteKeyRemovesTheSubtree) {
    RegEntry registry;
    registry.CreateKey("Machines\\M1\\Deep\\Deeper");
    registry.SetString("X", "1");
    registry.OpenKey("Machines");
    registry.DeleteKey("m1");
    EXPECT_FALSE(registry.TestKey("Machines\\M1"));
    EXPECT_TRUE(registry.TestKey("Machines"));
    EXPECT_EQ(ErrorNumber([&] { registry.DeleteKey("M1"); }), 5001);
}

TEST_F(RegEntryTest, TestKeyLeavesTheOpenKeyAlone) {
    Set("Common", "RepositoryRoot", "/parts");
    RegEntry registry;
    registry.OpenKey("Common");
    EXPECT_FALSE(registry.TestKey("Missing"));
    EXPECT_TRUE(registry.TestKey("Common"));
    EXPECT_EQ(registry.GetString("RepositoryRoot"), "/parts");
}

TEST_F(RegEntryTest, ValueOperationsWithoutAnOpenKeyDoNothing) {
    RegEntry registry;
    registry.SetString("A", "B");
    registry.DeleteValue("A");
    registry.DeleteKey("A");
    registry.Copy("A");
    std::vector<std::string> names{"kept"};
    EXPECT_EQ(registry.Query(names), 0);
    EXPECT_EQ(names.size(), 1u);
    EXPECT_EQ(registry.GetString("A"), "");
    EXPECT_FALSE(registry.GetBoolean("A"));
    EXPECT_FALSE(registry.TestKey("A"));
}

TEST_F(RegEntryTest, InternationalValuesFallBackToThePlainName) {
    RegEntry registry;
    registry.CreateKey("Machines\\M1");
    registry.SetString("Name", "Left machine");
    registry.SetString("DEUName", "Linke Maschine");
    EXPECT_EQ(registry.GetStringInternational("Name", 1031), "Linke Maschine");
    EXPECT_EQ(registry.GetStringInternational("Name", 1036), "Left machine");
    EXPECT_EQ(registry.GetStringInternational("Name", 1033), "Left machine");
}

TEST_F(RegEntryTest, DefaultRootMovesRelativePaths) {
    RegEntry registry;
    registry.SetDefaultRoot("SOFTWARE\\Other");
    registry.CreateKey("Setup");
    registry.SetString("ProductDir", "/opt/vb");
    EXPECT_TRUE(
        Store().FindKey(RegistryStore::Root(RegHive::LocalMachine), "SOFTWARE\\Other\\Setup"));
    EXPECT_FALSE(RegEntry().TestKey("Setup"));
}

TEST_F(RegEntryTest, ClassIdsLiveUnderClassesRoot) {
    RegistryStore& store = Store();
    const RegKeyId classes = RegistryStore::Root(RegHive::ClassesRoot);
    const auto create = [&](const char* path) { return store.CreatePath(classes, path); };
    store.SetValue(create("Ulmaret.Part\\Clsid"), "", REG_SZ, std::string("{1234}\0", 7));
    store.SetValue(create("CLSID\\{1234}\\TypeLib"), "", REG_SZ, std::string("{TLB}\0", 6));
    create("CLSID\\{1234}\\InprocServer32");
    create("TypeLib\\{TLB}\\1.0");
    create("CLSID\\{OTHER}");

    RegEntry registry;
    EXPECT_EQ(registry.GetClassID("Ulmaret.Part"), "{1234}");
    EXPECT_EQ(registry.GetClassID("Unknown.Thing"), "");
    registry.RemoveProgID("Ulmaret.Part");
    EXPECT_EQ(registry.GetClassID("Ulmaret.Part"), "");
    EXPECT_FALSE(store.FindKey(classes, "Ulmaret.Part"));
    EXPECT_FALSE(store.FindKey(classes, "CLSID\\{1234}"));
    EXPECT_FALSE(store.FindKey(classes, "TypeLib\\{TLB}"));
    EXPECT_TRUE(store.FindKey(classes, "CLSID\\{OTHER}"));
    registry.RemoveProgID("Ulmaret.Part");  // a second time: nothing left, no error
}

TEST_F(RegEntryTest, QueryListsSubkeysInWindowsOrder) {
    for (const char* machine : {"m10", "M2", "Bridge", "_Spare", "arm"}) {
        Set("Machines\\" + std::string(machine), "Name", machine);
    }
    RegEntry registry;
    registry.OpenKey("Machines");
    std::vector<std::string> names;
    EXPECT_EQ(registry.Query(names), 5);
    EXPECT_EQ(names, (std::vector<std::string>{"arm", "Bridge", "m10", "M2", "_Spare"}));
}

// A registry that cannot be reached cannot have keys created (5000) or
// opened (5001); the registry's own error number does not leak out.
TEST_F(RegEntryTest, UnreachableRegistryRaisesTheKeyErrors) {
    TempDirectory directory;
    const std::string damaged = directory.File("damaged.db");
    std::ofstream(damaged) << std::string(4096, 'x');
    const std::string blocker = directory.File("file");
    std::ofstream(blocker) << "a file where a directory should be";
    const std::pair<const char*, std::string> cases[] = {
        {"damaged database", damaged},
        {"below a regular file", blocker + "/registry.db"},
        {"in a directory that cannot be made", "/proc/vantreel/registry.db"},
    };
    for (const auto& [what, path] : cases) {
        SCOPED_TRACE(what);
        RegEntry registry(std::make_shared<RegistryStore>(path));
        std::string description;
        EXPECT_EQ(ErrorNumber([&] { registry.CreateKey("Common\\Addons"); }, &description), 5000);
        EXPECT_NE(description.find("Common\\Addons"), std::string::npos) << description;
        EXPECT_FALSE(registry.IsOpen());
        EXPECT_EQ(ErrorNumber([&] { registry.OpenKey("Common"); }), 5001);
        EXPECT_FALSE(registry.TestKey("Common"));
    }
}

// COM registrations exported from HKLM\SOFTWARE\Classes (and its 32-bit
// view) are found through HKEY_CLASSES_ROOT, and the station's configuration
// through its 32-bit view.
TEST_F(RegEntryTest, ClassesAndSettingsAreFoundThroughTheirViews) {
    RegistryStore& store = Store();
    const RegKeyId machine = RegistryStore::Root(RegHive::LocalMachine);
    store.SetValue(store.CreatePath(machine, "SOFTWARE\\Classes\\Korvessa.Editor\\Clsid"), "",
                   REG_SZ, std::string("{E1}\0", 5));
    store.SetValue(store.CreatePath(machine, "SOFTWARE\\WOW6432Node\\Classes\\CLSID\\{E1}"), "",
                   REG_SZ, std::string("Editor\0", 7));
    store.SetValue(store.CreatePath(machine, "SOFTWARE\\WOW6432Node\\Korvessa\\Common"),
                   "RepositoryRoot", REG_SZ, std::string("D:\\Parts\0", 9));

    RegEntry registry;
    EXPECT_EQ(registry.GetClassID("Korvessa.Editor"), "{E1}");
    registry.OpenKey("Common");
    EXPECT_EQ(registry.GetString("RepositoryRoot"), "D:\\Parts");
    registry.RemoveProgID("Korvessa.Editor");
    EXPECT_FALSE(store.FindKey(machine, "SOFTWARE\\Classes\\Korvessa.Editor"));
    EXPECT_FALSE(store.FindKey(machine, "SOFTWARE\\Classes\\CLSID\\{E1}"));
}

}  // namespace
}  // namespace vantreel::test
