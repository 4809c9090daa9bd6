#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vantreel {

// Which DMIS the parsers accept. Strict follows the conversion rules to the
// letter; Extended also takes what real stations and people write (bare
// words, trailing comments, letters beyond ASCII in names, missing ENDFIL...)
// and reports each such construct as a warning.
enum class DmisDialect { Strict, Extended };

// "strict" or "extended" in any letter case; nothing for another text.
std::optional<DmisDialect> ParseDmisDialect(std::string_view text);

// "strict" or "extended".
std::string_view DmisDialectName(DmisDialect dialect);

// The dialect for conversions started from the part selection dialog: the
// registry value Common\DmisDialect, Strict when it is missing or unknown.
DmisDialect DmisDialectFromRegistry();

}  // namespace vantreel
