#include "reports/XdgPageOpener.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "common/NumberText.h"

extern char** environ;

namespace kitebar {
namespace {

// Spawn file actions that give the child an empty stdin and a silent stdout,
// so that the caller's own output stays clean.
class QuietStandardStreams {
 public:
  QuietStandardStreams() {
    ::posix_spawn_file_actions_init(&actions_);
    ::posix_spawn_file_actions_addopen(&actions_, 0, "/dev/null", O_RDONLY, 0);
    ::posix_spawn_file_actions_addopen(&actions_, 1, "/dev/null", O_WRONLY, 0);
  }
  QuietStandardStreams(const QuietStandardStreams&) = delete;
  QuietStandardStreams& operator=(const QuietStandardStreams&) = delete;
  ~QuietStandardStreams() { ::posix_spawn_file_actions_destroy(&actions_); }
  const posix_spawn_file_actions_t* get() const { return &actions_; }

 private:
  posix_spawn_file_actions_t actions_;
};

bool HasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0')
      return true;
  }
  return false;
}

std::string OpenYourself(const std::filesystem::path& page) {
  return "ページ（" + page.string() + "）はブラウザで開いてください。";
}

// xdg-open either hands the page over and ends at once, or runs the browser
// itself and stays. A quick end with a failure status is a refusal; one still
// running after a moment has started a browser.
Status AwaitRefusal(pid_t child, const std::filesystem::path& page) {
  using namespace std::chrono_literals;
  const auto deadline = std::chrono::steady_clock::now() + 3s;
  while (std::chrono::steady_clock::now() < deadline) {
    int status = 0;
    const pid_t ended = ::waitpid(child, &status, WNOHANG);
    if (ended == child) {
      if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return Status::Ok();
      return Status::Failure("ブラウザを起動できません（xdg-open が終了コード " +
                             FormatInt(WIFEXITED(status) ? WEXITSTATUS(status) : 128) +
                             " で終わりました）。" + OpenYourself(page));
    }
    if (ended < 0)
      return Status::Ok();
    std::this_thread::sleep_for(20ms);
  }
  return Status::Ok();
}

}  // namespace

Status XdgPageOpener::Open(const std::filesystem::path& page) {
  if (!HasDisplay()) {
    return Status::Failure(
        "画面がないのでブラウザを起動できません（DISPLAY も WAYLAND_DISPLAY "
        "もありません）。" +
        OpenYourself(page));
  }
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(page, error);
  std::string program = "xdg-open";
  std::string argument = error ? page.string() : absolute.string();
  char* const argv[] = {program.data(), argument.data(), nullptr};
  const QuietStandardStreams streams;
  pid_t child = 0;
  const int spawned =
      ::posix_spawnp(&child, program.c_str(), streams.get(), nullptr, argv, environ);
  if (spawned != 0) {
    return Status::Failure(
        "ブラウザを起動できません（xdg-open: " + std::string(std::strerror(spawned)) +
        "）。xdg-utils を入れるか、ページ（" + page.string() + "）をブラウザで開いてください。");
  }
  return AwaitRefusal(child, page);
}

}  // namespace kitebar
