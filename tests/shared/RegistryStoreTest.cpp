#include "common/ChildProcesses.h"
#include "common/TestRegistry.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <fstream>

namespace vantreel::test {
namespace {

const RegKeyId kMachine = RegistryStore::Root(RegHive::LocalMachine);
const RegKeyId kClasses = RegistryStore::Root(RegHive::ClassesRoot);

TEST(RegistryStoreFile, MissingDatabaseReadsEmptyAndFirstWriteCreatesIt) {
    TempDirectory directory;
    const std::string path = directory.File("var/lib/registry.db");
    RegistryStore store(path);
    // An empty registry holds the keys every Windows registry has.
    EXPECT_TRUE(store.FindKey(kMachine, ""));
    EXPECT_EQ(store.FindKey(kMachine, "software\\classes"), kClasses);
    EXPECT_EQ(store.FindKey(kMachine, "SOFTWARE\\WOW6432Node\\Classes"), kClasses);
    EXPECT_FALSE(store.FindKey(kMachine, "SOFTWARE\\Korvessa"));
    ASSERT_EQ(store.Subkeys(kMachine).size(), 1u);
    EXPECT_EQ(store.Subkeys(kMachine)[0].name, "SOFTWARE");
    EXPECT_TRUE(store.Subkeys(kClasses).empty());
    EXPECT_EQ(store.Depth(kClasses), 2);
    EXPECT_FALSE(store.DeleteValue(kMachine, "x"));
    EXPECT_FALSE(std::filesystem::exists(path));  // reading creates nothing

    const RegKeyId software = *store.FindKey(kMachine, "SOFTWARE");
    const RegKeyId korvessa = store.CreateKey(software, "Korvessa");
    EXPECT_TRUE(std::filesystem::exists(path));
    // The keys the empty registry showed are the ones the database holds.
    RegistryStore again(path);
    EXPECT_EQ(again.FindKey(kMachine, "software"), software);
    EXPECT_EQ(again.FindKey(kMachine, "software\\korvessa"), korvessa);
    EXPECT_EQ(again.Parent(kClasses), software);
}

TEST(RegistryStoreFile, DamagedDatabaseGivesClearError) {
    TempDirectory directory;
    const std::string path = directory.File("registry.db");
    std::ofstream(path) << "this is not a database, just text that is long enough to look at";
    RegistryStore store(path);
    std::string description;
    EXPECT_EQ(ErrorNumber([&] { (void)store.FindKey(kMachine, "SOFTWARE"); }, &description), 5003);
    EXPECT_NE(description.find(path), std::string::npos) << description;
    EXPECT_EQ(ErrorNumber([&] { store.CreateKey(kMachine, "SOFTWARE"); }), 5003);
}

class RegistryStoreTest : public RegistryTest {};

// Subkeys as a Windows hive lists them: by their upper-case name, so "_"
// follows the letters and digits come first; values keep creation order.
TEST_F(RegistryStoreTest, NamesIgnoreCaseKeepTheirCaseAndEnumerateAsWindowsDoes) {
    RegistryStore& store = Store();
    const RegKeyId software = store.CreateKey(kMachine, "Tools");
    for (const char* name :
         {"Zeta", "alpha", "Mid", "_last", "Beta", "beta2", "10", "9", "ALPHA1"}) {
        store.CreateKey(software, name);
    }
    EXPECT_EQ(store.CreateKey(kMachine, "TOOLS"), software);
    std::vector<std::string> names;
    for (const RegSubkey& subkey : store.Subkeys(software)) {
        names.push_back(subkey.name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"10", "9", "alpha", "ALPHA1", "Beta", "beta2", "Mid",
                                               "Zeta", "_last"}));

    store.SetValue(software, "B", REG_SZ, "1");
    store.SetValue(software, "a", REG_DWORD, std::string("\1\0\0\0", 4));
    store.SetValue(software, "b", REG_SZ, "2");  // replaces B in place, keeps its name
    const std::vector<RegValue> values = store.Values(software);
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[0].name, "B");
    EXPECT_EQ(values[0].data, "2");
    EXPECT_EQ(values[1].type, REG_DWORD);
    EXPECT_EQ(store.Value(software, "A")->data, std::string("\1\0\0\0", 4));
}

