#pragma once

#include "vantreel/Error.h"

#include <string>

namespace vantreel::test {

// The number of the vantreel::Error that action throws, 0 when it throws none;
// the error's description goes to description when one is given.
template <class Action>
int ErrorNumber(Action&& action, std::string* description = nullptr) {
    try {
        action();
    } catch (const Error& error) {
        if (description != nullptr) {
            *description = error.Description();
        }
        return error.Number();
    }
    return 0;
}

}  // namespace vantreel::test
