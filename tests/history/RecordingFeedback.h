#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/Feedback.h"

namespace kitebar::test {

// Feedback that keeps everything it is told, for the import's tests.
class RecordingFeedback final : public Feedback {
 public:
  void SetProgress(int percent) override { progress.push_back(percent); }
  void AddMessageLine(std::string_view text) override { lines.emplace_back(text); }
  void ShowMessage(std::string_view text, MessageIcon icon) override {
    messages.emplace_back(text);
    icons.push_back(icon);
  }

  // The first line of each message box: the fixed text that the details
  // follow.
  std::vector<std::string> headlines() const {
    std::vector<std::string> first;
    for (const std::string& message : messages)
      first.push_back(message.substr(0, message.find('\n')));
    return first;
  }

  std::vector<int> progress;
  std::vector<std::string> lines;
  std::vector<std::string> messages;
  std::vector<MessageIcon> icons;
};

}  // namespace kitebar::test
