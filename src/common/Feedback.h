#pragma once

#include <string_view>

namespace kitebar {

enum class MessageIcon { kNone, kInformation, kStop };

// What a long core operation tells the person waiting for it. The dialogs and
// the command line implement it; texts are UTF-8.
class Feedback {
 public:
  virtual ~Feedback() = default;
  // Progress of the running operation, 0 to 100.
  virtual void SetProgress(int percent) = 0;
  // One line for the operation's message line (the import's "完了しました。").
  virtual void AddMessageLine(std::string_view text) = 0;
  // A message box with the application's title as caption.
  virtual void ShowMessage(std::string_view text, MessageIcon icon) = 0;
};

// Feedback that nobody sees: for runs inside other runs and for tests.
class SilentFeedback final : public Feedback {
 public:
  void SetProgress(int) override {}
  void AddMessageLine(std::string_view) override {}
  void ShowMessage(std::string_view, MessageIcon) override {}
};

}  // namespace kitebar
