#include "reports/XdgPageOpener.h"

#include <fcntl.h>
#include <spawn.h>

#include <cstring>
#include <string>

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

}  // namespace

Status XdgPageOpener::Open(const std::filesystem::path& page) {
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
  return Status::Ok();
}

}  // namespace kitebar
