#include "shared/RunTimeError.h"

#include <gtest/gtest.h>

namespace vantreel::test {
namespace {

TEST(RunTimeError, NumbersNamesAndTexts) {
    struct Case {
        int32_t number;
        std::string_view name;
        std::string_view text;
    };
    const Case cases[] = {
        {6, "Overflow", "Overflow"},
        {9, "SubscriptOutOfRange", "Subscript out of range"},
        {53, "FileNotFound", "File not found"},
        {75, "PathFileAccessError", "Path/File access error"},
        {438, "MethodNotSupported", "Object doesn't support this property or method"},
        {500, "FileUtilFailure", "File utility error"},
        {5000, "KeyNotCreated", "The registry key cannot be created"},
        {5005, "FileNotWritten", "The file cannot be written"},
    };
    for (const Case& c : cases) {
        const std::optional<RunTimeError> error = FindRunTimeError(c.number);
        ASSERT_TRUE(error.has_value()) << c.number;
        EXPECT_EQ(ErrorNumberOf(*error), c.number);
        EXPECT_EQ(RunTimeErrorName(*error), c.name);
        EXPECT_EQ(RunTimeErrorText(*error), c.text);
    }
    for (const int32_t unknown : {0, 1, 54, 4999, 5006, -1}) {
        EXPECT_FALSE(FindRunTimeError(unknown).has_value()) << unknown;
    }
}

TEST(RunTimeError, AnAliasIsTheNumberItShares) {
    EXPECT_EQ(ErrorNumberOf(RunTimeError::StreamFailure), 5000);
    EXPECT_EQ(RunTimeErrorName(RunTimeError::StreamFailure), "KeyNotCreated");
}

TEST(RunTimeError, MadeErrorsCarryNumberSourceAndText) {
    const Error standard = MakeError(RunTimeError::TypeMismatch, "Variant");
    EXPECT_EQ(standard.Number(), 13);
    EXPECT_EQ(standard.Source(), "Variant");
    EXPECT_EQ(standard.Description(), "Type mismatch");
    const Error own = MakeError(RunTimeError::PathNotFound, "Ulmaret.Folder", "'x' does not exist");
    EXPECT_EQ(own.Number(), 76);
    EXPECT_EQ(own.Description(), "'x' does not exist");
}

}  // namespace
}  // namespace vantreel::test
