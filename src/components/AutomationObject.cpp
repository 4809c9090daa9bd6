#include "components/AutomationObject.h"

#include "shared/RunTimeError.h"
#include "vantreel/Error.h"

#include <array>

namespace vantreel {

AutomationObject::AutomationObject(std::string progId, const VantreelClass* cls, void* object)
    : progId_(std::move(progId)), class_(cls), object_(object) {}

AutomationObject::~AutomationObject() {
    if (class_ != nullptr && object_ != nullptr && class_->destroy != nullptr) {
        class_->destroy(object_);
    }
}

AutomationValue AutomationObject::Invoke(const std::string& sMethod,
                                         std::vector<AutomationValue>& args) {
    if (class_ == nullptr || object_ == nullptr || class_->invoke == nullptr) {
        throw MakeError(
            RunTimeError::MethodNotSupported, progId_,
            std::string(RunTimeErrorText(RunTimeError::MethodNotSupported)) + ": " + sMethod);
    }
    std::vector<VantreelValue> values(args.size());
    for (std::size_t i = 0; i < args.size(); ++i) {
        VantreelValue& value = values[i];
        value = VantreelValue{VANTREEL_VALUE_EMPTY, nullptr, 0};
        if (const auto* text = std::get_if<std::string>(&args[i])) {
            value.type = VANTREEL_VALUE_STRING;
            value.text = text->c_str();
        } else if (const auto* number = std::get_if<int32_t>(&args[i])) {
            value.type = VANTREEL_VALUE_LONG;
            value.number = *number;
        } else if (const auto* flag = std::get_if<bool>(&args[i])) {
            value.type = VANTREEL_VALUE_BOOLEAN;
            value.number = *flag ? -1 : 0;
        }
    }
    VantreelValue result{VANTREEL_VALUE_EMPTY, nullptr, 0};
    std::array<char, 1024> error{};
    const int32_t number = class_->invoke(
        object_, sMethod.c_str(), static_cast<int32_t>(values.size()),
        values.empty() ? nullptr : values.data(), &result, error.data(), error.size());
    if (number != 0) {
        error.back() = '\0';  // a plug-in that filled the buffer without a NUL
        std::string description = error.data();
        if (description.empty()) {
            description = "Method '" + sMethod + "' of object '" + progId_ + "' failed";
        }
        throw Error(number, progId_, description);
    }
    for (std::size_t i = 0; i < args.size(); ++i) {  // by reference: numbers come back
        if (std::holds_alternative<int32_t>(args[i])) {
            args[i] = values[i].number;
        } else if (std::holds_alternative<bool>(args[i])) {
            args[i] = values[i].number != 0;
        }
    }
    switch (result.type) {
        case VANTREEL_VALUE_STRING:
            return std::string(result.text != nullptr ? result.text : "");
        case VANTREEL_VALUE_LONG:
            return result.number;
        case VANTREEL_VALUE_BOOLEAN:
            return result.number != 0;
        default:
            return std::monostate{};
    }
}

}  // namespace vantreel
