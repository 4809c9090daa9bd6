#include "common/TestRegistry.h"

#include "shared/Configuration.h"

#include <gtest/gtest.h>

#include <functional>

namespace vantreel::test {
namespace {

class RepositoryRootTest : public RegistryTest {
  protected:
    // A station with a root in every place an application may take it from.
    void SetUpStation() {
        Set("Common", "RepositoryRoot", "/parts/common");
        Set("Tellurim\\Settings", "RepositoryRoot", "/parts/tellurim");
        Set("Users", "LastUser", "anna");
        Set("Users\\anna", "RepositoryRoot", "/parts/anna");
        Set("Brevant", "BrevantUser", "Brevant\\Users\\ben");
        Set("Brevant\\Users\\ben", "RepositoryRoot", "/parts/ben");
        Set("Sobrel\\Settings", "RepositoryRoot", "/parts/sobrel");
    }
};

struct RootCase {
    const char* name;
    std::function<void(RepositoryRootTest&)> change;  // applied to the full station
    const char* application;
    const char* root;
};

TEST_F(RepositoryRootTest, EveryApplicationBranch) {
    const RootCase cases[] = {
        {"tellurim takes the last user's root", nullptr, "Tellurim", "/parts/anna"},
        {"fennick reads as tellurim", nullptr, "Fennick", "/parts/anna"},
        {"user without root falls back to settings",
         [](RepositoryRootTest& t) { t.Set("Users\\anna", "RepositoryRoot", ""); }, "Tellurim",
         "/parts/tellurim"},
        {"user key missing falls back to settings",
         [](RepositoryRootTest& t) { t.Set("Users", "LastUser", "nobody"); }, "Tellurim",
         "/parts/tellurim"},
        {"no settings root and no user root gives common",
         [](RepositoryRootTest& t) {
             t.Set("Users\\anna", "RepositoryRoot", "");
             t.Set("Tellurim\\Settings", "RepositoryRoot", "");
         },
         "Tellurim", "/parts/common"},
        {"quessa takes the brevant user's root", nullptr, "Quessa", "/parts/ben"},
        {"quessa with a missing user key keeps common",
         [](RepositoryRootTest& t) { t.Set("Brevant", "BrevantUser", "Brevant\\Users\\x"); },
         "Quessa", "/parts/common"},
        {"sobrel takes its settings", nullptr, "Sobrel", "/parts/sobrel"},
        {"sobrel without settings keeps common",
         [](RepositoryRootTest&) {
             RegEntry registry;
             registry.OpenKey("Sobrel");
             registry.DeleteKey("Settings");
         },
         "Sobrel", "/parts/common"},
        {"another application keeps common", nullptr, "Lathe", "/parts/common"},
        {"names are compared exactly", nullptr, "tellurim", "/parts/common"},
        {"empty name means the startup application",
         [](RepositoryRootTest& t) { t.Set("Common", "StartupApp", "Sobrel"); }, "",
         "/parts/sobrel"},
    };
    for (const RootCase& c : cases) {
        SCOPED_TRACE(c.name);
        // Every case starts from the full station.
        if (const auto root =
                Store().FindKey(RegistryStore::Root(RegHive::LocalMachine), "SOFTWARE\\Korvessa")) {
            Store().DeleteKey(*root);
        }
        SetUpStation();
        if (c.change) {
            c.change(*this);
        }
        EXPECT_EQ(GetRepositoryRoot(c.application), c.root);
    }
}

TEST_F(RepositoryRootTest, MissingKeysRaise5001) {
    EXPECT_EQ(ErrorNumber([] { (void)GetRepositoryRoot("Lathe"); }), 5001);
    Set("Common", "RepositoryRoot", "/parts");
    EXPECT_EQ(GetRepositoryRoot("Lathe"), "/parts");
    EXPECT_EQ(ErrorNumber([] { (void)GetRepositoryRoot("Tellurim"); }), 5001);
}

TEST_F(RegistryTest, InstallAndBinDirectories) {
    EXPECT_EQ(ErrorNumber([] { (void)GetInstallDirectory(); }), 5001);
    Set("Tellurim\\Settings", "InstallDirectory", "  /opt/tellurim  ");
    EXPECT_EQ(GetInstallDirectory(), "/opt/tellurim");
    EXPECT_EQ(GetBinDirectory(), "/opt/tellurim/Bin");
}

}  // namespace
}  // namespace vantreel::test
