#include "dmis/parse/NameSet.h"

#include <gtest/gtest.h>

#include <string>

namespace vantreel {
namespace {

TEST(NameSet, AddsEachNameOnce) {
    struct Step {
        const char* name;
        bool added;
    };
    const Step steps[] = {
        {"F(P1)", true}, {"F(P1)", false}, {"F(P2)", true},  {"", true},
        {"", false},     {"F(P", true},    {"F(P1)X", true}, {"f(p1)", true},
    };
    NameSet set;
    for (const Step& step : steps) {
        EXPECT_EQ(set.Insert(step.name), step.added) << step.name;
        EXPECT_TRUE(set.Contains(step.name)) << step.name;
    }
    EXPECT_EQ(set.Size(), 6u);
    EXPECT_FALSE(set.Contains("F(P3)"));
    set.Clear();
    EXPECT_FALSE(set.Contains("F(P1)"));
    EXPECT_TRUE(set.Insert("F(P1)"));
}

// Many names: every one is found after the table has grown many times, and
// none that was never added.
TEST(NameSet, KeepsEveryNameWhileItGrows) {
    NameSet set;
    for (int i = 0; i < 100000; ++i) {
        ASSERT_TRUE(set.Insert("F(BORE-" + std::to_string(i) + ".A)")) << i;
    }
    for (int i = 0; i < 100000; ++i) {
        ASSERT_TRUE(set.Contains("F(BORE-" + std::to_string(i) + ".A)")) << i;
        ASSERT_FALSE(set.Contains("F(BORE-" + std::to_string(i) + ".B)")) << i;
        ASSERT_FALSE(set.Insert("F(BORE-" + std::to_string(i) + ".A)")) << i;
    }
    EXPECT_EQ(set.Size(), 100000u);
}

}  // namespace
}  // namespace vantreel
