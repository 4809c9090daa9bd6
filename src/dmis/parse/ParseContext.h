#pragma once

#include "dmis/model/Progress.h"
#include "dmis/parse/NameSet.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vantreel {

struct ExtendedRules;

// Thrown when statements or expressions nest deeper than ParseContext::kMaxDepth;
// the program parser turns it into its message.
struct NestedTooDeeply {
    int32_t line = 0;
};

// Counts one level of nesting for as long as it lives.
class DepthGuard {
  public:
    explicit DepthGuard(int32_t& depth, int32_t line);
    ~DepthGuard() { --depth_; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;

  private:
    int32_t& depth_;
};

// What the parsers of one conversion share: the four registries of labels,
// jumps and declarations, the nesting depth, and the progress callback.
// A conversion creates its own, so nothing leaks from one program into the next.
class ParseContext {
  public:
    enum Registry : int16_t {
        DefinedLabels = 1,
        JumpLabels = 2,
        PendingJumps = 3,
        DeclaredVariables = 4,
    };

    // Statements and expressions nest at most this deep.
    static constexpr int32_t kMaxDepth = 200;

    // Whether key is in the registry (2 JumpLabels, 3 PendingJumps,
    // 4 DeclaredVariables, any other number DefinedLabels). Keys compare
    // without regard to letter case.
    bool IsRegistered(std::string_view key, int16_t registry) const;

    // Adds key unless it is there; true when it was added.
    bool Register(std::string_view key, int16_t registry);

    // A jump to name from a JUMPTO on line, unless one is already pending.
    void AddPendingJump(std::string_view name, int32_t line);
    const std::vector<std::pair<std::string, int32_t>>& PendingJumpList() const noexcept {
        return pendingJumps_;
    }

    // Empties all four registries.
    void Clear();

    ProgressCallback progress;
    int32_t depth = 0;
    // Set for the extended dialect; nullptr parses by the strict rules.
    ExtendedRules* extended = nullptr;

  private:
    using KeySet = NameSet;

    KeySet& Set(int16_t registry);
    const KeySet& Set(int16_t registry) const;

    KeySet definedLabels_;
    KeySet jumpLabels_;
    KeySet pendingJumpNames_;
    KeySet declaredVariables_;
    std::vector<std::pair<std::string, int32_t>> pendingJumps_;
};

}  // namespace vantreel
