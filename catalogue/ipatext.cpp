#include "catalogue/ipatext.h"

#include <cstdio>
#include <optional>

namespace catalogue {
namespace {

// The bundled file is about 30 KB; one far beyond that is not ours.
constexpr std::size_t MostBytes = 1 << 20;

bool IsIpaCharacter(char32_t c) {
    if (c >= U'a' && c <= U'z') return true;
    switch (c) {
        case U'æ':
        case U'ŋ':
        case U'ç':
        case U'ð':
        case U'ø':
        case U'œ':
        case U'β':
        case U'θ':
        case U'χ':
            return true;
        default:
            break;
    }
    return (c >= 0x0250 && c <= 0x02FF)      // IPA extensions, modifier letters (ˈ ˌ ː ʰ)
           || (c >= 0x0300 && c <= 0x036F)   // combining diacritics (syllabic, tie bars)
           || (c >= 0x1D00 && c <= 0x1DBF);  // phonetic extensions
}

// The code points of strict UTF-8, or nothing when bytes are not that.
std::optional<std::u32string> DecodeUtf8(std::string_view bytes) {
    std::u32string out;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        int extra = lead < 0x80             ? 0
                    : (lead & 0xE0) == 0xC0 ? 1
                    : (lead & 0xF0) == 0xE0 ? 2
                    : (lead & 0xF8) == 0xF0 ? 3
                                            : -1;
        if (extra < 0 || (extra > 0 && i + static_cast<std::size_t>(extra) >= bytes.size()))
            return std::nullopt;
        char32_t c = extra == 0 ? lead : lead & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]);
            if ((next & 0xC0) != 0x80) return std::nullopt;
            c = (c << 6) | (next & 0x3F);
        }
        static constexpr char32_t Least[] = {0, 0x80, 0x800, 0x10000};
        if (c < Least[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
        out.push_back(c);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

}  // namespace

bool IsIpaLine(std::u16string_view text) {
    if (text.empty() || text.front() == u' ' || text.back() == u' ') return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u' ') {
            if (text[i + 1] == u' ') return false;  // the last is no space
            continue;
        }
        if (!IsIpaCharacter(c)) return false;  // every IPA letter lies in the first plane
    }
    return true;
}

IpaText IpaText::Load(const std::filesystem::path& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return {};
    std::string bytes(MostBytes + 1, '\0');
    const std::size_t read = std::fread(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    if (read > MostBytes) return {};
    bytes.resize(read);
    return Parse(bytes);
}

IpaText IpaText::Parse(std::string_view bytes) {
    const auto decoded = DecodeUtf8(bytes);
    if (!decoded) return {};
    IpaText text;
    std::u16string line;
    auto finish = [&] {
        if (!line.empty() && line.back() == u'\r') line.pop_back();
        text.lines_.push_back(IsIpaLine(line) ? line : std::u16string());
        line.clear();
    };
    for (char32_t c : *decoded) {
        if (c == U'\n') {
            finish();
        } else if (c < 0x10000) {
            line.push_back(static_cast<char16_t>(c));
        } else {
            line.push_back(u'\xFFFD');  // no IPA letter lies outside the first plane
        }
    }
    if (!line.empty()) finish();
    return text;
}

std::u16string IpaText::Of(PhraseNo phrase) const {
    if (phrase < 1 || static_cast<std::size_t>(phrase) > lines_.size()) return {};
    return lines_[static_cast<std::size_t>(phrase) - 1];
}

}  // namespace catalogue
