// The practice schedule: calendar days, an injected clock, and the SM-2 spaced-repetition
// step (as Wozniak published it) that moves a card's next review further away as the learner
// recalls it, and back to today when they do not.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace catalogue {

// A calendar day, counted from 1970-01-01 (day 0).
struct Day {
    std::int32_t n = 0;
    auto operator<=>(const Day&) const = default;
};

Day DayFromCivil(int year, unsigned month, unsigned day);
// "YYYY-MM-DD".
std::string FormatDay(Day day);
// A valid "YYYY-MM-DD" only (month 1-12, a day the month has).
std::optional<Day> ParseDay(std::string_view text);

// The clock the practice asks for today's date; tests hand in a fixed one.
using TodayProvider = std::function<Day()>;
// Today in the local time zone.
Day LocalToday();

enum class Grade { Again = 1, Hard = 2, Good = 3, Easy = 4 };

// What the schedule keeps for one card.
struct CardSchedule {
    int repetitions = 0;   // successful reviews in a row
    int intervalDays = 0;  // days from the last review to due
    int easeMilli = 2500;  // the easiness factor times 1000, never below 1300
    Day due;
    Day introduced;  // the day the card was first practised
    bool operator==(const CardSchedule&) const = default;
};

// The schedule after grading the card on today. Again (recall failed) starts the run again,
// lowers the ease and makes the card due today, so it comes back in the same session; Hard,
// Good and Easy give 1 day, then 6, then the last interval times the ease, Hard lowering the
// ease and Easy raising it.
CardSchedule Review(CardSchedule card, Grade grade, Day today);

}  // namespace catalogue
