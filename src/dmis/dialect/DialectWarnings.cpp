#include "dmis/dialect/DialectWarnings.h"

#include "shared/Resources.h"

#include <algorithm>

namespace vantreel {

std::string DialectWarning::Text() const {
    return FormatResString(id, detail);
}

void DialectWarnings::Add(int32_t line, int32_t id, std::string detail) {
    DialectWarning warning{line, id, std::move(detail)};
    // Repeats come from the parser retrying the statement it just read, so
    // only the most recent warnings need to be compared.
    const std::size_t recent = std::min<std::size_t>(list_.size(), 8);
    if (std::find(list_.end() - static_cast<std::ptrdiff_t>(recent), list_.end(), warning) !=
        list_.end()) {
        return;
    }
    list_.push_back(std::move(warning));
}

std::vector<DialectWarning> DialectWarnings::Sorted() const {
    std::vector<DialectWarning> sorted = list_;
    std::stable_sort(
        sorted.begin(), sorted.end(),
        [](const DialectWarning& a, const DialectWarning& b) { return a.line < b.line; });
    return sorted;
}

}  // namespace vantreel
