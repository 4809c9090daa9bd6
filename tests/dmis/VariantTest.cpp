#include "dmis/model/CExpression.h"
#include "dmis/model/Variant.h"
#include "vantreel/Error.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace vantreel {
namespace {

int ErrorNumberOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& error) {
        return error.Number();
    }
    return 0;
}

TEST(Variant, TypeCodesAndText) {
    struct Case {
        Variant value;
        VariantType type;
        uint16_t code;
        const char* text;
    };
    Case cases[] = {
        {Variant(), VariantType::Empty, 0, ""},
        {Variant::MakeNull(), VariantType::Null, 1, ""},
        {Variant::FromInteger(-27), VariantType::Integer, 2, "-27"},
        {Variant::FromLong(2147483647), VariantType::Long, 3, "2147483647"},
        {Variant::FromSingle(0.25f), VariantType::Single, 4, "0.25"},
        {Variant::FromDouble(12.25), VariantType::Double, 5, "12.25"},
        {Variant::FromCurrency(-15000), VariantType::Currency, 6, "-1.5"},
        {Variant::FromCurrency(123456), VariantType::Currency, 6, "12.3456"},
        {Variant::FromDate(2.5), VariantType::Date, 7, "2.5"},
        {Variant::FromString("\"AB\""), VariantType::String, 8, "\"AB\""},
        {Variant::FromBoolean(true), VariantType::Boolean, 11, "True"},
        {Variant::FromBoolean(false), VariantType::Boolean, 11, "False"},
        {Variant::FromByte(200), VariantType::Byte, 17, "200"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.value.Type(), c.type);
        EXPECT_EQ(static_cast<uint16_t>(c.value.Type()), c.code);
        EXPECT_EQ(c.value.ToText(), c.text);
        EXPECT_EQ(c.value.Clone().ToText(), c.text);
        EXPECT_EQ(c.value.Clone().Type(), c.type);
    }
}

TEST(Variant, WrongTypeIsTypeMismatch) {
    const Variant text = Variant::FromString("A");
    EXPECT_EQ(ErrorNumberOf([&] { (void)text.Long(); }), 13);
    EXPECT_EQ(ErrorNumberOf([&] { (void)text.Array(); }), 13);
    EXPECT_EQ(ErrorNumberOf([&] { (void)text.WholeNumber(); }), 13);
    EXPECT_EQ(Variant::FromInteger(3).WholeNumber(), 3);
    EXPECT_EQ(Variant::FromByte(3).WholeNumber(), 3);
    const Variant node = Variant::FromObject(std::make_unique<CExpression>());
    EXPECT_EQ(ErrorNumberOf([&] { (void)node.ToText(); }), 13);
    EXPECT_EQ(ErrorNumberOf([&] { (void)node.Clone(); }), 13);
    EXPECT_EQ(text.Object(), nullptr);
}

TEST(Variant, ArraysKeepTheirLowerBound) {
    VariantArray array(1, 2);
    array[1] = Variant::FromString("F");
    array[2] = Variant::FromString("C1");
    array.Append(Variant::FromInteger(7));
    EXPECT_EQ(array.LBound(), 1);
    EXPECT_EQ(array.UBound(), 3);
    EXPECT_EQ(ErrorNumberOf([&] { (void)array[0]; }), 9);
    EXPECT_EQ(ErrorNumberOf([&] { (void)array[4]; }), 9);

    const Variant value = Variant::FromArray(std::move(array));
    const Variant copy = value.Clone();
    ASSERT_TRUE(copy.IsArray());
    EXPECT_EQ(copy.Array().LBound(), 1);
    EXPECT_EQ(copy.Array()[2].String(), "C1");
    EXPECT_EQ(copy.Array()[3].Integer(), 7);
    EXPECT_EQ(ErrorNumberOf([&] { (void)value.ToText(); }), 13);

    EXPECT_EQ(VariantArray(0, 3).UBound(), 2);
    EXPECT_EQ(VariantArray(1, 0).UBound(), 0);
}

TEST(Variant, ObjectsMoveButAreNeverShared) {
    auto node = std::make_unique<CExpression>(ekWord, Variant::FromString("X"));
    CExpression* raw = node.get();
    Variant value = Variant::FromObject(std::move(node));
    EXPECT_EQ(value.Type(), VariantType::Object);
    EXPECT_EQ(value.Object(), raw);
    Variant moved = std::move(value);
    EXPECT_EQ(moved.Object(), raw);
    std::unique_ptr<CExpression> taken = moved.TakeObject();
    EXPECT_EQ(taken.get(), raw);
    EXPECT_TRUE(moved.IsEmpty());
    EXPECT_TRUE(Variant::FromObject(nullptr).IsEmpty());
}

}  // namespace
}  // namespace vantreel

namespace vantreel {
namespace {

// Short text lives inside the Variant, longer text in a block of its own:
// both must survive moves, clones and replacement alike.
TEST(Variant, TextOfEverySizeSurvivesMovesAndClones) {
    for (const std::size_t size : {0, 1, 12, 13, 14, 15, 16, 100, 70000}) {
        std::string text(size, 'x');
        for (std::size_t i = 0; i < size; ++i) {
            text[i] = static_cast<char>('A' + i % 26);
        }
        Variant original = Variant::FromString(text);
        EXPECT_EQ(original.String(), text) << size;
        Variant moved(std::move(original));
        EXPECT_TRUE(original.IsEmpty()) << size;
        EXPECT_EQ(moved.String(), text) << size;
        const Variant copy = moved.Clone();
        moved = Variant::FromLong(1);
        EXPECT_EQ(copy.String(), text) << size;
        EXPECT_EQ(copy.ToText(), text) << size;
    }
}

TEST(Variant, TakingAnElementOfItsOwnArrayKeepsTheElement) {
    VariantArray parts(1, 2);
    parts[1] = Variant::FromString("a text longer than thirteen");
    parts[2] = Variant::FromDouble(2.5);
    Variant holder = Variant::FromArray(std::move(parts));
    holder = std::move(holder.Array()[1]);
    EXPECT_EQ(holder.String(), "a text longer than thirteen");
}

}  // namespace
}  // namespace vantreel
