#include "platform/ui/rowstore.h"

#include <algorithm>

#include "platform/gdi/dc.h"
#include "platform/ui/controlsupport.h"

namespace ui {

namespace {

// Longer than this between two characters starts a new type-ahead prefix.
constexpr std::uint64_t TypeAheadPause = 1000;

}  // namespace

int RowStore::SortedIndex(std::u16string_view text) const {
    const auto at =
        std::upper_bound(rows_.begin(), rows_.end(), text,
                         [](std::u16string_view t, const Row& r) { return LessFolded(t, r.text); });
    return static_cast<int>(at - rows_.begin());
}

int RowStore::Insert(int index, std::u16string_view text) {
    if (index == -1) index = Count();
    if (index < 0 || index > Count()) return -1;
    rows_.insert(rows_.begin() + index, Row{std::u16string(text), 0});
    if (current >= index) ++current;
    return index;
}

bool RowStore::Delete(int index, const Release& release) {
    if (!Has(index)) return false;
    const Row gone = std::move(rows_[static_cast<std::size_t>(index)]);
    rows_.erase(rows_.begin() + index);
    if (current == index) {
        current = -1;
    } else if (current > index) {
        --current;
    }
    if (gone.data != 0 && release) release(index, gone.data);
    return true;
}

void RowStore::Clear(const Release& release) {
    // Emptied first: a release step that looks at the store sees it empty.
    std::vector<Row> gone;
    gone.swap(rows_);
    current = -1;
    for (std::size_t i = 0; i < gone.size(); ++i) {
        if (gone[i].data != 0 && release) release(static_cast<int>(i), gone[i].data);
    }
}

void RowStore::Assign(const std::vector<std::u16string>& texts) {
    rows_.clear();
    rows_.reserve(texts.size());
    for (const std::u16string& text : texts)
        rows_.push_back(Row{text, 0});
    current = -1;
}

bool RowStore::SetData(int index, std::uintptr_t data) {
    if (!Has(index)) return false;
    rows_[static_cast<std::size_t>(index)].data = data;
    return true;
}

int RowStore::CopyText(int index, char16_t* buffer) const {
    if (!Has(index) || buffer == nullptr) return -1;
    const std::u16string& text = Text(index);
    std::copy(text.begin(), text.end(), buffer);
    buffer[text.size()] = u'\0';
    return static_cast<int>(text.size());
}

int RowStore::Find(int startAfter, std::u16string_view text, bool exact) const {
    const int count = Count();
    if (count == 0) return -1;
    const int start = startAfter < -1 || startAfter >= count ? -1 : startAfter;
    for (int k = 1; k <= count; ++k) {
        const int i = (start + k) % count;
        if (exact ? EqualFolded(Text(i), text) : StartsWithFolded(Text(i), text)) return i;
    }
    return -1;
}

int RowStore::TypeAhead(char16_t c, std::uint64_t now) {
    if (c < 0x20 || rows_.empty()) return -1;
    if (now - typedAt_ > TypeAheadPause) typed_.clear();
    typedAt_ = now;
    typed_ += c;
    // A repeated first letter steps through the rows that start with it.
    const bool repeat =
        typed_.size() > 1 && std::all_of(typed_.begin(), typed_.end(),
                                         [&](char16_t x) { return FoldCase(x) == FoldCase(c); });
    const std::u16string_view prefix =
        repeat ? std::u16string_view(typed_).substr(0, 1) : std::u16string_view(typed_);
    const int start = typed_.size() == 1 || repeat ? current : current - 1;
    int found = Find(start, prefix, false);
    if (found < 0 && typed_.size() > 1) {
        typed_ = std::u16string(1, c);
        found = Find(current, typed_, false);
    }
    return found;
}

void RowStore::TakeOver(RowStore& other) {
    rows_ = std::move(other.rows_);
    other.rows_.clear();
    current = other.current;
    other.current = -1;
    typed_ = std::move(other.typed_);
    typedAt_ = other.typedAt_;
}

int LineHeightCache::Of(const gdi::Font& font) const {
    if (height_ == 0 || !(font_ == font)) {
        gdi::DC dc = gdi::DC::Memory();
        if (font) dc.SelectObject(font);
        height_ = std::max(LineHeight(dc), 1);
        font_ = font;
    }
    return height_;
}

}  // namespace ui
