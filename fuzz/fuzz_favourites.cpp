// The favourites store on an arbitrary "favorite.dat": listed, a phrase added and removed,
// after which the file must hold only whole records.
#include <cstdint>
#include <filesystem>

#include "catalogue/favouritesstore.h"
#include "fuzz/fuzztemp.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path& dir = fuzzsupport::ScratchDir();
    fuzzsupport::PutFile(dir / "favorite.dat", data, size);
    catalogue::FavouritesStore store(dir);
    catalogue::PhraseMap map;
    catalogue::ListRows rows;
    store.LoadFavourites(map, rows);
    store.HasFavourites();
    PhraseRecord added;
    if (size >= PhraseRecord::Size) {
        std::array<std::uint8_t, PhraseRecord::Size> raw;
        std::copy(data, data + raw.size(), raw.begin());
        added = PhraseRecord::Decode(raw.data());
    }
    added.SetText(u"Fuzz phrase [one]");
    added.number = 7;
    store.AddFavourite(added);
    PhraseRecord first;
    if (auto records = store.ReadAll(); records && !records->empty()) first = records->front();
    store.RemoveFavourite(first);
    store.RemoveFavourite(added);
    if (std::filesystem::file_size(dir / "favorite.dat") % PhraseRecord::Size != 0)
        __builtin_trap();
    store.LoadFavourites(map, rows);
    return 0;
}
