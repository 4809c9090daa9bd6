#pragma once

#include "dmis/dialect/DialectWarnings.h"

#include <string>
#include <unordered_set>

namespace vantreel {

// What the statement parser needs for the extended dialect: where its
// warnings go, and which labels a statement has defined so far (a label only
// referenced before may still get its definition later).
struct ExtendedRules {
    explicit ExtendedRules(DialectWarnings& list) : warnings(list) {}

    DialectWarnings& warnings;
    std::unordered_set<std::string> definedLabels;
};

}  // namespace vantreel
