#pragma once

#include "vantreel/Api.h"

#include <cstdint>
#include <stdexcept>
#include <string>

namespace vantreel {

// A run-time error of the library: a number, the routine that raised it and a
// description for the operator. Public methods catch it and turn it into their
// neutral result; internal code throws it where a routine cannot go on.
class VANTREEL_API Error : public std::runtime_error {
  public:
    Error(int32_t number, std::string source, std::string description);

    int32_t Number() const noexcept { return number_; }
    const std::string& Source() const noexcept { return source_; }
    const std::string& Description() const noexcept { return description_; }

  private:
    int32_t number_;
    std::string source_;
    std::string description_;
};

}  // namespace vantreel
