#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <regex>
#include <sstream>
#include <string>

#include "RecordingFeedback.h"
#include "WebImportTestSite.h"
#include "settings/PrivateProfile.h"
#include "support/CliRunner.h"
#include "support/TempWorkingDirectory.h"

extern char** environ;

namespace kitebar {
namespace {

using test::ReadFileBytes;
using test::WriteFileBytes;

std::optional<std::string> FindPython() {
  const char* path = std::getenv("PATH");
  std::stringstream folders(path != nullptr ? path : "");
  for (std::string folder; std::getline(folders, folder, ':');) {
    const std::filesystem::path candidate = std::filesystem::path(folder) / "python3";
    if (::access(candidate.c_str(), X_OK) == 0)
      return candidate.string();
  }
  return std::nullopt;
}

// python3's http.server on 127.0.0.1 (an ephemeral port), serving `folder`.
// It announces its port on its first line of output.
class PythonHttpServer {
 public:
  PythonHttpServer(const std::string& python, const std::filesystem::path& folder) {
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0)
      return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> args{python,   "-u",        "-m",          "http.server",  "0",
                                  "--bind", "127.0.0.1", "--directory", folder.string()};
    std::vector<char*> argv;
    for (std::string& arg : args)
      argv.push_back(arg.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, python.c_str(), &actions, nullptr, argv.data(), environ) != 0)
      pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    // The read end stays open while the server runs: it writes to it after
    // its announcement, and would die of a broken pipe otherwise.
    output_ = pipeEnds[0];
    port_ = ReadAnnouncedPort(output_);
  }
  PythonHttpServer(const PythonHttpServer&) = delete;
  PythonHttpServer& operator=(const PythonHttpServer&) = delete;
  ~PythonHttpServer() {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      int status = 0;
      while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
      }
    }
    if (output_ >= 0)
      ::close(output_);
  }

  int port() const { return port_; }
  std::string BaseUrl() const { return "http://127.0.0.1:" + std::to_string(port_) + "/numbers/"; }

 private:
  static int ReadAnnouncedPort(int fd) {
    std::string output;
    // The whole number: the line may arrive in pieces.
    const std::regex announced("port ([0-9]+) ");
    for (int waits = 0; waits < 100; ++waits) {  // ten seconds at most
      std::smatch match;
      if (std::regex_search(output, match, announced))
        return std::stoi(match[1]);
      pollfd entry{fd, POLLIN, 0};
      if (::poll(&entry, 1, 100) != 1)
        continue;
      char buffer[256];
      const ssize_t got = ::read(fd, buffer, sizeof buffer);
      if (got <= 0)
        break;
      output.append(buffer, static_cast<std::size_t>(got));
    }
    return 0;
  }

  pid_t pid_ = -1;
  int output_ = -1;
  int port_ = 0;
};

class WebImportEndToEndTest : public testing::Test {
 protected:
  void SetUp() override {
    const std::optional<std::string> python = FindPython();
    if (!python)
      GTEST_SKIP() << "python3 is not installed";
    for (const auto& [path, bytes] : test::StandardSitePages()) {
      const std::filesystem::path file = "site" + path;
      std::filesystem::create_directories(file.parent_path());
      WriteFileBytes(file, bytes);
    }
    server_.emplace(*python, directory_.path() / "site");
    ASSERT_NE(server_->port(), 0) << "http.server did not start";
  }

  Status Import(const std::string& bookmark = "") {
    WriteFileBytes("base.ini", test::BaseIni(server_->BaseUrl(), bookmark));
    DrawHistory history;
    EXPECT_TRUE(history.Load().ok());
    HttpFetcher fetcher(feedback_);
    return RunWebImport(history, fetcher, view_, feedback_, [] {});
  }

  static std::string Bookmark() {
    return ReadProfileString("./base.ini", "TvalUrl", "EndURL", "er", 128);
  }

  test::TempWorkingDirectory directory_;
  std::optional<PythonHttpServer> server_;
  test::RecordingFeedback feedback_;
  test::RecordingView view_;
};

TEST_F(WebImportEndToEndTest, AFullImportBringsTheHistoryUpToDate) {
  WriteFileBytes("kitebarnum.dat", test::HistoryFileUpTo(1990));
  ASSERT_TRUE(Import().ok());
  EXPECT_EQ(ReadFileBytes("kitebarnum.dat"), test::HistoryFileUpTo(2015));
  EXPECT_EQ(Bookmark(), "num3-h2015.html");
  EXPECT_EQ(feedback_.progress.back(), 100);
}

TEST_F(WebImportEndToEndTest, AResumedImportStartsAtTheBookmarkWithoutTakingADrawTwice) {
  // The bookmarked page is the second in the queue; it is read again.
  WriteFileBytes("kitebarnum.dat", test::HistoryFileUpTo(2014));
  ASSERT_TRUE(Import("num3-h2013.html").ok());
  EXPECT_EQ(ReadFileBytes("kitebarnum.dat"), test::HistoryFileUpTo(2015));
  EXPECT_EQ(feedback_.lines.at(1), "第 2014 回　～　からの当選番号を処理しています。Web:1");
  EXPECT_EQ(feedback_.lines.size(), 4u);  // started, two pages, finished
}

TEST_F(WebImportEndToEndTest, AFailureAtTheThirdPageKeepsPagesZeroAndOne) {
  std::filesystem::remove("site/numbers/num3-h2013.html");
  WriteFileBytes("kitebarnum.dat", test::HistoryFileUpTo(1990));
  EXPECT_FALSE(Import().ok());
  EXPECT_EQ(ReadFileBytes("kitebarnum.dat"), test::HistoryFileUpTo(2012));
  EXPECT_EQ(Bookmark(), "num2001.html");
  EXPECT_EQ(feedback_.headlines(), std::vector<std::string>{"当選番号の取得に失敗しました。"});
  EXPECT_EQ(feedback_.progress, (std::vector<int>{5, 12, 14}));
  EXPECT_EQ(view_.targetDraws.back(), 2013);
  EXPECT_EQ(view_.refills, 1);
  EXPECT_EQ(view_.busy, (std::vector<bool>{true, false}));
}

TEST_F(WebImportEndToEndTest, TheCommandLineReportsCompletionAndFailure) {
  WriteFileBytes("kitebarnum.dat", test::HistoryFileUpTo(2014));
  WriteFileBytes("base.ini", test::BaseIni(server_->BaseUrl(), "num3-h2015.html"));
  const test::CliResult done = test::RunCli({"import"});
  EXPECT_EQ(done.exitCode, 0) << done.err;
  EXPECT_NE(done.err.find("完了しました。"), std::string::npos) << done.err;
  EXPECT_EQ(ReadFileBytes("kitebarnum.dat"), test::HistoryFileUpTo(2015));

  std::filesystem::remove("site/numbers/numtop01.html");
  const test::CliResult failed = test::RunCli({"import"});
  EXPECT_EQ(failed.exitCode, 1);
  EXPECT_NE(failed.err.find("当選番号の取得に失敗しました。"), std::string::npos) << failed.err;
}

}  // namespace
}  // namespace kitebar
