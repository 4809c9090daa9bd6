#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace vantreel::test {

inline bool& UpdateGoldenFlag() {
    static bool update = false;
    return update;
}

inline void SetUpdateGolden(bool update) {
    UpdateGoldenFlag() = update;
}

// Compares actual with the golden file, or rewrites the file when updating.
inline void ExpectMatchesGolden(const std::filesystem::path& golden, const std::string& actual) {
    if (UpdateGoldenFlag()) {
        std::ofstream(golden, std::ios::binary) << actual;
        return;
    }
    std::ifstream in(golden, std::ios::binary);
    ASSERT_TRUE(in) << golden << " is missing; run the tests with --update-golden to write it";
    std::ostringstream expected;
    expected << in.rdbuf();
    EXPECT_EQ(expected.str(), actual)
        << "differs from " << golden << " (rerun with --update-golden after review)";
}

}  // namespace vantreel::test
