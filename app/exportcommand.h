// The command line's export: "--export FILE [--category N | --all]" writes the favourites, one
// category or every phrase of the data folder (the current folder) to FILE without opening a
// window, and prints FILE's path.
#pragma once

#include <string_view>
#include <vector>

// True when the arguments ask for an export.
bool AsksForExport(const std::vector<std::string_view>& args);

// Runs the export the arguments ask for. 0: written, the path printed on standard output;
// 1: a failure, its reason on standard error; 2: arguments that do not fit, with the usage.
int RunExportCommand(const std::vector<std::string_view>& args, const char* usage);
