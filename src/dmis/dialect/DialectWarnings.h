#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vantreel {

// String IDs of the extended dialect's warnings, from DialectWarnings.def.
enum DialectWarningId : int32_t {
#define DIALECT_WARNING(name, id) name = id,
#include "dmis/dialect/DialectWarnings.def"
#undef DIALECT_WARNING
};

// One construct the extended dialect accepted: where, which, and the detail
// its message names (a word, a label, a count).
struct DialectWarning {
    int32_t line = 0;
    int32_t id = 0;
    std::string detail;

    // The message in the current language.
    std::string Text() const;

    friend bool operator==(const DialectWarning&, const DialectWarning&) = default;
};

// The warnings of one file. The statement parser backtracks, so the same
// construct may be reported more than once; it is kept once.
class DialectWarnings {
  public:
    void Add(int32_t line, int32_t id, std::string detail = {});
    // In line order; warnings of one line in the order they were found.
    std::vector<DialectWarning> Sorted() const;
    std::size_t Count() const noexcept { return list_.size(); }

  private:
    std::vector<DialectWarning> list_;
};

}  // namespace vantreel
