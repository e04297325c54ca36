// The favourites: "favorite.dat", PhraseRecords in the order they were added, kept between runs.
//
// The store promises that "favorite.dat" only ever holds whole records of its old or its new
// content, whenever the program stops: an add appends one whole record in a single write (after
// cutting off a trailing partial record left by some earlier failure), and a removal writes the
// new content to a scratch file of its own ("temp.dat" and a random suffix), syncs it, and
// renames it over "favorite.dat" in one step. A link at "favorite.dat" stays a link to the file
// it names, and the file keeps its permissions. A file the user may only read is listed, and
// adding to it or removing from it fails. A failed add or removal leaves the file as it was and
// answers Failed.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "catalogue/listrow.h"
#include "catalogue/phrasemap.h"
#include "catalogue/records.h"

namespace catalogue {

class FavouritesStore {
public:
    enum class Result { Failed, Done, AlreadyPresent };

    // The store of "favorite.dat" in dir (the current directory when empty). Opens nothing.
    explicit FavouritesStore(std::filesystem::path dir = {});
    ~FavouritesStore();
    FavouritesStore(FavouritesStore&& other) noexcept;
    FavouritesStore& operator=(FavouritesStore&& other) noexcept;
    FavouritesStore(const FavouritesStore&) = delete;
    FavouritesStore& operator=(const FavouritesStore&) = delete;

    // Opens "favorite.dat" for reading and appending (created empty when missing), or for
    // reading alone when it may not be written, unless it is open already. True when it is open.
    bool EnsureFavouritesOpen();
    bool IsOpen() const { return fd_ >= 0; }

    // True when the file can be opened and holds more than 1 byte; otherwise the Favourite
    // button shows "No favourite phrase!".
    bool HasFavourites();

    // Empties map and rows, then lists every whole record in file order: the row text and the
    // map key are the record's text without TAB, LF, CR, "[" and "]"; the value its number.
    // Rows carry no item. False when the file cannot be opened.
    bool LoadFavourites(PhraseMap& map, ListRows& rows);

    // Appends current (its 116 bytes) unless a record with the same text exists (or the text
    // is empty): AlreadyPresent. Done ("One item has just been added to favorite"), or
    // Failed when the file cannot be opened or written. Closes the file.
    Result AddFavourite(const PhraseRecord& current);

    // Rewrites the file without the first record whose cleaned text equals current's text (all
    // records kept when none does). Done ("One item has just been removed from the
    // favorite!"; the caller then lists the favourites again), or Failed (the file unchanged).
    // Closes the file.
    Result RemoveFavourite(const PhraseRecord& current);

    // The whole records of the file, in order (for tests and tools).
    std::optional<std::vector<PhraseRecord>> ReadAll();

    std::filesystem::path FavouritesPath() const;

private:
    void Close();
    // The file's bytes, cut to whole records; nothing when they cannot be read.
    std::optional<std::vector<std::uint8_t>> ReadWholeRecords();

    std::filesystem::path dir_;
    int fd_ = -1;
    bool writable_ = false;  // fd_ was opened for writing too
};

// The row text and map key of a favourite: its text without TAB, LF, CR, "[" and "]".
std::u16string CleanFavouriteText(const PhraseRecord& record);

}  // namespace catalogue
