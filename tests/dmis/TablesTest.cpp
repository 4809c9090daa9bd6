#include "dmis/model/DmisTables.h"
#include "dmis/parse/Lookup.h"
#include "dmis/scan/LabelTypes.h"
#include "dmis/scan/TokenKind.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace vantreel {
namespace {

TEST(TokenKinds, NamesAndCodesAreTheFixedOnes) {
    const std::pair<const char*, int16_t> expected[] = {
        {"tkError", -1},       {"tkEndOfLine", 0},    {"tkEndOfInput", 1},   {"tkWord", 2},
        {"tkLeftParen", 3},    {"tkRightParen", 4},   {"tkSlash", 5},        {"tkComma", 6},
        {"tkStar", 7},         {"tkPeriod", 8},       {"tkPlus", 9},         {"tkMinus", 10},
        {"tkPower", 11},       {"tkEq", 12},          {"tkNe", 13},          {"tkLt", 14},
        {"tkLe", 15},          {"tkGt", 16},          {"tkGe", 17},          {"tkAnd", 18},
        {"tkOr", 19},          {"tkNot", 20},         {"tkLeftBracket", 21}, {"tkRightBracket", 22},
        {"tkString", 23},      {"tkDoubleQuote", 24}, {"tkInteger", 25},     {"tkReal", 26},
        {"tkColonNumber", 27}, {"tkEquals", 28},      {"tkTrue", 29},        {"tkFalse", 30},
    };
    for (const auto& [name, code] : expected) {
        EXPECT_EQ(TokenKindName(code), name) << code;
    }
    EXPECT_EQ(tkColonNumber, 27);
    EXPECT_EQ(TokenKindName(31), "");
    EXPECT_EQ(TokenKindName(-2), "");
}

const std::set<std::string> kOnlyInScannerTable = {"G",  "GSA", "MA", "Q",  "RM", "SE",
                                                   "SG", "SGS", "SS", "ST", "SW", "SX"};

TEST(LabelTypes, TablesHaveTheirSizesAndDifferByTwelveWords) {
    const std::set<std::string> scanner(ScannerLabelTypeWords().begin(),
                                        ScannerLabelTypeWords().end());
    const std::set<std::string> lookup(LookupLabelTypeWords().begin(),
                                       LookupLabelTypeWords().end());
    EXPECT_EQ(scanner.size(), 50u);
    EXPECT_EQ(lookup.size(), 38u);
    std::set<std::string> difference;
    for (const std::string& word : scanner) {
        if (!lookup.contains(word)) {
            difference.insert(word);
        }
    }
    EXPECT_EQ(difference, kOnlyInScannerTable);
    for (const std::string& word : lookup) {
        EXPECT_TRUE(scanner.contains(word)) << word;
    }
}

TEST(LabelTypes, EveryWordIsFoundInAnyLetterCase) {
    for (const std::string_view word : ScannerLabelTypeWords()) {
        std::string lower(word);
        for (char& c : lower) {
            c = static_cast<char>(c - 'A' + 'a');
        }
        EXPECT_TRUE(IsScannerLabelType(word)) << word;
        EXPECT_TRUE(IsScannerLabelType(lower)) << lower;
        const bool inLookup = !kOnlyInScannerTable.contains(std::string(word));
        EXPECT_EQ(IsLabelType(word), inLookup) << word;
        EXPECT_EQ(IsLabelType(lower), inLookup) << lower;
    }
}

struct MembershipCase {
    const char* key;
    bool lookup;
    bool scanner;
};

TEST(LabelTypes, Membership) {
    InitLabelTypes();
    const MembershipCase cases[] = {
        {"f", true, true},     {"F", true, true},      {"Da", true, true},  {"did", true, true},
        {"", false, false},    {"FEAT", false, false}, {"SW", false, true}, {"sgs", false, true},
        {"FAX", false, false}, {"F ", false, false},   {"C", false, false}, {"1", false, false},
    };
    for (const MembershipCase& c : cases) {
        EXPECT_EQ(IsLabelType(c.key), c.lookup) << "'" << c.key << "'";
        EXPECT_EQ(IsScannerLabelType(c.key), c.scanner) << "'" << c.key << "'";
    }
    EXPECT_FALSE(IsLabelType(std::string_view("F\0", 2)));
}

TEST(OperatorTexts, EntriesByKey) {
    InitDmisTables();
    const std::pair<const char*, const char*> entries[] = {
        {"1", "+"},       {"2", "-"},        {"3", "*"},      {"4", "/"},     {"5", "**"},
        {"6", "-"},       {"17", ".OR."},    {"18", ".NOT."}, {"19", ".EQ."}, {"20", ".NE."},
        {"21", ".LE."},   {"22", ".LT."},    {"23", ".GT."},  {"24", ".GE."}, {"25", ".AND."},
        {"29", ".TRUE."}, {"30", ".FALSE."},
    };
    EXPECT_EQ(OperatorTextCount(), 17);
    for (const auto& [key, text] : entries) {
        EXPECT_EQ(OperatorText(std::string_view(key)), text) << key;
        EXPECT_EQ(OperatorText(std::stoi(key)), text) << key;
    }
    for (const char* absent : {"0", "7", "26", "31", "01", "+1", "-6", "", "1x", "99999999999"}) {
        EXPECT_EQ(OperatorText(std::string_view(absent)), "") << absent;
    }
}

}  // namespace
}  // namespace vantreel