TEST_F(RegistryStoreTest, DeleteKeyTakesTheWholeTree) {
    RegistryStore& store = Store();
    const RegKeyId top = store.CreateKey(kMachine, "Top");
    const RegKeyId inner = store.CreateKey(store.CreateKey(top, "A"), "B");
    store.SetValue(inner, "V", REG_SZ, "x");
    store.DeleteKey(top);
    EXPECT_FALSE(store.KeyExists(inner));
    EXPECT_FALSE(store.Value(inner, "V"));
    EXPECT_EQ(ErrorNumber([&] { store.SetValue(inner, "V", REG_SZ, "y"); }), 5002);
    EXPECT_EQ(ErrorNumber([&] { store.DeleteKey(kMachine); }), 5001);
}

TEST_F(RegistryStoreTest, FailedTransactionWritesNothing) {
    RegistryStore& store = Store();
    const RegKeyId key = store.CreateKey(kMachine, "Key");
    EXPECT_THROW(store.Transaction([&] {
        store.SetValue(key, "First", REG_SZ, "1");
        store.CreateKey(key, "Child");
        throw Error(1, "test", "stop");
    }),
                 Error);
    EXPECT_FALSE(store.Value(key, "First"));
    EXPECT_FALSE(store.FindKey(key, "Child"));
}

TEST_F(RegistryStoreTest, InvalidKeyNamesAreRefused) {
    for (const std::string& name : {std::string(), std::string("a\\b"), std::string(256, 'k')}) {
        EXPECT_EQ(ErrorNumber([&] { Store().CreateKey(kMachine, name); }), 5000) << name;
    }
    EXPECT_NO_THROW(Store().CreateKey(kMachine, std::string(255, 'k')));
}

// Two processes write the same key at the same time; every value lands.
TEST_F(RegistryStoreTest, ConcurrentWritersLoseNothing) {
    const RegKeyId key = Store().CreateKey(kMachine, "Shared");
    store_.reset();  // no connection of this process may live on in the children
    RegistryStore::ForgetThreadStores();
    constexpr int kWrites = 150;
    std::vector<std::function<void()>> writers;
    for (int child = 0; child < 2; ++child) {
        writers.push_back([&, child] {
            RegistryStore store(databasePath());  // a connection of this process
            for (int i = 0; i < kWrites; ++i) {
                store.SetValue(key, "P" + std::to_string(child) + "-" + std::to_string(i), REG_SZ,
                               std::to_string(i));
            }
        });
    }
    RunInChildren(writers);
    store_ = RegistryStore::Open();
    EXPECT_EQ(Store().Values(key).size(), 2u * kWrites);
}

