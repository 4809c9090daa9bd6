#include "dmis/scan/TextPool.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantreel::test {
namespace {

TEST(TextPool, TextsKeepTheirOffsetsAndBytesAcrossChunks) {
    // Lengths around the 64 KiB chunk: texts that fit, one that does not fit
    // in what is left, one longer than a chunk, and empty ones.
    const std::size_t lengths[] = {5, 0, 65530, 10, 70000, 0, 1, 65536, 3};
    TextPool pool;
    std::vector<std::string> texts;
    std::vector<uint32_t> offsets;
    uint32_t expected = 0;
    for (std::size_t i = 0; i < std::size(lengths); ++i) {
        texts.push_back(std::string(lengths[i], static_cast<char>('a' + i)));
        offsets.push_back(pool.Store(i % 2 == 0 ? "" : "#", texts.back()));
        if (i % 2 != 0) {
            texts.back().insert(0, "#");
        }
        EXPECT_EQ(offsets.back(), expected) << i;
        expected += static_cast<uint32_t>(texts.back().size());
    }
    EXPECT_EQ(pool.Size(), expected);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(pool.View(offsets[i], static_cast<uint32_t>(texts[i].size())), texts[i]) << i;
    }
    // Giving back the chunks before the last three texts keeps those readable.
    pool.ReleaseBefore(offsets[6]);
    for (std::size_t i = 6; i < texts.size(); ++i) {
        EXPECT_EQ(pool.View(offsets[i], static_cast<uint32_t>(texts[i].size())), texts[i]) << i;
    }
    pool.LastStored(texts[8].size())[0] = 'Z';
    EXPECT_EQ(pool.View(offsets[8], 2), "Zi");
}

}  // namespace
}  // namespace vantreel::test
