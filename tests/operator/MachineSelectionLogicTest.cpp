#include "operator/MachineSelectionLogic.h"

#include "shared/RegEntry.h"
#include "shared/Resources.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/TestRegistry.h"

namespace vantreel::test {
namespace {

class MachineSelectionLogicTest : public RegistryTest {
  protected:
    void SetUp() override {
        RegistryTest::SetUp();
        int32_t english = 1033;
        SetLanguage(english);
    }
    // A machine subkey, with a Name unless name is null.
    void Machine(const std::string& key, const char* name) {
        RegEntry registry;
        registry.CreateKey(key);
        if (name != nullptr) {
            registry.SetString("Name", name);
        }
    }
};

TEST_F(MachineSelectionLogicTest, ListsFollowTheRegistry) {
    struct Case {
        const char* name;
        bool newMachine;
        std::vector<std::string> names;
        std::vector<std::string> keys;
        const char* caption;
    };
    // Made in enumeration order; the names are not sorted.
    Machine("Machines\\cmm1", "Zeta");
    Machine("Machines\\CMM2", "Alpha");
    Machine("Machines\\Probe", nullptr);  // no Name: an empty line
    Machine("StandardMachines\\Bridge", "Bridge 10.7.6");
    const Case cases[] = {
        {"configured, in enumeration order",
         false,
         {"Zeta", "Alpha", ""},
         {"Machines\\cmm1", "Machines\\CMM2", "Machines\\Probe"},
         "Select Machine"},
        {"standard",
         true,
         {"Bridge 10.7.6"},
         {"StandardMachines\\Bridge"},
         "Select Standard Machine"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MachineSelectionState state;
        state.newMachine = c.newMachine;
        state.language = 1033;
        RegEntry registry;
        const MachineList list = LoadMachineSelection(state, registry);
        EXPECT_EQ(list.names, c.names);
        EXPECT_EQ(state.machineKeys, c.keys);
        EXPECT_EQ(list.caption, c.caption);
        EXPECT_EQ(list.ok, "OK");
        // Loading again gives the same list, not a longer one.
        (void)LoadMachineSelection(state, registry);
        EXPECT_EQ(state.machineKeys, c.keys);
    }
}

TEST_F(MachineSelectionLogicTest, MissingOrEmptyListKeys) {
    struct Case {
        const char* name;
        const char* create;  // a key made beforehand; "" for none
        bool newMachine;
        int error;
    };
    const Case cases[] = {
        {"no Machines key", "", false, 5001},
        {"no StandardMachines key", "Machines", true, 5001},
        {"an empty Machines key", "Machines", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (*c.create != '\0') {
            RegEntry().CreateKey(c.create);
        }
        MachineSelectionState state;
        state.newMachine = c.newMachine;
        state.machineKeys = {"stale"};
        RegEntry registry;
        EXPECT_EQ(ErrorNumber([&] { (void)LoadMachineSelection(state, registry); }), c.error);
        if (c.error == 0) {
            EXPECT_TRUE(state.machineKeys.empty());
        }
    }
}

TEST(MachineSelectionLogic, OkNeedsASelection) {
    struct Case {
        const char* earlier;
        int index;
        bool enabled;
        bool closes;
        const char* result;
    };
    const Case cases[] = {
        {"", -1, false, false, ""},         {"Machines\\Old", -1, false, false, "Machines\\Old"},
        {"", 0, true, true, "Machines\\A"}, {"Machines\\Old", 1, true, true, "Machines\\B"},
        {"", 2, false, false, ""},  // past the end
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        MachineSelectionState state;
        state.result = c.earlier;
        state.machineKeys = {"Machines\\A", "Machines\\B"};
        EXPECT_EQ(MachineOkEnabled(state, c.index), c.enabled);
        EXPECT_EQ(ConfirmMachine(state, c.index), c.closes);
        EXPECT_EQ(state.result, c.result);
    }
}

}  // namespace
}  // namespace vantreel::test
