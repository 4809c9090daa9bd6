#include "GoldenFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

// Golden files are rewritten instead of compared when the tests run with
// --update-golden or with VANTREEL_UPDATE_GOLDEN=1 in the environment.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    const char* fromEnvironment = std::getenv("VANTREEL_UPDATE_GOLDEN");
    bool update = fromEnvironment != nullptr && std::strcmp(fromEnvironment, "1") == 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--update-golden") == 0) {
            update = true;
        }
    }
    vantreel::test::SetUpdateGolden(update);
    return RUN_ALL_TESTS();
}
