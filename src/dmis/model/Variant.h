#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
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
class Variant {
  public:
    Variant() noexcept;
    ~Variant();
    Variant(Variant&&) noexcept;
    Variant& operator=(Variant&&) noexcept;
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;

    static Variant MakeNull();
    static Variant FromInteger(int16_t value);
    static Variant FromLong(int32_t value);
    static Variant FromSingle(float value);
    static Variant FromDouble(double value);
    static Variant FromCurrency(int64_t scaledBy10000);
    static Variant FromDate(double days);
    static Variant FromString(std::string value);
    static Variant FromBoolean(bool value);
    static Variant FromByte(uint8_t value);
    static Variant FromObject(std::unique_ptr<CExpression> node);
    static Variant FromArray(VariantArray array);

    VariantType Type() const noexcept;
    bool IsEmpty() const noexcept { return Type() == VariantType::Empty; }
    bool IsObject() const noexcept { return Type() == VariantType::Object; }
    bool IsArray() const noexcept { return Type() == VariantType::Array; }

    // Typed access; a value of another type raises error 13 "Type mismatch".
    int16_t Integer() const;
    int32_t Long() const;
    float Single() const;
    double Double() const;
    int64_t Currency() const;
    double Date() const;
    const std::string& String() const;
    bool Boolean() const;
    uint8_t Byte() const;
    VariantArray& Array();
    const VariantArray& Array() const;

    // The node held, or nullptr when the value is not an object.
    CExpression* Object() const noexcept;
    // Hands the node over to the caller and leaves the Variant empty.
    std::unique_ptr<CExpression> TakeObject();

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
    struct NullValue {};
    struct CurrencyValue {
        int64_t scaled;
    };
    struct DateValue {
        double days;
    };
    using Storage =
        std::variant<std::monostate, NullValue, int16_t, int32_t, float, double, CurrencyValue,
                     DateValue, std::string, std::unique_ptr<CExpression>, bool, uint8_t,
                     std::unique_ptr<VariantArray>>;

    explicit Variant(Storage storage) noexcept;

    Storage storage_;
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

    std::vector<Variant>& Elements() noexcept { return elements_; }
    const std::vector<Variant>& Elements() const noexcept { return elements_; }

  private:
    int32_t lowerBound_;
    std::vector<Variant> elements_;
};

}  // namespace vantreel
