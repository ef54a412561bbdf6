// Each exit status that the manual page of kitebar-cli promises, with a case
// that ends with it; a status added to the page needs its case here.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "support/CliRunner.h"
#include "support/FolderFixtures.h"
#include "support/TempWorkingDirectory.h"

namespace kitebar {
namespace {

struct StatusClaim {
  const char* name;
  int status;
  std::vector<std::string> args;
  int historyDraws;  // -1: no history file
  bool interrupted = false;
};

const std::vector<StatusClaim> kClaims = {
    {"Success", 0, {"history"}, 5},
    {"OneOrTwoDigitsFilledWithZeros", 0, {"register", "12"}, 5},
    {"Failure", 1, {"predict"}, -1},
    {"UnknownCommand", 2, {"nosuch"}, 5},
    {"UnknownOption", 2, {"predict", "--nosuch"}, 5},
    {"ValueOutOfRange", 2, {"analyse", "--type", "6"}, 5},
    {"NumberOfFourDigits", 2, {"register", "1234"}, 5},
    {"StoppedWithCtrlC", 130, {"tune", "--train-to", "200"}, 400, true},
};

// The statuses of the page's EXIT STATUS section, which packaging/
// cli-manpage.sh writes as ".TP" and ".B <status>" lines.
std::set<int> StatusesOfTheManualPage() {
  std::ifstream page(KITEBAR_PACKAGING_DIR "/cli-manpage.sh");
  std::set<int> statuses;
  bool inSection = false;
  bool atTerm = false;
  for (std::string line; std::getline(page, line);) {
    if (line == ".SH EXIT STATUS") {
      inSection = true;
    } else if (inSection && line.starts_with(".SH ")) {
      break;
    } else if (atTerm && line.starts_with(".B ")) {
      statuses.insert(std::stoi(line.substr(3)));
    }
    atTerm = inSection && line == ".TP";
  }
  return statuses;
}

TEST(ManualExitStatus, EveryStatusOfThePageHasACase) {
  std::set<int> claimed;
  for (const StatusClaim& claim : kClaims)
    claimed.insert(claim.status);
  EXPECT_EQ(StatusesOfTheManualPage(), claimed);
}

class ManualExitStatusClaim : public testing::TestWithParam<StatusClaim> {};

TEST_P(ManualExitStatusClaim, Holds) {
  test::TempWorkingDirectory folder;
  const StatusClaim& claim = GetParam();
  if (claim.historyDraws >= 0)
    test::WriteFileBytes("kitebarnum.dat", test::HistoryUpTo(claim.historyDraws));
  const test::CliResult result =
      claim.interrupted ? test::RunCliInterrupted(claim.args) : test::RunCli(claim.args);
  EXPECT_EQ(result.exitCode, claim.status) << result.err;
  // A wrong command line changes nothing.
  if (claim.status == 2) {
    EXPECT_EQ(test::ReadFileBytes("kitebarnum.dat"), test::HistoryUpTo(claim.historyDraws));
  }
}

INSTANTIATE_TEST_SUITE_P(Claims, ManualExitStatusClaim, testing::ValuesIn(kClaims),
                         [](const testing::TestParamInfo<StatusClaim>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace kitebar
