#pragma once

namespace kitebar::app {

// Something that can handle menu and accelerator commands. The main window
// offers each command to the view, the document, itself and the application,
// in that order, and the first that handles it wins.
class CommandTarget {
 public:
  virtual ~CommandTarget() = default;
  // Runs the handler of `command` and returns true, or returns false when this
  // target has none.
  virtual bool OnCmdMsg(int command) = 0;
};

}  // namespace kitebar::app
