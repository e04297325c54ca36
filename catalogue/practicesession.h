// One practice session over the phrases a view lists: the cards due today first (the longest
// overdue first), then phrases never practised, at most 20 of those a day; a card graded
// Again comes back at the end of the session. The deck it was given comes back with every
// card it graded, for the caller to save.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "catalogue/practiceschedule.h"
#include "catalogue/practicestore.h"

namespace catalogue {

// A listed phrase as the row shows it (a bracketed phrase as its shown variant).
struct PracticeRow {
    std::uint32_t number = 0;
    std::string english;  // UTF-8
};

class PracticeSession {
public:
    static constexpr int NewCardsPerDay = 20;

    PracticeSession(std::vector<PracticeCard> deck, const std::vector<PracticeRow>& rows,
                    Day today);

    // No card is left for today.
    bool Done() const { return queue_.empty(); }
    // The card to practise now (only while not Done).
    const PracticeCard& Current() const { return deck_[queue_.front()]; }
    // The current card has never been graded before today's session.
    bool CurrentIsNew() const;
    // Grades the current card and moves on; Again puts it at the end of the queue.
    void Grade(catalogue::Grade grade);

    // Cards left in the queue, the current one included.
    std::size_t Left() const { return queue_.size(); }
    // Different cards graded in this session.
    int Reviewed() const { return reviewed_; }
    // Cards of the whole deck due by tomorrow.
    int DueTomorrow() const;
    // The deck to keep: the cards it was given and those graded since (a new card never
    // reached is not kept).
    std::vector<PracticeCard> Deck() const;

private:
    std::vector<PracticeCard> deck_;
    std::deque<std::size_t> queue_;  // indexes into deck_
    bool Kept(std::size_t i) const;

    // By deck index: added by this session; graded in it.
    std::vector<bool> fresh_;
    std::vector<bool> graded_;
    int reviewed_ = 0;
    Day today_;
};

}  // namespace catalogue
