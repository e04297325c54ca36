// Handing a phrase's clip from the audio archive to the player.
#pragma once

#include <filesystem>
#include <string_view>

#include "audio/audioplayer.h"
#include "catalogue/archive.h"
#include "catalogue/listrow.h"

namespace catalogue {

// Reads phrase's clip from dataFile through indexFile and hands it to the player: Close, Open,
// Cue(0, 400000). When the clip cannot be had the player keeps what it holds, except after an
// index entry pointing past the archive's end, which closes it (the old clip belongs to another
// phrase). Shows "Can't find data file!" or "This file is not in right format!" where due.
ClipFetch::Outcome FetchClip(const std::filesystem::path& dataFile,
                             const std::filesystem::path& indexFile, PhraseNo phrase,
                             CAudioPlayer& player, const MessageSink& show);

}  // namespace catalogue
