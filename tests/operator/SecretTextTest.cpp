#include "operator/SecretText.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>

namespace vantreel::test {
namespace {

// The VmFlags of the mapping holding address, from /proc/self/smaps; "" when
// no mapping holds it.
std::string MappingFlags(const void* address) {
    const auto wanted = reinterpret_cast<std::uintptr_t>(address);
    std::ifstream smaps("/proc/self/smaps");
    std::string line;
    bool inside = false;
    while (std::getline(smaps, line)) {
        std::uintptr_t from = 0, to = 0;
        char dash = 0;
        std::istringstream range(line);
        if (range >> std::hex >> from >> dash >> to && dash == '-') {
            inside = from <= wanted && wanted < to;
        } else if (inside && line.rfind("VmFlags:", 0) == 0) {
            return line;
        }
    }
    return {};
}

TEST(SecretText, KeepsReplacesAndClearsItsText) {
    struct Case {
        const char* first;
        const char* second;  // assigned after first
    };
    const Case cases[] = {
        {"s3cret", "other"}, {"", "x"}, {"long enough", ""}, {"a\0b", "\xc3\xa4"}};
    for (const Case& c : cases) {
        SecretText secret(c.first);
        EXPECT_EQ(secret.Text(), c.first);
        EXPECT_EQ(secret.Empty(), *c.first == '\0');
        SecretText copy = secret;
        secret.Assign(c.second);
        EXPECT_EQ(secret.Text(), c.second);
        EXPECT_EQ(copy.Text(), c.first);  // a copy has bytes of its own
        copy = secret;
        EXPECT_EQ(copy.Text(), c.second);
        secret.Clear();
        EXPECT_TRUE(secret.Empty());
        EXPECT_EQ(secret.Text(), "");
        EXPECT_EQ(secret.Storage(), nullptr);
    }
    // A text longer than a page.
    const std::string big(10000, 'p');
    SecretText large(big);
    EXPECT_EQ(large.Text(), big);
}

TEST(SecretText, ItsPagesAreLeftOutOfCoreDumps) {
    SecretText secret("s3cret");
    const std::string flags = MappingFlags(secret.Storage());
    ASSERT_FALSE(flags.empty()) << "no mapping holds the text";
    EXPECT_NE(flags.find(" dd"), std::string::npos) << flags;
    // An ordinary string is not protected: the check can fail.
    static const std::string ordinary(8000, 'x');
    EXPECT_EQ(MappingFlags(ordinary.data()).find(" dd"), std::string::npos);
}

}  // namespace
}  // namespace vantreel::test
