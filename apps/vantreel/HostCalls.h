#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vantreel::cli {

// What the demo host passes to the public methods.
struct HostCallSettings {
    int32_t language = 1033;
    bool touchScreen = false;
    std::string station;  // the sample station's directory
};

// One public method as the demo host calls it: on a fresh instance of its
// class, with sample arguments, its result shown as text.
struct HostCall {
    std::string className;    // "PartSelection"
    std::string method;       // "PartOpen"
    std::string button;       // the method's design name, its button's text
    std::string arguments;    // as the log shows them: ("Open a part program")
    std::string unavailable;  // why it cannot be called in this build; "" when it can
    std::function<std::string(const HostCallSettings&)> run;
};

// Every public method in the order of the demo host's buttons.
const std::vector<HostCall>& HostCalls();

}  // namespace vantreel::cli
