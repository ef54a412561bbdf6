#include "support/CliRunner.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>

#include "support/TempWorkingDirectory.h"

extern char** environ;

namespace kitebar::test {

namespace {

CliResult Run(const std::vector<std::string>& args, bool interrupted,
              const std::string& input = "/dev/null", const std::filesystem::path& folder = {}) {
  CliResult result;
  // Several runs may be under way at once, from threads of one test.
  static std::atomic<int> runs{0};
  const std::filesystem::path outFile =
      std::filesystem::temp_directory_path() /
      ("kitebar-cli-out-" + std::to_string(::getpid()) + "-" + std::to_string(runs++));
  const std::filesystem::path errFile = outFile.string() + ".err";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  posix_spawn_file_actions_addopen(&actions, 0, input.c_str(), O_RDONLY, 0);
  if (!folder.empty())
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  std::vector<std::string> argvStrings{KITEBAR_CLI_PATH};
  argvStrings.insert(argvStrings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : argvStrings)
    argv.push_back(arg.data());
  argv.push_back(nullptr);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  if (interrupted) {
    sigset_t interrupt;
    sigemptyset(&interrupt);
    sigaddset(&interrupt, SIGINT);
    posix_spawnattr_setsigmask(&attributes, &interrupt);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
  }
  pid_t pid = 0;
  // The child has its mask before posix_spawn returns: the signal waits.
  if (posix_spawn(&pid, KITEBAR_CLI_PATH, &actions, &attributes, argv.data(), environ) == 0) {
    if (interrupted)
      ::kill(pid, SIGINT);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  result.out = ReadFileBytes(outFile);
  result.err = ReadFileBytes(errFile);
  std::filesystem::remove(outFile);
  std::filesystem::remove(errFile);
  return result;
}

}  // namespace

CliResult RunCli(const std::vector<std::string>& args) {
  return Run(args, false);
}

CliResult RunCliWithInput(const std::vector<std::string>& args, const std::string& input) {
  return Run(args, false, input);
}

CliResult RunCliInterrupted(const std::vector<std::string>& args) {
  return Run(args, true);
}

CliResult RunCliIn(const std::filesystem::path& folder, const std::vector<std::string>& args) {
  return Run(args, false, "/dev/null", folder);
}

}  // namespace kitebar::test
