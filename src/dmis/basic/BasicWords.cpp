#include "dmis/basic/BasicWords.h"

#include "dmis/model/CExpression.h"

#include <algorithm>
#include <array>
#include <unordered_set>

namespace vantreel {
namespace {

const std::unordered_set<std::string_view>& Functions() {
    static const std::unordered_set<std::string_view> functions = {
#define DMIS_FUNCTION(name) name,
#include "dmis/basic/DmisFunctions.def"
#undef DMIS_FUNCTION
    };
    return functions;
}

const std::unordered_set<std::string_view>& MinorWords() {
    static const std::unordered_set<std::string_view> words = {
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
    return Functions().contains(name);
}

bool IsDmisMinorWord(std::string_view word) noexcept {
    return MinorWords().contains(word);
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
