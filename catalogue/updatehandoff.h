// The update hand-off: a small request file for the separate update program, which is started
// beside this one and never waited on.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "catalogue/filenames.h"
#include "platform/shell/shell.h"
#include "tolkara/version.h"

namespace catalogue {

inline constexpr std::string_view ProgramVersion = TOLKARA_VERSION;
// The maker's web site (scheme and host), shared by the links of the main window.
inline constexpr std::string_view MakerSite = "https://www.tolkara.example";
inline constexpr std::string_view DownloadPath = "/SoftwareDownload/Tolkara_German";
inline constexpr std::string_view UpdaterName = "AutoUpdate.exe";
inline constexpr std::string_view RequestPrefix = "CUAD";

// The request's bytes: version, version file and download address, joined by CR LF, no final
// line break.
std::string UpdateRequestText();

// Creates a new request file in tempDir (name "CUAD" and a unique suffix, created exclusively,
// mode 0600) holding UpdateRequestText. Its path, or nothing when it cannot be written (no file
// is left then).
std::optional<std::filesystem::path> WriteUpdateRequest(const std::filesystem::path& tempDir);

// Writes the request into tempDir and, only when programDir holds an executable
// "AutoUpdate.exe", starts it through the shell with the request's path as its one argument.
// True when the program was started. Shows nothing in any case.
bool LaunchUpdater(shell::Shell& shell, const std::filesystem::path& programDir,
                   const std::filesystem::path& tempDir);
// The same with the folder of the running program and the system's temporary folder.
bool LaunchUpdater(shell::Shell& shell);

}  // namespace catalogue
