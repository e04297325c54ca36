// A program's resources: a fixed table of bitmaps, icons and dialog templates by number,
// each with a language where it has one. The program's bundle is compiled in (res/);
// tests make bundles of their own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace shell {

inline constexpr std::uint16_t LangNeutral = 0;
inline constexpr std::uint16_t LangGerman = 1031;
inline constexpr std::uint16_t LangEnglish = 1033;

enum class ResourceType : std::uint8_t {
    Bitmap,  // the bytes of a .bmp file
    Icon,    // the bytes of a .ico file
    Dialog,  // data points to a ui::DialogTemplate; size is its sizeof
    Wave,    // the bytes of a RIFF WAVE file
};

struct Resource {
    ResourceType type;
    int id;
    std::uint16_t language;  // LangNeutral when the resource has one version only
    const void* data;
    std::size_t size;
};

class ResourceBundle {
public:
    constexpr explicit ResourceBundle(std::span<const Resource> resources)
        : resources_(resources) {}

    // The resource of that type and number. With several language versions: the one in
    // language, else the English one, else the first; nullptr when there is none.
    const Resource* Find(ResourceType type, int id, std::uint16_t language) const;
    // As above, in the user's language.
    const Resource* Find(ResourceType type, int id) const;

    std::span<const Resource> All() const { return resources_; }

private:
    std::span<const Resource> resources_;
};

// The user's language from LC_ALL, LC_MESSAGES and LANG (the first one set and not empty):
// LangGerman for German locales ("de", "de_DE.UTF-8", ...), LangEnglish otherwise.
std::uint16_t UserLanguage();

}  // namespace shell
