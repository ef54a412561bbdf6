#pragma once

#include <string>
#include <vector>

#include "cli/Command.h"

namespace kitebar::cli {

// `settings set-type T KEY=VALUE …`: the windmill-settings update of set T
// (1 to 5) with the keys "EndPoint", "Toutatu1" to "Toutatu4", "Tekicyuten1"
// to "Tekicyuten4" and "SpeedRate1" to "SpeedRate4"; keys not named keep what
// the set file holds. Values get the settings dialog's checks: a range warning
// is printed on stderr and the value saved all the same, a value that is not a
// number refuses the whole update. Prints the set's values as saved.
class SetTypeCommand final : public Command {
 public:
  CLI::App* Register(CLI::App& settings) override;
  int Run() override;

 private:
  int type_ = 0;
  std::vector<std::string> assignments_;
};

// `settings set-core KEY=VALUE …`: the core-settings update with the keys
// "EndRate", "StepNum" and "Diameter"; checks and output as for set-type.
class SetCoreCommand final : public Command {
 public:
  CLI::App* Register(CLI::App& settings) override;
  int Run() override;

 private:
  std::vector<std::string> assignments_;
};

}  // namespace kitebar::cli
