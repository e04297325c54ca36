#include "platform/shell/resources.h"

#include <cstdlib>
#include <string_view>

namespace shell {

const Resource* ResourceBundle::Find(ResourceType type, int id, std::uint16_t language) const {
    const Resource* first = nullptr;
    const Resource* english = nullptr;
    for (const Resource& r : resources_) {
        if (r.type != type || r.id != id) continue;
        if (r.language == language) return &r;
        if (!first) first = &r;
        if (!english && r.language == LangEnglish) english = &r;
    }
    return english ? english : first;
}

const Resource* ResourceBundle::Find(ResourceType type, int id) const {
    return Find(type, id, UserLanguage());
}

std::uint16_t UserLanguage() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (!value || !*value) continue;
        std::string_view locale(value);
        bool german = locale.substr(0, 2) == "de" && (locale.size() == 2 || locale[2] == '_' ||
                                                      locale[2] == '.' || locale[2] == '@');
        return german ? LangGerman : LangEnglish;
    }
    return LangEnglish;
}

}  // namespace shell
