#include "dmis/dialect/DmisDialect.h"

#include "shared/RegEntry.h"
#include "shared/Text.h"
#include "vantreel/Error.h"

namespace vantreel {

std::optional<DmisDialect> ParseDmisDialect(std::string_view text) {
    const std::string upper = ToUpperAscii(text);
    if (upper == "STRICT") {
        return DmisDialect::Strict;
    }
    if (upper == "EXTENDED") {
        return DmisDialect::Extended;
    }
    return std::nullopt;
}

std::string_view DmisDialectName(DmisDialect dialect) {
    return dialect == DmisDialect::Extended ? "extended" : "strict";
}

DmisDialect DmisDialectFromRegistry() {
    try {
        RegEntry registry;
        if (!registry.TestKey("Common")) {
            return DmisDialect::Strict;
        }
        registry.OpenKey("Common");
        return ParseDmisDialect(registry.GetString("DmisDialect")).value_or(DmisDialect::Strict);
    } catch (const Error&) {
        return DmisDialect::Strict;  // no registry: the rules as they stand
    }
}

}  // namespace vantreel