// One key reached by every path that names it on a 64-bit Windows station.
TEST_F(RegistryStoreTest, WowNodeAndClassesRootAreViewsOfOneTree) {
    struct Case {
        RegHive createdIn;
        const char* createdAs;
        RegHive foundIn;
        const char* foundAs;
    };
    const Case cases[] = {
        {RegHive::LocalMachine, "SOFTWARE\\WOW6432Node\\Korvessa\\Common", RegHive::LocalMachine,
         "SOFTWARE\\Korvessa\\Common"},
        {RegHive::LocalMachine, "software\\Korvessa\\Users", RegHive::LocalMachine,
         "SOFTWARE\\wow6432node\\korvessa\\users"},
        {RegHive::ClassesRoot, "Korvessa.Part\\Clsid", RegHive::LocalMachine,
         "SOFTWARE\\Classes\\Korvessa.Part\\Clsid"},
        {RegHive::LocalMachine, "SOFTWARE\\Classes\\Korvessa.Folder", RegHive::ClassesRoot,
         "Korvessa.Folder"},
        {RegHive::LocalMachine, "SOFTWARE\\WOW6432Node\\Classes\\Korvessa.Export",
         RegHive::ClassesRoot, "Korvessa.Export"},
        {RegHive::ClassesRoot, "WOW6432Node\\CLSID\\{1}\\InprocServer32", RegHive::ClassesRoot,
         "CLSID\\{1}\\InprocServer32"},
        {RegHive::LocalMachine, "SOFTWARE\\Classes\\Wow6432Node\\CLSID\\{2}", RegHive::LocalMachine,
         "SOFTWARE\\WOW6432Node\\Classes\\CLSID\\{2}"},
    };
    RegistryStore& store = Store();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.createdAs);
        const RegKeyId created = store.CreatePath(RegistryStore::Root(c.createdIn), c.createdAs);
        EXPECT_EQ(store.FindKey(RegistryStore::Root(c.foundIn), c.foundAs), created);
    }
    // No WOW6432Node key is ever listed: it is the key it sits in.
    const RegKeyId software = *store.FindKey(kMachine, "SOFTWARE");
    for (const RegKeyId parent : {software, kClasses}) {
        for (const RegSubkey& subkey : store.Subkeys(parent)) {
            EXPECT_NE(FoldRegistryName(subkey.name), "WOW6432NODE");
        }
    }
    // Elsewhere it is a key like any other.
    const RegKeyId korvessa = *store.FindKey(kMachine, "SOFTWARE\\Korvessa");
    const RegKeyId inner = store.CreateKey(korvessa, "WOW6432Node");
    EXPECT_NE(inner, korvessa);
    EXPECT_EQ(store.Subkeys(korvessa).back().name, "WOW6432Node");
}

TEST_F(RegistryStoreTest, HivesAndTheKeysHoldingThemCannotBeDeleted) {
    RegistryStore& store = Store();
    const RegKeyId progId = store.CreatePath(kClasses, "Korvessa.Part\\Clsid");
    const RegKeyId software = *store.FindKey(kMachine, "SOFTWARE");
    for (const RegKeyId key : {kMachine, kClasses, software}) {
        std::string description;
        EXPECT_EQ(ErrorNumber([&] { store.DeleteKey(key); }, &description), 5001) << key;
        EXPECT_FALSE(description.empty());
    }
    EXPECT_TRUE(store.KeyExists(progId));
    store.DeleteKey(*store.FindKey(kMachine, "SOFTWARE\\Classes\\Korvessa.Part"));
    EXPECT_FALSE(store.KeyExists(progId));
    EXPECT_TRUE(store.KeyExists(kClasses));
}

// Windows' limits: 512 levels, key names of 255 and value names of 16383
// UTF-16 characters (a character beyond the BMP counts twice).
TEST_F(RegistryStoreTest, WindowsLimitsHoldOnEveryCreatingPath) {
    RegistryStore& store = Store();
    std::string path;
    for (int level = 1; level <= kMaxKeyDepth; ++level) {
        path += "k\\";
    }
    const RegKeyId deepest = store.CreatePath(kMachine, path);
    EXPECT_EQ(store.Depth(deepest), kMaxKeyDepth);
    EXPECT_EQ(ErrorNumber([&] { store.CreateKey(deepest, "one more"); }), 5000);
    // HKEY_CLASSES_ROOT lies two levels down already.
    EXPECT_EQ(ErrorNumber([&] { store.CreatePath(kClasses, path); }), 5000);
    EXPECT_FALSE(store.FindKey(kClasses, "k"));  // the failed path left nothing behind

    const std::string umlaut = "\xC3\xA4";          // one character, two bytes
    const std::string smiley = "\xF0\x9F\x98\x80";  // two UTF-16 characters
    struct NameCase {
        std::string name;
        bool keyFits;
    };
    std::string umlauts;
    for (int i = 0; i < 255; ++i) {
        umlauts += umlaut;
    }
    std::string smileys;
    for (int i = 0; i < 128; ++i) {
        smileys += smiley;
    }
    const NameCase names[] = {
        {std::string(255, 'k'), true}, {std::string(256, 'k'), false},           {umlauts, true},
        {umlauts + "k", false},        {smileys.substr(0, 127 * 4) + "k", true}, {smileys, false},
    };
    for (const NameCase& c : names) {
        EXPECT_EQ(ErrorNumber([&] { store.CreateKey(kMachine, c.name); }), c.keyFits ? 0 : 5000)
            << c.name.size();
    }
    EXPECT_EQ(RegistryNameLength(umlauts), 255u);
    EXPECT_EQ(RegistryNameLength(smileys), 256u);

    const RegKeyId key = store.CreateKey(kMachine, "Values");
    EXPECT_EQ(ErrorNumber(
                  [&] { store.SetValue(key, std::string(kMaxValueNameLength, 'v'), REG_SZ, "x"); }),
              0);
    EXPECT_EQ(ErrorNumber([&] {
                  store.SetValue(key, std::string(kMaxValueNameLength + 1, 'v'), REG_SZ, "x");
              }),
              5002);
    EXPECT_EQ(store.Values(key).size(), 1u);
}

