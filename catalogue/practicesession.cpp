#include "catalogue/practicesession.h"

#include <algorithm>
#include <unordered_map>

namespace catalogue {
namespace {

std::string KeyOf(std::uint32_t number, const std::string& english) {
    return std::to_string(number) + '\t' + english;
}

}  // namespace

PracticeSession::PracticeSession(std::vector<PracticeCard> deck,
                                 const std::vector<PracticeRow>& rows, Day today)
    : deck_(std::move(deck)),
      fresh_(deck_.size(), false),
      graded_(deck_.size(), false),
      today_(today) {
    std::unordered_map<std::string, std::size_t> known;
    known.reserve(deck_.size() + rows.size());
    int introducedToday = 0;
    for (std::size_t i = 0; i < deck_.size(); ++i) {
        known.emplace(KeyOf(deck_[i].number, deck_[i].english), i);
        if (deck_[i].schedule.introduced == today) ++introducedToday;
    }
    std::vector<std::size_t> due;
    std::vector<std::size_t> fresh;
    std::unordered_map<std::string, bool> listed;
    for (const PracticeRow& row : rows) {
        std::string key = KeyOf(row.number, row.english);
        if (!listed.emplace(key, true).second) continue;  // a phrase listed twice is one card
        if (const auto at = known.find(key); at != known.end()) {
            if (deck_[at->second].schedule.due <= today) due.push_back(at->second);
            continue;
        }
        if (introducedToday + static_cast<int>(fresh.size()) >= NewCardsPerDay) continue;
        PracticeCard card{row.number, row.english, {}};
        card.schedule.due = today;
        card.schedule.introduced = today;
        fresh.push_back(deck_.size());
        deck_.push_back(std::move(card));
        fresh_.push_back(true);
        graded_.push_back(false);
    }
    std::stable_sort(due.begin(), due.end(), [&](std::size_t a, std::size_t b) {
        return deck_[a].schedule.due < deck_[b].schedule.due;
    });
    queue_.assign(due.begin(), due.end());
    queue_.insert(queue_.end(), fresh.begin(), fresh.end());
}

bool PracticeSession::CurrentIsNew() const {
    return fresh_[queue_.front()] && !graded_[queue_.front()];
}

void PracticeSession::Grade(catalogue::Grade grade) {
    if (queue_.empty()) return;
    const std::size_t i = queue_.front();
    queue_.pop_front();
    deck_[i].schedule = Review(deck_[i].schedule, grade, today_);
    if (!graded_[i]) ++reviewed_;
    graded_[i] = true;
    if (grade == Grade::Again) queue_.push_back(i);
}

bool PracticeSession::Kept(std::size_t i) const {
    return !fresh_[i] || graded_[i];
}

std::vector<PracticeCard> PracticeSession::Deck() const {
    std::vector<PracticeCard> kept;
    kept.reserve(deck_.size());
    for (std::size_t i = 0; i < deck_.size(); ++i)
        if (Kept(i)) kept.push_back(deck_[i]);
    return kept;
}

int PracticeSession::DueTomorrow() const {
    const Day tomorrow{today_.n + 1};
    int n = 0;
    for (std::size_t i = 0; i < deck_.size(); ++i)
        n += Kept(i) && deck_[i].schedule.due <= tomorrow;
    return n;
}

}  // namespace catalogue
