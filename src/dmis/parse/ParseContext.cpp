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
    return HasLowerAscii(key) ? set.contains(Folded(std::string(key))) : set.contains(key);
}

bool ParseContext::Register(std::string key, int16_t registry) {
    KeySet& set = Set(registry);
    if (!HasLowerAscii(key) && set.contains(std::string_view(key))) {
        return false;
    }
    return set.insert(Folded(std::move(key))).second;
}

void ParseContext::AddPendingJump(std::string_view name, int32_t line) {
    if (pendingJumpNames_.insert(Folded(std::string(name))).second) {
        pendingJumps_.emplace_back(std::string(name), line);
    }
}

void ParseContext::Clear() {
    definedLabels_.clear();
    jumpLabels_.clear();
    pendingJumpNames_.clear();
    declaredVariables_.clear();
    pendingJumps_.clear();
    depth = 0;
}

}  // namespace vantreel
