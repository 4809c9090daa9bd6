#include "dmis/ParseContext.h"

namespace vantreel {
namespace {

std::string Folded(std::string_view key) {
    std::string folded(key);
    for (char& c : folded) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return folded;
}

}  // namespace

DepthGuard::DepthGuard(int32_t& depth, int32_t line) : depth_(depth) {
    if (depth_ >= ParseContext::kMaxDepth) {
        throw NestedTooDeeply{line};
    }
    ++depth_;
}

const std::unordered_set<std::string>& ParseContext::Set(int16_t registry) const {
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
    return Set(registry).contains(Folded(key));
}

bool ParseContext::Register(std::string_view key, int16_t registry) {
    return const_cast<std::unordered_set<std::string>&>(Set(registry)).insert(Folded(key)).second;
}

void ParseContext::AddPendingJump(std::string_view name, int32_t line) {
    if (pendingJumpNames_.insert(Folded(name)).second) {
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
