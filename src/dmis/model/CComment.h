#pragma once

#include <cstdint>
#include <string>

namespace vantreel {

// One comment line of a DMIS source ("$$ ..."), kept with its source line.
class CComment {
  public:
    const std::string& Comment() const noexcept { return comment_; }
    void SetComment(std::string comment) { comment_ = std::move(comment); }

    int32_t LineNumber() const noexcept { return lineNumber_; }
    void SetLineNumber(int32_t lineNumber) noexcept { lineNumber_ = lineNumber; }

  private:
    std::string comment_;
    int32_t lineNumber_ = 0;
};

}  // namespace vantreel
