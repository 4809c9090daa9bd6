#include "dmis/Variant.h"

#include "dmis/CExpression.h"
#include "dmis/NumberFormat.h"
#include "shared/RunTimeError.h"
#include "vantreel/Error.h"

#include <limits>

namespace vantreel {
namespace {

[[noreturn]] void ThrowTypeMismatch() {
    throw MakeError(RunTimeError::TypeMismatch, "Variant", "Type mismatch");
}

[[noreturn]] void ThrowSubscriptOutOfRange() {
    throw MakeError(RunTimeError::SubscriptOutOfRange, "Variant", "Subscript out of range");
}

template <class T, class Storage>
const T& Get(const Storage& storage) {
    if (const T* value = std::get_if<T>(&storage)) {
        return *value;
    }
    ThrowTypeMismatch();
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

Variant::Variant() noexcept = default;
Variant::~Variant() = default;
Variant::Variant(Variant&&) noexcept = default;
Variant& Variant::operator=(Variant&&) noexcept = default;
Variant::Variant(Storage storage) noexcept : storage_(std::move(storage)) {}

Variant Variant::MakeNull() {
    return Variant(Storage(NullValue{}));
}
Variant Variant::FromInteger(int16_t value) {
    return Variant(Storage(value));
}
Variant Variant::FromLong(int32_t value) {
    return Variant(Storage(value));
}
Variant Variant::FromSingle(float value) {
    return Variant(Storage(value));
}
Variant Variant::FromDouble(double value) {
    return Variant(Storage(value));
}
Variant Variant::FromCurrency(int64_t scaledBy10000) {
    return Variant(Storage(CurrencyValue{scaledBy10000}));
}
Variant Variant::FromDate(double days) {
    return Variant(Storage(DateValue{days}));
}
Variant Variant::FromString(std::string value) {
    return Variant(Storage(std::move(value)));
}
Variant Variant::FromBoolean(bool value) {
    return Variant(Storage(value));
}
Variant Variant::FromByte(uint8_t value) {
    return Variant(Storage(value));
}

Variant Variant::FromObject(std::unique_ptr<CExpression> node) {
    if (!node) {
        return Variant();
    }
    return Variant(Storage(std::move(node)));
}

Variant Variant::FromArray(VariantArray array) {
    return Variant(Storage(std::make_unique<VariantArray>(std::move(array))));
}

VariantType Variant::Type() const noexcept {
    constexpr VariantType kTypes[] = {
        VariantType::Empty,  VariantType::Null,   VariantType::Integer,  VariantType::Long,
        VariantType::Single, VariantType::Double, VariantType::Currency, VariantType::Date,
        VariantType::String, VariantType::Object, VariantType::Boolean,  VariantType::Byte,
        VariantType::Array,
    };
    static_assert(std::size(kTypes) == std::variant_size_v<Storage>);
    return kTypes[storage_.index()];
}

int16_t Variant::Integer() const {
    return Get<int16_t>(storage_);
}
int32_t Variant::Long() const {
    return Get<int32_t>(storage_);
}
float Variant::Single() const {
    return Get<float>(storage_);
}
double Variant::Double() const {
    return Get<double>(storage_);
}
int64_t Variant::Currency() const {
    return Get<CurrencyValue>(storage_).scaled;
}
double Variant::Date() const {
    return Get<DateValue>(storage_).days;
}
const std::string& Variant::String() const {
    return Get<std::string>(storage_);
}
bool Variant::Boolean() const {
    return Get<bool>(storage_);
}
uint8_t Variant::Byte() const {
    return Get<uint8_t>(storage_);
}

VariantArray& Variant::Array() {
    auto* array = std::get_if<std::unique_ptr<VariantArray>>(&storage_);
    if (array == nullptr) {
        ThrowTypeMismatch();
    }
    return **array;
}

const VariantArray& Variant::Array() const {
    return const_cast<Variant*>(this)->Array();
}

CExpression* Variant::Object() const noexcept {
    const auto* node = std::get_if<std::unique_ptr<CExpression>>(&storage_);
    return node != nullptr ? node->get() : nullptr;
}

std::unique_ptr<CExpression> Variant::TakeObject() {
    auto* node = std::get_if<std::unique_ptr<CExpression>>(&storage_);
    if (node == nullptr) {
        return nullptr;
    }
    std::unique_ptr<CExpression> taken = std::move(*node);
    storage_ = std::monostate{};
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
            return String();
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
    // Every remaining alternative is a trivially copyable value.
    return std::visit(
        [](const auto& value) -> Variant {
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_trivially_copyable_v<T>) {
                return Variant(Storage(value));
            } else {
                ThrowTypeMismatch();
            }
        },
        storage_);
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
