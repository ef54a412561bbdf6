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

  std::vector<int> progress;
  std::vector<std::string> lines;
  std::vector<std::string> messages;
  std::vector<MessageIcon> icons;
};

}  // namespace kitebar::test
