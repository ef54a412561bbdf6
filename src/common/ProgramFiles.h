#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace kitebar {

// What the program does with one of the files it keeps in its working
// folder.
enum class ProgramFileKind {
  kData,      // read, changed and written back under the folder's lock: the
              // history, the back-test records, the import's scratch file,
              // the prediction record (only ever added to)
  kSettings,  // the six settings files, changed key by key under the lock
  kPage,      // a page, written whole and never read back
  kLock,      // the folder's lock file
};

struct ProgramFile {
  std::string_view name;
  ProgramFileKind kind;
  // The largest file its reader accepts (0: not read back); a writer refuses
  // to write more.
  std::size_t maxBytes;
};

// Every file that the program keeps in its working folder, under its name
// there.
std::span<const ProgramFile> ProgramFiles();

// The program file that `file` names by its name, whatever its folder; none
// for any other name.
const ProgramFile* ProgramFileNamed(const std::filesystem::path& file);

// The name of the program file of `folder` that `target` is, whatever path
// leads there (another spelling of the folder, "..", a link), or none. A
// target that does not exist yet is that file when it would be created in
// `folder` under its name, letter case aside, as a Windows folder takes it.
std::optional<std::string> ProgramFileAt(const std::filesystem::path& target,
                                         const std::filesystem::path& folder);

// ProgramFileAt, and also a target whose name (where its links lead) is the
// name of a program file, letter case aside, in any folder.
std::optional<std::string> ProgramFileOfAnyFolder(const std::filesystem::path& target,
                                                  const std::filesystem::path& folder);

// The file that `file` finally names: itself, or for a symbolic link (a chain
// of them) the last path of the chain, which need not exist.
std::filesystem::path FinalTarget(const std::filesystem::path& file);

}  // namespace kitebar
