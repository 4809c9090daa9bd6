#include "common/TestRegistry.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

namespace vantreel::test {
namespace {

const RegKeyId kMachine = RegistryStore::Root(RegHive::LocalMachine);

TEST(RegistryStoreFile, MissingDatabaseReadsEmptyAndFirstWriteCreatesIt) {
    TempDirectory directory;
    const std::string path = directory.File("var/lib/registry.db");
    RegistryStore store(path);
    EXPECT_TRUE(store.FindKey(kMachine, ""));
    EXPECT_FALSE(store.FindKey(kMachine, "SOFTWARE"));
    EXPECT_TRUE(store.Subkeys(kMachine).empty());
    EXPECT_FALSE(store.DeleteValue(kMachine, "x"));
    EXPECT_FALSE(std::filesystem::exists(path));  // reading creates nothing

    store.CreateKey(kMachine, "SOFTWARE");
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_TRUE(RegistryStore(path).FindKey(kMachine, "software"));
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

TEST_F(RegistryStoreTest, NamesIgnoreCaseKeepTheirCaseAndEnumerateInCreationOrder) {
    RegistryStore& store = Store();
    const RegKeyId software = store.CreateKey(kMachine, "Software");
    for (const char* name : {"Zeta", "alpha", "Mid"}) {
        store.CreateKey(software, name);
    }
    EXPECT_EQ(store.CreateKey(kMachine, "SOFTWARE"), software);
    std::vector<std::string> names;
    for (const RegSubkey& subkey : store.Subkeys(software)) {
        names.push_back(subkey.name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Zeta", "alpha", "Mid"}));

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
