#include "dmis/scan/TokenKind.h"

namespace vantreel {

std::string_view TokenKindName(int16_t kind) noexcept {
    switch (kind) {
#define TOKEN_KIND(name, code) \
    case code:                 \
        return #name;
#include "dmis/scan/TokenKinds.def"
#undef TOKEN_KIND
    }
    return {};
}

}  // namespace vantreel
