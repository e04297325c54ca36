// Starting other programs: never through a shell (arguments are passed as they are, so no text
// is ever interpreted), never waited on (the started program outlives us and leaves no zombie
// behind), and looking a program up on the search path the way the shell would.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace shell {

// Starts argv[0] (a path, or a bare name looked up on PATH) with the rest of argv as its
// arguments, detached from this process. False when it could not be started: an empty argv,
// a program that is not found or not executable, or no process to be had.
bool StartProgram(const std::vector<std::string>& argv);

// The full path of an executable file called `name` in one of the folders of `searchPath`
// (a PATH-style list, ':'-separated); a name with a '/' is taken as a path. Nothing when there
// is none.
std::optional<std::filesystem::path> FindOnPath(std::string_view name, std::string_view searchPath);
// The same, on this process's PATH.
std::optional<std::filesystem::path> FindOnPath(std::string_view name);

// True when `path` names a regular file this process may execute.
bool IsExecutableFile(const std::filesystem::path& path);

}  // namespace shell
