#pragma once

#include "shared/MessageBox.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vantreel::test {

struct ShownMessage {
    std::string text;
    int32_t style;
    std::string title;
};

// Records every message box instead of showing it and answers OK; the
// handler before it is back once the log is gone.
class MessageLog {
  public:
    MessageLog() {
        previous_ = SetMessageBoxHandler(
            [this](const std::string& text, int32_t style, const std::string& title) {
                shown.push_back({text, style, title});
                return static_cast<int32_t>(vbOK);
            });
    }
    ~MessageLog() { SetMessageBoxHandler(previous_); }
    MessageLog(const MessageLog&) = delete;
    MessageLog& operator=(const MessageLog&) = delete;

    std::vector<ShownMessage> shown;

  private:
    MessageBoxHandler previous_;
};

}  // namespace vantreel::test
