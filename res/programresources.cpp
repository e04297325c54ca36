#include "res/programresources.h"

#include <vector>

#include "res/dialogs.h"
#include "res/embedded.h"

namespace res {

const shell::ResourceBundle& ProgramResources() {
    static const std::vector<shell::Resource> resources = [] {
        std::span<const shell::Resource> files = EmbeddedFiles();
        std::vector<shell::Resource> all(files.begin(), files.end());
        all.push_back({shell::ResourceType::Dialog, MainDialogId, shell::LangNeutral, &MainDialog,
                       sizeof MainDialog});
        all.push_back({shell::ResourceType::Dialog, AboutDialogId, shell::LangNeutral, &AboutDialog,
                       sizeof AboutDialog});
        all.push_back({shell::ResourceType::Dialog, PracticeDialogId, shell::LangNeutral,
                       &PracticeDialog, sizeof PracticeDialog});
        return all;
    }();
    static const shell::ResourceBundle bundle(resources);
    return bundle;
}

}  // namespace res
