#pragma once

#include "dmis/dialect/DialectWarnings.h"

#include <cstdint>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

namespace vantreel {

// What the statement parser needs for the extended dialect: where its
// warnings go, and the labels referenced before anything defined them (their
// definition may come later).
struct ExtendedRules {
    explicit ExtendedRules(DialectWarnings& list) : warnings(list) {}

    DialectWarnings& warnings;
    std::unordered_set<std::string> forwardReferences;
    // Variables assigned without a DECL, with the line of the first assignment.
    std::vector<std::pair<std::string, int32_t>> undeclared;
};

class CProgram;

// Completes a program the extended dialect parsed: the variables assigned
// without a declaration get one (DECL/LOCAL,VARIANT,...) before ENDFIL, so
// that the Basic modules declare them as Option Explicit demands.
void CompleteExtendedProgram(CProgram& program, const ExtendedRules& rules);

}  // namespace vantreel
