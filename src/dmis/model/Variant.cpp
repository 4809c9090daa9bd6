#include "dmis/model/Variant.h"

#include "dmis/model/CExpression.h"
#include "dmis/model/NumberFormat.h"
#include "shared/RunTimeError.h"
#include "vantreel/Error.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

namespace vantreel {
namespace {

[[noreturn]] void ThrowTypeMismatch() {
    throw MakeError(RunTimeError::TypeMismatch, "Variant", "Type mismatch");
}

[[noreturn]] void ThrowSubscriptOutOfRange() {
    throw MakeError(RunTimeError::SubscriptOutOfRange, "Variant", "Subscript out of range");
}

std::string CurrencyText(int64_t scaled) {
    const bool negative = scaled < 0;
    // Work on the magnitude as unsigned so that the smallest value survives.
    const uint64_t magnitude =
        negative ? uint64_t{0} - static_cast<uint64_t>(scaled) : static_cast<uint64_t>(scaled);
    std::string text = negative ? "-" : "";
    text += std::to_string(magnitude / 10000);
    std::string fraction = std::to_string(magnitude % 10000);
    fraction.insert(0, 4 - fraction.size(), '0');
    while (!fraction.empty() && fraction.back() == '0') {
        fraction.pop_back();
    }
    if (!fraction.empty()) {
        text += '.' + fraction;
    }
    return text;
}

}  // namespace

static_assert(sizeof(Variant) == 16);

void Variant::ReleaseBlock() noexcept {
    switch (type_) {
        case VariantType::Object:
            delete payload_.node;
            break;
        case VariantType::Array:
            payload_.array->~VariantArray();
            if (!BlockInArena()) {
                ModelHeap::Release(payload_.array);
            }
            break;
        case VariantType::String:
            if (!BlockInArena()) {
                ModelHeap::Release(payload_.text);
            }
            break;
        default:
            break;
    }
}

Variant Variant::MakeNull() {
    return Variant(VariantType::Null);
}
Variant Variant::FromInteger(int16_t value) {
    Variant v(VariantType::Integer);
    v.payload_.integer = value;
    return v;
}
Variant Variant::FromLong(int32_t value) {
    Variant v(VariantType::Long);
    v.payload_.longValue = value;
    return v;
}
Variant Variant::FromSingle(float value) {
    Variant v(VariantType::Single);
    v.payload_.single = value;
    return v;
}
Variant Variant::FromDouble(double value) {
    Variant v(VariantType::Double);
    v.payload_.real = value;
    return v;
}
Variant Variant::FromCurrency(int64_t scaledBy10000) {
    Variant v(VariantType::Currency);
    v.payload_.currency = scaledBy10000;
    return v;
}
Variant Variant::FromDate(double days) {
    Variant v(VariantType::Date);
    v.payload_.real = days;
    return v;
}
Variant Variant::FromString(std::string_view value) {
    Variant v(VariantType::String);
    if (value.size() <= kInlineText) {
        v.inlineSize_ = static_cast<uint8_t>(value.size());
        if (!value.empty()) {
            std::memcpy(v.InlineText(), value.data(), value.size());
        }
        return v;
    }
    if (value.size() > std::numeric_limits<uint32_t>::max()) {
        throw std::bad_alloc();
    }
    const std::size_t bytes = offsetof(LongText, bytes) + value.size();
    ModelArena* arena = ModelArena::Current();
    auto* text = static_cast<LongText*>(arena != nullptr ? arena->Allocate(bytes)
                                                         : ModelHeap::Allocate(bytes));
    v.SetBlockInArena(arena != nullptr);
    text->size = static_cast<uint32_t>(value.size());
    std::memcpy(text->bytes, value.data(), value.size());
    v.inlineSize_ = kLongText;
    v.payload_.text = text;
    return v;
}
Variant Variant::FromBoolean(bool value) {
    Variant v(VariantType::Boolean);
    v.payload_.boolean = value;
    return v;
}
Variant Variant::FromByte(uint8_t value) {
    Variant v(VariantType::Byte);
    v.payload_.byte = value;
    return v;
}

Variant Variant::FromObject(std::unique_ptr<CExpression> node) {
    if (!node) {
        return Variant();
    }
    Variant v(VariantType::Object);
    v.payload_.node = node.release();
    return v;
}

Variant Variant::FromArray(VariantArray array) {
    ModelArena* arena = ModelArena::Current();
    void* block = arena != nullptr ? arena->Allocate(sizeof(VariantArray))
                                   : ModelHeap::Allocate(sizeof(VariantArray));
    Variant v(VariantType::Array);
    v.payload_.array = new (block) VariantArray(std::move(array));
    v.SetBlockInArena(arena != nullptr);
    return v;
}

int16_t Variant::Integer() const {
    if (type_ != VariantType::Integer) {
        ThrowTypeMismatch();
    }
    return payload_.integer;
}
int32_t Variant::Long() const {
    if (type_ != VariantType::Long) {
        ThrowTypeMismatch();
    }
    return payload_.longValue;
}
float Variant::Single() const {
    if (type_ != VariantType::Single) {
        ThrowTypeMismatch();
    }
    return payload_.single;
}
double Variant::Double() const {
    if (type_ != VariantType::Double) {
        ThrowTypeMismatch();
    }
    return payload_.real;
}
int64_t Variant::Currency() const {
    if (type_ != VariantType::Currency) {
        ThrowTypeMismatch();
    }
    return payload_.currency;
}
double Variant::Date() const {
    if (type_ != VariantType::Date) {
        ThrowTypeMismatch();
    }
    return payload_.real;
}
std::string_view Variant::String() const {
    if (type_ != VariantType::String) {
        ThrowTypeMismatch();
    }
    if (inlineSize_ == kLongText) {
        return {payload_.text->bytes, payload_.text->size};
    }
    return {InlineText(), inlineSize_};
}
bool Variant::Boolean() const {
    if (type_ != VariantType::Boolean) {
        ThrowTypeMismatch();
    }
    return payload_.boolean;
}
uint8_t Variant::Byte() const {
    if (type_ != VariantType::Byte) {
        ThrowTypeMismatch();
    }
    return payload_.byte;
}

VariantArray& Variant::Array() {
    if (type_ != VariantType::Array) {
        ThrowTypeMismatch();
    }
    return *payload_.array;
}

const VariantArray& Variant::Array() const {
    return const_cast<Variant*>(this)->Array();
}

std::unique_ptr<CExpression> Variant::TakeObject() noexcept {
    if (type_ != VariantType::Object) {
        return nullptr;
    }
    std::unique_ptr<CExpression> taken(payload_.node);
    type_ = VariantType::Empty;
    payload_.bits = 0;
    return taken;
}

int32_t Variant::WholeNumber() const {
    switch (Type()) {
        case VariantType::Integer:
            return Integer();
        case VariantType::Long:
            return Long();
        case VariantType::Byte:
            return Byte();
        default:
            ThrowTypeMismatch();
    }
}

std::string Variant::ToText() const {
    switch (Type()) {
        case VariantType::Empty:
        case VariantType::Null:
            return {};
        case VariantType::Integer:
            return std::to_string(Integer());
        case VariantType::Long:
            return std::to_string(Long());
        case VariantType::Single:
            return FormatSingle(Single());
        case VariantType::Double:
            return FormatDouble(Double());
        case VariantType::Currency:
            return CurrencyText(Currency());
        case VariantType::Date:
            return FormatDouble(Date());
        case VariantType::String:
            return std::string(String());
        case VariantType::Boolean:
            return Boolean() ? "True" : "False";
        case VariantType::Byte:
            return std::to_string(Byte());
        case VariantType::Object:
        case VariantType::Array:
            break;
    }
    ThrowTypeMismatch();
}

Variant Variant::Clone() const {
    switch (Type()) {
        case VariantType::Object:
            ThrowTypeMismatch();
        case VariantType::Array: {
            const VariantArray& source = Array();
            VariantArray copy(source.LBound(), 0);
            for (const Variant& element : source.Elements()) {
                copy.Append(element.Clone());
            }
            return FromArray(std::move(copy));
        }
        case VariantType::String:
            return FromString(String());
        default:
            break;
    }
    // Every remaining type is a plain value held in the payload.
    Variant copy(type_);
    copy.payload_ = payload_;
    return copy;
}

VariantArray::VariantArray(int32_t lowerBound, int32_t count) : lowerBound_(lowerBound) {
    if (count < 0) {
        ThrowSubscriptOutOfRange();
    }
    elements_.resize(static_cast<std::size_t>(count));
}

int32_t VariantArray::UBound() const noexcept {
    return static_cast<int32_t>(static_cast<int64_t>(lowerBound_) + Count() - 1);
}

Variant& VariantArray::operator[](int32_t index) {
    const int64_t offset = static_cast<int64_t>(index) - lowerBound_;
    if (offset < 0 || offset >= Count()) {
        ThrowSubscriptOutOfRange();
    }
    return elements_[static_cast<std::size_t>(offset)];
}

const Variant& VariantArray::operator[](int32_t index) const {
    return const_cast<VariantArray*>(this)->operator[](index);
}

void VariantArray::Append(Variant value) {
    if (Count() == std::numeric_limits<int32_t>::max()) {
        ThrowSubscriptOutOfRange();
    }
    elements_.push_back(std::move(value));
}

}  // namespace vantreel
