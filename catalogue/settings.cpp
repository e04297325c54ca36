#include "catalogue/settings.h"

#include <charconv>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "catalogue/safewrite.h"

namespace catalogue {

namespace {

// A settings file is a few dozen bytes; anything much longer is not one.
constexpr std::size_t MostBytes = 4096;

std::string_view Trim(std::string_view s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    const auto last = s.find_last_not_of(" \t\r");
    return s.substr(first, last - first + 1);
}

// The whole number value of key's first line, if there is one and it is in [low, high].
std::optional<int> Value(std::string_view text, std::string_view key, int low, int high) {
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(at, end - at);
        at = end + 1;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos || Trim(line.substr(0, equals)) != key) continue;
        const std::string_view digits = Trim(line.substr(equals + 1));
        int value = 0;
        const auto [rest, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (error != std::errc{} || rest != digits.data() + digits.size() || digits.empty() ||
            value < low || value > high) {
            return std::nullopt;
        }
        return value;
    }
    return std::nullopt;
}

}  // namespace

Settings ReadSettings(const std::filesystem::path& path) {
    Settings settings;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return settings;
    std::string text(MostBytes + 1, '\0');
    const std::size_t read = std::fread(text.data(), 1, text.size(), file);
    std::fclose(file);
    if (read > MostBytes) return settings;
    text.resize(read);

    if (const auto slow = Value(text, "slow", 0, 1)) settings.slowSpeech = *slow == 1;
    if (const auto volume = Value(text, "volume", 1, Settings::VolumeSteps)) {
        settings.volume = *volume;
    }
    if (const auto ipa = Value(text, "ipa", 0, 1)) settings.showIpa = *ipa == 1;
    if (const auto readable = Value(text, "readable", 0, 1))
        settings.readableColours = *readable == 1;
    return settings;
}

bool WriteSettings(const Settings& settings, const std::filesystem::path& path) {
    const std::string text = "slow=" + std::to_string(settings.slowSpeech ? 1 : 0) +
                             "\nvolume=" + std::to_string(settings.volume) +
                             "\nipa=" + std::to_string(settings.showIpa ? 1 : 0) +
                             "\nreadable=" + std::to_string(settings.readableColours ? 1 : 0) +
                             "\n";
    return ReplaceFile(path, path.filename().string() + ".tmp", std::as_bytes(std::span(text)));
}

}  // namespace catalogue
