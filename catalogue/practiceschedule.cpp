#include "catalogue/practiceschedule.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace catalogue {

namespace {

// Howard Hinnant's civil-date conversions, on the proleptic Gregorian calendar.
void CivilFromDays(std::int32_t z, int& year, unsigned& month, unsigned& day) {
    z += 719468;
    const std::int32_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = doy - (153 * mp + 2) / 5 + 1;
    month = mp < 10 ? mp + 3 : mp - 9;
    year = static_cast<int>(yoe) + era * 400 + (month <= 2 ? 1 : 0);
}

bool ParseNumber(std::string_view text, int& value) {
    if (text.empty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return std::from_chars(text.data(), text.data() + text.size(), value).ec == std::errc();
}

}  // namespace

Day DayFromCivil(int year, unsigned month, unsigned day) {
    year -= month <= 2 ? 1 : 0;
    const int era = (year >= 0 ? year : year - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(year - era * 400);
    const unsigned doy = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return Day{era * 146097 + static_cast<std::int32_t>(doe) - 719468};
}

std::string FormatDay(Day day) {
    int year = 0;
    unsigned month = 0, dayOfMonth = 0;
    CivilFromDays(day.n, year, month, dayOfMonth);
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", year, month, dayOfMonth);
    return text;
}

std::optional<Day> ParseDay(std::string_view text) {
    int year = 0, month = 0, day = 0;
    if (text.size() != 10 || text[4] != '-' || text[7] != '-' ||
        !ParseNumber(text.substr(0, 4), year) || !ParseNumber(text.substr(5, 2), month) ||
        !ParseNumber(text.substr(8, 2), day))
        return std::nullopt;
    if (month < 1 || month > 12 || day < 1) return std::nullopt;
    const Day parsed = DayFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day));
    if (FormatDay(parsed) != text) return std::nullopt;  // e.g. 31 April
    return parsed;
}

Day LocalToday() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return DayFromCivil(local.tm_year + 1900, static_cast<unsigned>(local.tm_mon + 1),
                        static_cast<unsigned>(local.tm_mday));
}

CardSchedule Review(CardSchedule card, Grade grade, Day today) {
    // SM-2's quality of response: Again 1, Hard 3, Good 4, Easy 5; the ease moves by
    // 0.1 - (5 - q) * (0.08 + (5 - q) * 0.02).
    static constexpr int kQuality[] = {0, 1, 3, 4, 5};
    const int q = kQuality[static_cast<int>(grade)];
    const int miss = 5 - q;
    card.easeMilli = std::max(1300, card.easeMilli + 100 - miss * (80 + miss * 20));
    if (grade == Grade::Again) {
        card.repetitions = 0;
        card.intervalDays = 0;
    } else {
        ++card.repetitions;
        if (card.repetitions == 1)
            card.intervalDays = 1;
        else if (card.repetitions == 2)
            card.intervalDays = 6;
        else
            card.intervalDays = static_cast<int>(
                std::lround(static_cast<double>(card.intervalDays) * card.easeMilli / 1000.0));
    }
    card.due = Day{today.n + card.intervalDays};
    return card;
}

}  // namespace catalogue
