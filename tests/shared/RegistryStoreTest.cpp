#include "common/TestRegistry.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

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
    pid_t children[2];
    for (int child = 0; child < 2; ++child) {
        children[child] = fork();
        ASSERT_GE(children[child], 0);
        if (children[child] == 0) {
            int status = 0;
            try {
                RegistryStore store(databasePath());  // a connection of this process
                for (int i = 0; i < kWrites; ++i) {
                    store.SetValue(key, "P" + std::to_string(child) + "-" + std::to_string(i),
                                   REG_SZ, std::to_string(i));
                }
            } catch (...) {
                status = 1;
            }
            _exit(status);
        }
    }
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    store_ = RegistryStore::Open();
    EXPECT_EQ(Store().Values(key).size(), 2u * kWrites);
}

TEST(RegTypes, NamesAndCodes) {
    EXPECT_EQ(RegTypeName(REG_SZ), "REG_SZ");
    EXPECT_EQ(RegTypeName(11), "REG_QWORD");
    EXPECT_EQ(RegTypeName(99), "");
    EXPECT_EQ(RegTypeFromName("REG_MULTI_SZ"), 7u);
    EXPECT_FALSE(RegTypeFromName("REG_FOO"));
}

}  // namespace
}  // namespace vantreel::test
