#pragma once

#include "common/ErrorNumber.h"

#include "dmis/model/CExpressions.h"
#include "dmis/model/CProgram.h"
#include "dmis/model/CStatement.h"
#include "dmis/model/CStatements.h"
#include "dmis/parse/Analyzer.h"
#include "dmis/parse/Expression.h"
#include "dmis/parse/ParseContext.h"
#include "dmis/scan/Scanner.h"
#include "shared/Resources.h"
#include "vantreel/Error.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace vantreel::test {

// A tree in the notation kind(children): words and numbers as their text,
// wrapped and operator nodes as kind(operands), label references as
// 9[F,C1], named lists as kind[name;count;items].
inline std::string Describe(const CExpression& node) {
    const Variant& value = node.Value();
    const int32_t kind = node.ExpressionType();
    auto element = [](const Variant& v) {
        return v.Object() != nullptr ? Describe(*v.Object()) : v.ToText();
    };
    if (IsBinaryKind(kind)) {
        return std::to_string(kind) + "(" + element(value.Array()[1]) + ", " +
               element(value.Array()[2]) + ")";
    }
    switch (kind) {
        case ekWord:
        case ekInteger:
        case ekReal:
            return value.ToText();
        case ekText:
        case ekColonNumber:
            return node.BuildString();
        case ekNegate:
        case ekNot:
        case ekWrapped:
        case ekParenthesized:
            return std::to_string(kind) + "(" + element(value) + ")";
        case ekLabelRef:
        case ekDatumRef:
        case ekIndexedName:
        case ekFunctionCall: {
            std::string text = std::to_string(kind) + "[";
            const VariantArray& parts = value.Array();
            for (int32_t i = parts.LBound(); i <= parts.UBound(); ++i) {
                text += (i > parts.LBound() ? ";" : "") + element(parts[i]);
            }
            return text + "]";
        }
        case ekAssignTarget:
            return "28[" + value.ToText() + "]";
        default:
            return std::to_string(kind);
    }
}

// Message texts of the parsers come from the shipped English tables.
class ParserTest : public testing::Test {
  protected:
    void SetUp() override {
        InitResources();
        int32_t english = 1033;
        SetLanguage(english);
    }

    // Parses source as a whole program; the listing, or "failed: " + message.
    std::string ParseToListing(const std::string& source) {
        CProgram program;
        Scanner scanner;
        EXPECT_TRUE(scanner.ScanText(source, program, "test.dmi")) << scanner.LastError();
        ParseContext context;
        StatementParser parser(scanner, context);
        lastOk_ = parser.ParseProgram(program);
        lastSeverity_ = scanner.Severity();
        if (!lastOk_) {
            return "failed: " + scanner.Message();
        }
        std::ostringstream listing;
        program.PrettyPrint(listing);
        return listing.str();
    }

    bool lastOk_ = false;
    int16_t lastSeverity_ = 0;
};

}  // namespace vantreel::test