// A registry written before the views were kept: its separate
// HKEY_CLASSES_ROOT tree and its WOW6432Node keys are merged on first use.
TEST(RegistryStoreFile, EarlierLayoutIsMergedIntoTheViews) {
    TempDirectory directory;
    const std::string path = directory.File("old.db");
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    const char* old = R"sql(
        PRAGMA journal_mode=WAL;
        CREATE TABLE reg_keys(id INTEGER PRIMARY KEY, parent INTEGER, name TEXT NOT NULL,
            folded TEXT NOT NULL, UNIQUE(parent, folded));
        CREATE TABLE reg_values(id INTEGER PRIMARY KEY, key INTEGER NOT NULL, name TEXT NOT NULL,
            folded TEXT NOT NULL, type INTEGER NOT NULL, data BLOB NOT NULL, UNIQUE(key, folded));
        INSERT INTO reg_keys VALUES (1, NULL, 'HKEY_LOCAL_MACHINE', 'HKEY_LOCAL_MACHINE'),
            (2, NULL, 'HKEY_CLASSES_ROOT', 'HKEY_CLASSES_ROOT'),
            (3, 2, 'Korvessa.Part', 'KORVESSA.PART'),
            (4, 1, 'Software', 'SOFTWARE'),
            (5, 4, 'Classes', 'CLASSES'),
            (6, 5, 'KORVESSA.PART', 'KORVESSA.PART'),
            (7, 5, 'Other.Class', 'OTHER.CLASS'),
            (8, 4, 'Wow6432Node', 'WOW6432NODE'),
            (9, 8, 'Korvessa', 'KORVESSA'),
            (10, 4, 'Korvessa', 'KORVESSA'),
            (11, 9, 'Common', 'COMMON'),
            (12, 10, 'Common', 'COMMON');
        INSERT INTO reg_values VALUES
            (1, 3, 'Shared', 'SHARED', 1, 'classes root'),
            (2, 6, 'Shared', 'SHARED', 1, 'software classes'),
            (3, 6, 'Only', 'ONLY', 1, 'software classes'),
            (4, 11, 'RepositoryRoot', 'REPOSITORYROOT', 1, 'wow'),
            (5, 12, 'RepositoryRoot', 'REPOSITORYROOT', 1, 'native'),
            (6, 12, 'Native', 'NATIVE', 1, 'kept');
    )sql";
    ASSERT_EQ(sqlite3_exec(db, old, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);

    RegistryStore store(path);
    const auto text = [&](RegHive hive, const char* key, const char* name) {
        const std::optional<RegKeyId> id = store.FindKey(RegistryStore::Root(hive), key);
        const std::optional<RegValue> value = id ? store.Value(*id, name) : std::nullopt;
        return value ? value->data : std::string("(missing)");
    };
    EXPECT_EQ(text(RegHive::ClassesRoot, "Korvessa.Part", "Shared"), "classes root");
    EXPECT_EQ(text(RegHive::ClassesRoot, "Korvessa.Part", "Only"), "software classes");
    EXPECT_EQ(text(RegHive::ClassesRoot, "Other.Class", ""), "(missing)");
    EXPECT_TRUE(store.FindKey(kClasses, "Other.Class"));
    EXPECT_EQ(text(RegHive::LocalMachine, "SOFTWARE\\Korvessa\\Common", "RepositoryRoot"), "wow");
    EXPECT_EQ(text(RegHive::LocalMachine, "SOFTWARE\\Korvessa\\Common", "Native"), "kept");
    EXPECT_EQ(store.Parent(kClasses), store.FindKey(kMachine, "SOFTWARE"));
    std::vector<std::string> software;
    for (const RegSubkey& subkey : store.Subkeys(*store.FindKey(kMachine, "SOFTWARE"))) {
        software.push_back(subkey.name);
    }
    EXPECT_EQ(software, (std::vector<std::string>{"Classes", "Korvessa"}));
    ASSERT_EQ(store.Subkeys(kMachine).size(), 1u);
}

