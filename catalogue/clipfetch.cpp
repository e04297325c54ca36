#include "catalogue/clipfetch.h"

namespace catalogue {

ClipFetch::Outcome FetchClip(const std::filesystem::path& dataFile,
                             const std::filesystem::path& indexFile, PhraseNo phrase,
                             CAudioPlayer& player, const MessageSink& show) {
    ClipFetch fetch = ReadClip(dataFile, indexFile, phrase);
    if (const char16_t* message = fetch.Message()) show(message);
    if (fetch.outcome == ClipFetch::Outcome::ShortRead) player.Close();
    if (fetch.outcome != ClipFetch::Outcome::Clip) return fetch.outcome;
    player.Close();
    player.Open(std::move(fetch.clip));
    player.Cue(0, CAudioPlayer::DefaultRangeEnd);
    return fetch.outcome;
}

}  // namespace catalogue
