// The practice deck kept between runs in "practice.dat": UTF-8 text, one line per card, fields
// separated by TAB: phrase number, the variant's English text, due date (YYYY-MM-DD),
// repetitions, interval in days, ease times 1000, and the day the card was first practised.
//
// The store promises that "practice.dat" holds its old or its new content whole whenever the
// program stops (the new content is written to a scratch file, synced and renamed over it). A
// file that cannot be read as such lines is moved aside to "practice.dat.bad" and the deck
// starts empty; a missing file is an empty deck.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "catalogue/practiceschedule.h"

namespace catalogue {

struct PracticeCard {
    std::uint32_t number = 0;  // the phrase's number in the catalogue
    std::string english;       // UTF-8, the variant the row showed
    CardSchedule schedule;
    bool operator==(const PracticeCard&) const = default;
};

struct PracticeDeck {
    std::vector<PracticeCard> cards;
    // The file was damaged or unreadable and now lies aside as "practice.dat.bad".
    bool setAside = false;
};

// Reads "practice.dat" in dir. Cards whose number known() rejects are left out (and dropped
// at the next save).
PracticeDeck LoadPracticeDeck(const std::filesystem::path& dir,
                              const std::function<bool(std::uint32_t)>& known);

// Replaces "practice.dat" in dir with cards; false (the file unchanged) when that failed.
bool SavePracticeDeck(const std::filesystem::path& dir, const std::vector<PracticeCard>& cards);

// The file's text for cards, and cards back from such text (nullopt when any line is damaged).
std::string FormatPracticeDeck(const std::vector<PracticeCard>& cards);
std::optional<std::vector<PracticeCard>> ParsePracticeDeck(std::string_view text);

}  // namespace catalogue
