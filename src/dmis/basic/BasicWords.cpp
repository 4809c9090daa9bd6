#include "dmis/basic/BasicWords.h"

#include "dmis/model/CExpression.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <initializer_list>
#include <vector>

namespace vantreel {
namespace {

// The words of a closed list in an open-addressed table of twice to four
// times their number of places: a look-up costs a short hash and, almost
// always, one comparison.
class WordTable {
  public:
    WordTable(std::initializer_list<std::string_view> words) {
        std::size_t size = 1;
        while (size < 2 * words.size()) {
            size *= 2;
        }
        slots_.resize(size);
        mask_ = size - 1;
        for (const std::string_view word : words) {
            longest_ = std::max(longest_, word.size());
            std::size_t slot = Hash(word) & mask_;
            while (!slots_[slot].empty() && slots_[slot] != word) {
                slot = (slot + 1) & mask_;
            }
            slots_[slot] = word;
        }
    }

    bool Contains(std::string_view word) const noexcept {
        if (word.empty() || word.size() > longest_) {
            return false;
        }
        for (std::size_t slot = Hash(word) & mask_;; slot = (slot + 1) & mask_) {
            if (slots_[slot].empty()) {
                return false;
            }
            if (slots_[slot] == word) {
                return true;
            }
        }
    }

  private:
    static std::size_t Hash(std::string_view word) noexcept {
        uint64_t hash = 14695981039346656037ull;
        for (const char c : word) {
            hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
        }
        return static_cast<std::size_t>(hash ^ (hash >> 32));
    }

    std::vector<std::string_view> slots_;  // an empty view is a free place
    std::size_t mask_ = 0;
    std::size_t longest_ = 0;
};

const WordTable& Functions() {
    static const WordTable functions = {
#define DMIS_FUNCTION(name) name,
#include "dmis/basic/DmisFunctions.def"
#undef DMIS_FUNCTION
    };
    return functions;
}

const WordTable& MinorWords() {
    static const WordTable words = {
#define DMIS_MINOR_WORD(word) word,
#include "dmis/basic/DmisMinorWords.def"
#undef DMIS_MINOR_WORD
    };
    return words;
}

struct OperatorSpelling {
    int32_t kind;
    std::string_view basic;
};

constexpr OperatorSpelling kOperators[] = {
    {ekAdd, " + "}, {ekSubtract, " - "}, {ekMultiply, " * "}, {ekDivide, " / "}, {ekPower, " ^ "},
    {ekOr, " Or "}, {ekEq, " = "},       {ekNe, " <> "},      {ekLe, " <= "},    {ekLt, " < "},
    {ekGt, " > "},  {ekGe, ">="},        {ekAnd, " And "},
};

// IF lines: DMIS operators and their Basic replacements, in the order applied.
constexpr std::pair<std::string_view, std::string_view> kIfOperators[] = {
    {".EQ.", " = "}, {".NE.", " <> "},   {".GE.", " >= "},   {".GT.", " > "},  {".LE.", " <= "},
    {".LT.", " < "}, {".AND.", " And "}, {".NOT.", " Not "}, {".OR.", " Or "},
};

}  // namespace

bool IsDmisFunction(std::string_view name) noexcept {
    return Functions().Contains(name);
}

bool IsDmisMinorWord(std::string_view word) noexcept {
    return MinorWords().Contains(word);
}

std::string_view BasicOperator(int32_t expressionType) noexcept {
    for (const OperatorSpelling& spelling : kOperators) {
        if (spelling.kind == expressionType) {
            return spelling.basic;
        }
    }
    return {};
}

std::string MapOperators(std::string text) {
    for (const auto& [dmis, basic] : kIfOperators) {
        // After each replacement the search starts again at the beginning.
        for (std::size_t at = text.find(dmis); at != std::string::npos; at = text.find(dmis)) {
            text.replace(at, dmis.size(), basic);
        }
    }
    return text;
}

std::string DeclareAsString(std::string_view text) {
    if (text.size() >= 2 && text.front() == '\'' && text.back() == '\'') {
        return std::string(text.substr(1, text.size() - 2)) + " As String";
    }
    return std::string(text);
}

std::string EnsureDoubleQuotes(std::string_view text) {
    std::string quoted(text);
    if (quoted.empty() || quoted.front() != '"') {
        quoted.insert(quoted.begin(), '"');
    }
    if (quoted.size() < 2 || quoted.back() != '"') {
        quoted.push_back('"');
    }
    return quoted;
}

}  // namespace vantreel
