#pragma once

#include <cstdint>
#include <string_view>

namespace vantreel {

// Kinds of scanned DMIS tokens, generated from TokenKinds.def.
enum TokenKind : int16_t {
#define TOKEN_KIND(name, code) name = code,
#include "dmis/scan/TokenKinds.def"
#undef TOKEN_KIND
};

// The name of a token kind ("tkWord"); empty for a code outside the list.
std::string_view TokenKindName(int16_t kind) noexcept;

}  // namespace vantreel
