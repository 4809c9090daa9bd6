#include "dmis/parse/ParseMessage.h"

#include "shared/Resources.h"

namespace vantreel {
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
