#pragma once

#include "dmis/model/ModelArena.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vantreel {

class CExpression;
class VariantArray;

// Type codes of a Variant, as the model stream writes them.
enum class VariantType : uint16_t {
    Empty = 0,
    Null = 1,
    Integer = 2,  // 16-bit signed
    Long = 3,     // 32-bit signed
    Single = 4,
    Double = 5,
    Currency = 6,  // 64-bit integer scaled by 10000
    Date = 7,      // days since 30 December 1899, as a double
    String = 8,
    Object = 9,  // an owned CExpression node
    Boolean = 11,
    Byte = 17,
    Array = 8204,  // array of Variants (vbArray + vbVariant)
};

// The value of a model node or token: empty, one plain value, an owned child
// node or an array of Variants with its own lower bound. A Variant owns what it
// holds, so it moves but does not copy; Clone copies plain values and arrays.
//
// Sixteen bytes: the type, and the value in the last eight. Text of up to 13
// bytes (almost every word, label and number text of a program) is kept inside
// the Variant itself; longer text in one block of its own.
class Variant {
  public:
    Variant() noexcept { payload_.bits = 0; }
    ~Variant() { Release(); }
    // Moves are copies of the sixteen bytes; they happen for every value the
    // parser builds, so they are inline.
    Variant(Variant&& other) noexcept {
        std::memcpy(static_cast<void*>(this), static_cast<const void*>(&other), sizeof(Variant));
        other.type_ = VariantType::Empty;
        other.inlineSize_ = 0;
        other.payload_.bits = 0;
    }
    Variant& operator=(Variant&& other) noexcept {
        if (this != &other) {
            // other may live inside what this Variant holds (a node's array
            // element): take it out first, then release the old value.
            Variant taken(std::move(other));
            Release();
            std::memcpy(static_cast<void*>(this), static_cast<const void*>(&taken),
                        sizeof(Variant));
            taken.type_ = VariantType::Empty;
            taken.inlineSize_ = 0;
        }
        return *this;
    }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;

    static Variant MakeNull();
    static Variant FromInteger(int16_t value);
    static Variant FromLong(int32_t value);
    static Variant FromSingle(float value);
    static Variant FromDouble(double value);
    static Variant FromCurrency(int64_t scaledBy10000);
    static Variant FromDate(double days);
    static Variant FromString(std::string_view value);
    static Variant FromBoolean(bool value);
    static Variant FromByte(uint8_t value);
    static Variant FromObject(std::unique_ptr<CExpression> node);
    static Variant FromArray(VariantArray array);

    VariantType Type() const noexcept { return type_; }
    bool IsEmpty() const noexcept { return type_ == VariantType::Empty; }
    bool IsObject() const noexcept { return type_ == VariantType::Object; }
    bool IsArray() const noexcept { return type_ == VariantType::Array; }

    // Typed access; a value of another type raises error 13 "Type mismatch".
    int16_t Integer() const;
    int32_t Long() const;
    float Single() const;
    double Double() const;
    int64_t Currency() const;
    double Date() const;
    // The text, valid while the Variant holds it.
    std::string_view String() const;
    bool Boolean() const;
    uint8_t Byte() const;
    VariantArray& Array();
    const VariantArray& Array() const;

    // The node held, or nullptr when the value is not an object.
    CExpression* Object() const noexcept {
        return type_ == VariantType::Object ? payload_.node : nullptr;
    }
    // Hands the node over to the caller and leaves the Variant empty.
    std::unique_ptr<CExpression> TakeObject() noexcept;

    // A whole number held as Integer, Long or Byte; error 13 for anything else.
    int32_t WholeNumber() const;

    // The value converted to text as Visual Basic converts it: numbers in
    // decimal, Booleans as True and False, Empty and Null as nothing. An object
    // or an array raises error 13.
    std::string ToText() const;

    // A deep copy. A Variant that holds (or whose array holds) a node cannot be
    // copied, since a node never has two parents: error 13.
    Variant Clone() const;

  private:
    static constexpr std::size_t kInlineText = 13;

    // Text longer than kInlineText: its size, then its bytes.
    struct LongText {
        uint32_t size;
        char bytes[1];
    };

    union Payload {
        uint64_t bits;
        int16_t integer;
        int32_t longValue;
        float single;
        double real;  // Double and Date
        int64_t currency;
        bool boolean;
        uint8_t byte;
        CExpression* node;
        VariantArray* array;
        LongText* text;
    };

    explicit Variant(VariantType type) noexcept : type_(type) { payload_.bits = 0; }
    // For an array or a long text: whether its block lives in an arena (kept
    // where inline text would start, unused for these types).
    bool BlockInArena() const noexcept { return head_[0] != 0; }
    void SetBlockInArena(bool value) noexcept { head_[0] = value ? 1 : 0; }
    // Empties the Variant, releasing what it owns (a node, an array, a long text).
    void Release() noexcept {
        if (OwnsBlock()) {
            ReleaseBlock();
        }
        type_ = VariantType::Empty;
        inlineSize_ = 0;
        payload_.bits = 0;
    }
    bool OwnsBlock() const noexcept {
        return type_ == VariantType::Object || type_ == VariantType::Array ||
               (type_ == VariantType::String && inlineSize_ == kLongText);
    }
    void ReleaseBlock() noexcept;
    // The first byte of inline text: it runs from head_ into the payload.
    char* InlineText() noexcept { return reinterpret_cast<char*>(this) + kInlineOffset; }
    const char* InlineText() const noexcept {
        return reinterpret_cast<const char*>(this) + kInlineOffset;
    }

    VariantType type_ = VariantType::Empty;
    uint8_t inlineSize_ = 0;  // the size of inline text, or kLongText
    char head_[5] = {};       // the first bytes of inline text
    Payload payload_;

    static constexpr std::size_t kInlineOffset = 3;
    static constexpr uint8_t kLongText = 0xff;
};

// A Variant array: elements addressed from a lower bound (0 or 1 in the model).
class VariantArray {
  public:
    VariantArray(int32_t lowerBound, int32_t count);

    int32_t LBound() const noexcept { return lowerBound_; }
    int32_t UBound() const noexcept;
    int32_t Count() const noexcept { return static_cast<int32_t>(elements_.size()); }

    // An index outside LBound..UBound raises error 9 "Subscript out of range".
    Variant& operator[](int32_t index);
    const Variant& operator[](int32_t index) const;

    // Adds one element after UBound.
    void Append(Variant value);

    // Storage from the arena current when the array was made.
    using Storage = std::vector<Variant, ArenaAllocator<Variant>>;
    Storage& Elements() noexcept { return elements_; }
    const Storage& Elements() const noexcept { return elements_; }

  private:
    int32_t lowerBound_;
    Storage elements_;
};

}  // namespace vantreel
