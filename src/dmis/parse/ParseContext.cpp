#include "dmis/parse/ParseContext.h"
#include "shared/Text.h"

#include <utility>

namespace vantreel {
namespace {

// Keys are kept in upper case; the scanner's words already are.
std::string Folded(std::string key) {
    MakeUpperAscii(key);
    return key;
}

}  // namespace

DepthGuard::DepthGuard(int32_t& depth, int32_t line) : depth_(depth) {
    if (depth_ >= ParseContext::kMaxDepth) {
        throw NestedTooDeeply{line};
    }
    ++depth_;
}

ParseContext::KeySet& ParseContext::Set(int16_t registry) {
    return const_cast<KeySet&>(std::as_const(*this).Set(registry));
}

const ParseContext::KeySet& ParseContext::Set(int16_t registry) const {
    switch (registry) {
        case JumpLabels:
            return jumpLabels_;
        case PendingJumps:
            return pendingJumpNames_;
        case DeclaredVariables:
            return declaredVariables_;
        default:
            return definedLabels_;
    }
}

bool ParseContext::IsRegistered(std::string_view key, int16_t registry) const {
    const KeySet& set = Set(registry);
    return HasLowerAscii(key) ? set.Contains(Folded(std::string(key))) : set.Contains(key);
}

bool ParseContext::Register(std::string_view key, int16_t registry) {
    KeySet& set = Set(registry);
    return HasLowerAscii(key) ? set.Insert(Folded(std::string(key))) : set.Insert(key);
}

void ParseContext::AddPendingJump(std::string_view name, int32_t line) {
    if (HasLowerAscii(name) ? pendingJumpNames_.Insert(Folded(std::string(name)))
                            : pendingJumpNames_.Insert(name)) {
        pendingJumps_.emplace_back(std::string(name), line);
    }
}

void ParseContext::Clear() {
    definedLabels_.Clear();
    jumpLabels_.Clear();
    pendingJumpNames_.Clear();
    declaredVariables_.Clear();
    pendingJumps_.clear();
    depth = 0;
}

}  // namespace vantreel
