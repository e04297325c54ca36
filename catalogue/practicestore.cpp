#include "catalogue/practicestore.h"

#include <charconv>
#include <fstream>
#include <iterator>
#include <system_error>

#include "catalogue/safewrite.h"

namespace catalogue {

namespace {

constexpr const char* kFileName = "practice.dat";

template <typename Number>
bool ParseField(std::string_view text, Number& value) {
    if (text.empty()) return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

std::optional<PracticeCard> ParseLine(std::string_view line) {
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const auto tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
        if (tab == std::string_view::npos) break;
        start = tab + 1;
    }
    if (fields.size() != 7) return std::nullopt;
    PracticeCard card;
    card.english = std::string(fields[1]);
    const auto due = ParseDay(fields[2]);
    const auto introduced = ParseDay(fields[6]);
    if (!ParseField(fields[0], card.number) || card.english.empty() || !due || !introduced ||
        !ParseField(fields[3], card.schedule.repetitions) ||
        !ParseField(fields[4], card.schedule.intervalDays) ||
        !ParseField(fields[5], card.schedule.easeMilli) || card.schedule.repetitions < 0 ||
        card.schedule.intervalDays < 0 || card.schedule.easeMilli < 1300)
        return std::nullopt;
    card.schedule.due = *due;
    card.schedule.introduced = *introduced;
    return card;
}

bool ValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t length = c < 0x80         ? 1
                                   : (c >> 5) == 6  ? 2
                                   : (c >> 4) == 14 ? 3
                                   : (c >> 3) == 30 ? 4
                                                    : 0;
        if (length == 0 || i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        i += length;
    }
    return true;
}

}  // namespace

std::string FormatPracticeDeck(const std::vector<PracticeCard>& cards) {
    std::string text;
    for (const auto& card : cards) {
        const auto& s = card.schedule;
        text += std::to_string(card.number) + '\t' + card.english + '\t' + FormatDay(s.due) + '\t' +
                std::to_string(s.repetitions) + '\t' + std::to_string(s.intervalDays) + '\t' +
                std::to_string(s.easeMilli) + '\t' + FormatDay(s.introduced) + '\n';
    }
    return text;
}

std::optional<std::vector<PracticeCard>> ParsePracticeDeck(std::string_view text) {
    if (!ValidUtf8(text)) return std::nullopt;
    std::vector<PracticeCard> cards;
    while (!text.empty()) {
        const auto end = text.find('\n');
        if (end == std::string_view::npos) return std::nullopt;  // a line cut short
        auto line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        text.remove_prefix(end + 1);
        if (line.empty()) continue;
        auto card = ParseLine(line);
        if (!card) return std::nullopt;
        cards.push_back(std::move(*card));
    }
    return cards;
}

PracticeDeck LoadPracticeDeck(const std::filesystem::path& dir,
                              const std::function<bool(std::uint32_t)>& known) {
    PracticeDeck deck;
    const auto path = dir / kFileName;
    std::error_code error;
    if (!std::filesystem::exists(path, error)) return deck;
    std::ifstream in(path, std::ios::binary);
    std::string text;
    if (in) text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    const bool readWhole = in.good() || in.eof();
    auto cards = readWhole && in.is_open() ? ParsePracticeDeck(text) : std::nullopt;
    if (!cards) {
        in.close();
        auto bad = path;
        bad += ".bad";
        std::filesystem::rename(path, bad, error);
        deck.setAside = true;
        return deck;
    }
    for (auto& card : *cards)
        if (known(card.number)) deck.cards.push_back(std::move(card));
    return deck;
}

bool SavePracticeDeck(const std::filesystem::path& dir, const std::vector<PracticeCard>& cards) {
    const auto text = FormatPracticeDeck(cards);
    return ReplaceFile(dir / kFileName, "practice.tmp",
                       std::as_bytes(std::span<const char>(text.data(), text.size())));
}

}  // namespace catalogue
