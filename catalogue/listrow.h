// The rows a list loader hands to the phrase list, and how a loader shows a message.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/item.h"

namespace catalogue {

// One row of the phrase list: the text it shows and, for a keyword-map group, the item that
// keeps all its alternatives (favourites rows have none). The row owns its item.
struct ListRow {
    std::u16string text;
    std::unique_ptr<CItem> item;
};
using ListRows = std::vector<ListRow>;

// A row for a keyword-map group: the item's display text, the item as the row's data.
ListRow MakeItemRow(const std::u16string& groupText);

// Shows one message box text (the window gives it the program's caption). Loaders call it for
// each message they show, in order.
using MessageSink = std::function<void(std::u16string_view)>;

// The texts the catalogue's operations show.
inline constexpr std::u16string_view CantReadMapFile = u"Can't read map file";
inline constexpr std::u16string_view CantReadSpecFile = u"Can't read MapEngSpec file";
inline constexpr std::u16string_view NoRelatedPhrases = u"No related phrase(s) found!";
inline constexpr std::u16string_view FavouriteAdded = u"One item has just been added to favorite";
inline constexpr std::u16string_view FavouriteExists =
    u"This item has already existed in the favorite!";
inline constexpr std::u16string_view FavouriteRemoved =
    u"One item has just been removed from the favorite!";
inline constexpr std::u16string_view NoFavourites = u"No favourite phrase!";
// An add or a removal that could not be written (the file or its folder is read-only, the
// disk is full).
inline constexpr std::u16string_view CantSaveFavourite = u"Can't save the favorite!";

}  // namespace catalogue
