// Where the window puts its exports: the user's documents folder as `xdg-user-dir DOCUMENTS`
// names it, when that is a folder; else the home folder ($HOME); else the current folder.
#pragma once

#include <filesystem>

namespace exporting {

std::filesystem::path DocumentsFolder();

}  // namespace exporting