// A long copy and short writes of other processes at the same time: the
// writers wait for the copy's one transaction and every write lands.
TEST_F(RegistryStoreTest, WritersWaitForALongCopyAndSucceed) {
    {
        RegEntry registry;
        for (int i = 0; i < 40; ++i) {
            for (int j = 0; j < 40; ++j) {
                registry.CreateKey("Big\\K" + std::to_string(i) + "\\L" + std::to_string(j));
                registry.SetString("V", std::to_string(j));
            }
        }
    }
    store_.reset();
    RegistryStore::ForgetThreadStores();
    constexpr int kWrites = 100;
    RunInChildren({[] {
                       RegEntry registry;
                       for (int copy = 0; copy < 4; ++copy) {
                           registry.OpenKey("Big");
                           registry.Copy("Copy" + std::to_string(copy));
                       }
                   },
                   [] {
                       RegEntry registry;
                       registry.CreateKey("Small");
                       for (int i = 0; i < kWrites; ++i) {
                           registry.SetString("W" + std::to_string(i), "x");
                       }
                   }});
    store_ = RegistryStore::Open();
    RegEntry registry;
    registry.OpenKey("Small");
    std::vector<std::array<std::string, 3>> values;
    EXPECT_EQ(registry.QueryValues(values), kWrites);
    registry.OpenKey("Copy3");
    std::vector<std::string> keys;
    EXPECT_EQ(registry.Query(keys), 40);
}

TEST(RegHives, NamesShortNamesAndWhatIsKept) {
    const std::tuple<const char*, std::optional<RegHive>, bool> cases[] = {
        {"HKEY_LOCAL_MACHINE", RegHive::LocalMachine, true},
        {"hklm", RegHive::LocalMachine, true},
        {"HKCR", RegHive::ClassesRoot, true},
        {"Hkey_Classes_Root", RegHive::ClassesRoot, true},
        {"HKCU", RegHive::CurrentUser, false},
        {"HKEY_USERS", RegHive::Users, false},
        {"HKU", RegHive::Users, false},
        {"HKCC", RegHive::CurrentConfig, false},
        {"HKEY_DYN_DATA", RegHive::DynData, false},
        {"HKEY_PERFORMANCE_DATA", RegHive::PerformanceData, false},
        {"HKLM2", std::nullopt, false},
        {"", std::nullopt, false},
    };
    for (const auto& [name, hive, kept] : cases) {
        EXPECT_EQ(RegHiveFromName(name), hive) << name;
        if (hive) {
            EXPECT_EQ(RegHiveKept(*hive), kept) << name;
            EXPECT_EQ(RegHiveFromName(RegHiveName(*hive)), hive) << name;
        }
    }
    EXPECT_EQ(RegistryStore::Root(RegHive::CurrentUser), 0);
}

// The names of the known types are shown by the reg command's tests.
TEST(RegTypes, UnknownTypesHaveNoName) {
    EXPECT_EQ(RegTypeName(99), "");
    EXPECT_FALSE(RegTypeFromName("REG_FOO"));
}

}  // namespace
}  // namespace vantreel::test
