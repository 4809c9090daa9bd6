#include "dmis/ParseMessage.h"

#include "shared/Resources.h"

namespace vantreel {
namespace {

constexpr int32_t kSyntaxError = 167024;
constexpr int32_t kAtLine = 167033;
constexpr int32_t kOperatorWithoutOperand = 167050;

}  // namespace

std::string ParseMessage::Format() const {
    switch (shape) {
        case Shape::Text:
            return extra;
        case Shape::Wrapped:
            return FormatResString(kSyntaxError, GetResString(id) + extra) + " " +
                   FormatResString(kAtLine, line);
        case Shape::Plain:
            return GetResString(id) + " " + FormatResString(kAtLine, line);
        case Shape::Operator:
            return FormatResString(kOperatorWithoutOperand, extra) + " " +
                   FormatResString(kAtLine, line);
        case Shape::Lined:
            return extra + "  " + FormatResString(kAtLine, line);
    }
    return extra;
}

}  // namespace vantreel
