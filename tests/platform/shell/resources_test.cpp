#include "platform/shell/resources.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using shell::Resource;
using shell::ResourceType;

constexpr char A[] = "a", B[] = "b", C[] = "c";
constexpr Resource Table[] = {
    {ResourceType::Bitmap, 141, shell::LangGerman, A, 1},
    {ResourceType::Bitmap, 141, shell::LangEnglish, B, 1},
    {ResourceType::Bitmap, 140, shell::LangNeutral, C, 1},
};

TEST(Resources, LanguageVersionsFallBackToEnglish) {
    shell::ResourceBundle bundle(Table);
    EXPECT_EQ(bundle.Find(ResourceType::Bitmap, 141, shell::LangGerman)->data, A);
    EXPECT_EQ(bundle.Find(ResourceType::Bitmap, 141, 1036)->data, B);
    EXPECT_EQ(bundle.Find(ResourceType::Bitmap, 140, shell::LangGerman)->data, C);
    EXPECT_EQ(bundle.Find(ResourceType::Bitmap, 999, shell::LangEnglish), nullptr);
    EXPECT_EQ(bundle.Find(ResourceType::Icon, 141, shell::LangEnglish), nullptr);
}

TEST(Resources, UserLanguageFollowsTheLocaleVariablesInOrder) {
    struct Env {
        const char* all;
        const char* messages;
        const char* lang;
        std::uint16_t expected;
    };
    const Env cases[] = {
        {nullptr, nullptr, "de_DE.UTF-8", shell::LangGerman},
        {nullptr, nullptr, "en_GB.UTF-8", shell::LangEnglish},
        {nullptr, "de_AT", "en_US", shell::LangGerman},
        {"C", "de_DE", nullptr, shell::LangEnglish},
        {"", "", "de", shell::LangGerman},
        {nullptr, nullptr, "dea", shell::LangEnglish},
        {nullptr, nullptr, nullptr, shell::LangEnglish},
    };
    for (const auto& c : cases) {
        auto set = [](const char* name, const char* value) {
            if (value)
                setenv(name, value, 1);
            else
                unsetenv(name);
        };
        set("LC_ALL", c.all);
        set("LC_MESSAGES", c.messages);
        set("LANG", c.lang);
        EXPECT_EQ(shell::UserLanguage(), c.expected)
            << (c.all ? c.all : "-") << " " << (c.messages ? c.messages : "-") << " "
            << (c.lang ? c.lang : "-");
    }
}

}  // namespace
