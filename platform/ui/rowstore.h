// The rows of a list box or a combo box: each a text and an item data value, the current row
// (which follows the rows that are inserted and deleted before it), the search by prefix or
// whole text, and the type-ahead that picks a row as the user types. A row that goes (deleted,
// cleared, or left at the control's end) hands its item data, when not 0, to the release step
// exactly once.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gdi/font.h"

namespace ui {

class RowStore {
public:
    struct Row {
        std::u16string text;
        std::uintptr_t data = 0;
    };
    // Told of each row that goes with item data other than 0: its index then, and its data.
    using Release = std::function<void(int index, std::uintptr_t data)>;

    // The current row, -1 for none.
    int current = -1;

    std::size_t size() const { return rows_.size(); }
    bool empty() const { return rows_.empty(); }
    int Count() const { return static_cast<int>(rows_.size()); }
    bool Has(int index) const { return index >= 0 && index < Count(); }
    const Row& operator[](std::size_t index) const { return rows_[index]; }
    const std::u16string& Text(int index) const {
        return rows_[static_cast<std::size_t>(index)].text;
    }

    // Where a sorted list puts text: after every row that sorts before or equal to it.
    int SortedIndex(std::u16string_view text) const;
    // Where an added row goes: its sorted place, or the end.
    int AddIndex(std::u16string_view text, bool sorted) const {
        return sorted ? SortedIndex(text) : Count();
    }
    // Inserts a row at index (-1: at the end); -1 when index lies beyond the end.
    int Insert(int index, std::u16string_view text);
    // Deletes a row and releases its data; false when there is no such row.
    bool Delete(int index, const Release& release);
    // Deletes every row, releasing their data; no current row.
    void Clear(const Release& release);
    // Replaces the rows by texts without data.
    void Assign(const std::vector<std::u16string>& texts);
    std::uintptr_t Data(int index) const { return rows_[static_cast<std::size_t>(index)].data; }
    bool SetData(int index, std::uintptr_t data);
    // Copies a row's text and a terminating NUL to buffer; its length, or -1 for no such row.
    int CopyText(int index, char16_t* buffer) const;

    // The first row after startAfter (wrapping round) whose text starts with text, or equals it
    // (exact), ignoring case; -1 for none.
    int Find(int startAfter, std::u16string_view text, bool exact) const;
    // A typed character at time now (ms): the row it picks, or -1. Characters typed within a
    // pause extend the prefix; a repeated first letter steps through the rows that start with
    // it; a prefix no row has starts again from the last character.
    int TypeAhead(char16_t c, std::uint64_t now);

    // Takes the rows, current row and type-ahead of other, which is left empty.
    void TakeOver(RowStore& other);

private:
    std::vector<Row> rows_;
    std::u16string typed_;
    std::uint64_t typedAt_ = 0;
};

// The line height of a control's font, measured once per font.
class LineHeightCache {
public:
    int Of(const gdi::Font& font) const;

private:
    mutable int height_ = 0;
    mutable gdi::Font font_;
};

}  // namespace ui
