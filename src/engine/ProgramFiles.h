#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kitebar {

// The files that the program keeps in its working folder: the draw history,
// the two back-test records, the prediction record and the six settings
// files.
std::vector<std::string> ProgramFileNames();

// The name of the program file of `folder` that `target` is, whatever path
// leads there (another spelling of the folder, "..", a link), or none. A
// target that does not exist yet is that file when it would be created in
// `folder` under its name, letter case aside, as a Windows folder takes it.
std::optional<std::string> ProgramFileAt(const std::filesystem::path& target,
                                         const std::filesystem::path& folder);

}  // namespace kitebar
