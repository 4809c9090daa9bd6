#pragma once

#include "vantreel/Plugin.h"

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace vantreel {

// One argument of a late-bound call: text, a Long or a Boolean. Arguments are
// passed by reference: after Invoke, a Long or Boolean holds what the method
// left in it.
using AutomationValue = std::variant<std::monostate, std::string, int32_t, bool>;

// An object made by ProgID from a plug-in (see vantreel/Plugin.h), called by
// method name. Failures raise vantreel::Error with the plug-in's number and
// description and the ProgID as source.
class AutomationObject {
  public:
    // Takes over object, made by cls (whose shared object stays loaded).
    AutomationObject(std::string progId, const VantreelClass* cls, void* object);
    virtual ~AutomationObject();
    AutomationObject(const AutomationObject&) = delete;
    AutomationObject& operator=(const AutomationObject&) = delete;

    const std::string& ProgID() const noexcept { return progId_; }

    // Calls sMethod with the arguments in order; returns its result (monostate
    // for none).
    virtual AutomationValue Invoke(const std::string& sMethod, std::vector<AutomationValue>& args);

  protected:
    AutomationObject() = default;  // for objects made in code

  private:
    std::string progId_;
    const VantreelClass* class_ = nullptr;
    void* object_ = nullptr;
};

}  // namespace vantreel
