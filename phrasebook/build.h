// One build of the run folder's catalogue files from the phrasebook's source: check it,
// write the text files and the keyword map, speak the changed lines and write the archive.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

namespace phrasebook {

struct BuildOptions {
    std::filesystem::path source;   // the phrasebook's source text
    std::filesystem::path output;   // the run folder
    std::filesystem::path cache;    // the clip cache folder
    std::filesystem::path speaker;  // the script that speaks one line into one clip
    int parallel = 2;
    bool speech = true;  // false: text files and keyword map only
    std::function<void(const std::string&)> say = [](const std::string&) {};
};

// True when every file was written. Messages (findings in the source, progress, failures)
// go to options.say. Files whose content did not change are left untouched; when a text file
// changes, the record file the program builds from it is removed so the next start
// rebuilds it.
bool BuildCatalogue(const BuildOptions& options);

// Only parses and checks the source; findings go to say.
bool CheckSourceFile(const std::filesystem::path& source,
                     const std::function<void(const std::string&)>& say);

}  // namespace phrasebook
