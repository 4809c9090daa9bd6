#include "dmis/scan/LabelTypes.h"
#include "shared/Text.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace vantreel {
namespace {

constexpr std::string_view kScannerWords[] = {
#define LABEL_TYPE(word) #word,
#include "dmis/scan/ScannerLabelTypes.def"
#undef LABEL_TYPE
};

constexpr std::string_view kLookupWords[] = {
#define LABEL_TYPE(word) #word,
#include "dmis/scan/LookupLabelTypes.def"
#undef LABEL_TYPE
};

constexpr std::size_t kMaxWordLength = 3;

// A word of one to three characters packed with its length into one number;
// 0 for a word that cannot be a label type. Comparing packed numbers compares
// the upper-cased words.
constexpr uint32_t PackWord(std::string_view word) noexcept {
    if (word.empty() || word.size() > kMaxWordLength) {
        return 0;
    }
    uint32_t key = static_cast<uint32_t>(word.size());
    for (std::size_t i = 0; i < word.size(); ++i) {
        key |= static_cast<uint32_t>(static_cast<unsigned char>(UpperAscii(word[i])))
               << (8 * (i + 1));
    }
    return key;
}

template <std::size_t N>
constexpr std::array<uint32_t, N> SortedKeys(const std::string_view (&words)[N]) {
    std::array<uint32_t, N> keys{};
    for (std::size_t i = 0; i < N; ++i) {
        keys[i] = PackWord(words[i]);
    }
    std::sort(keys.begin(), keys.end());
    return keys;
}

template <std::size_t N>
constexpr bool AllDistinctAndPackable(const std::array<uint32_t, N>& keys) {
    for (std::size_t i = 0; i < N; ++i) {
        if (keys[i] == 0 || (i > 0 && keys[i] == keys[i - 1])) {
            return false;
        }
    }
    return true;
}

constexpr auto kScannerKeys = SortedKeys(kScannerWords);
constexpr auto kLookupKeys = SortedKeys(kLookupWords);
static_assert(kScannerKeys.size() == 50 && AllDistinctAndPackable(kScannerKeys));
static_assert(kLookupKeys.size() == 38 && AllDistinctAndPackable(kLookupKeys));

template <std::size_t N>
bool Contains(const std::array<uint32_t, N>& keys, std::string_view word) noexcept {
    const uint32_t key = PackWord(word);
    return key != 0 && std::binary_search(keys.begin(), keys.end(), key);
}

}  // namespace

std::span<const std::string_view> ScannerLabelTypeWords() noexcept {
    return kScannerWords;
}

bool IsScannerLabelType(std::string_view word) noexcept {
    return Contains(kScannerKeys, word);
}

std::span<const std::string_view> LookupLabelTypeWords() noexcept {
    return kLookupWords;
}

bool IsLookupLabelType(std::string_view word) noexcept {
    return Contains(kLookupKeys, word);
}

}  // namespace vantreel
