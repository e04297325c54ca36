// The catalogue's readers and converters on arbitrary files. The first byte chooses the file
// the rest becomes: an authored text file converted and read back, "English.dat" loaded,
// listed, searched and related, the audio archive read, the keyword map searched with a
// keyword (and its CItem) taken from the bytes, in English and in German lines, or the
// settings file read and written back.
#include <cstdint>
#include <string>

#include "catalogue/archive.h"
#include "catalogue/item.h"
#include "catalogue/phrasemap.h"
#include "catalogue/pronunciation.h"
#include "catalogue/search.h"
#include "catalogue/settings.h"
#include "catalogue/subcategories.h"
#include "catalogue/textconvert.h"
#include "fuzz/fuzztemp.h"

namespace {

using namespace catalogue;

std::u16string Utf16(const std::uint8_t* data, std::size_t size) {
    std::u16string text;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
    return text;
}

void ListEverything(const std::filesystem::path& english, const std::filesystem::path& spec) {
    const MessageSink ignore = [](std::u16string_view) {};
    PhraseMap map;
    ListRows rows;
    LoadAllPhrases(english, map);
    StdFile file = StdFile::Open(english, "rb");
    LoadPhraseRange(file, spec, 1, PhraseCount, map, rows, ignore);
    LoadPhraseRange(file, spec, 252, 277, map, rows, ignore);
    for (PhraseNo phrase : {1, 270, 781, 782})
        LoadRelated(phrase, file, spec, map, rows, ignore);
    SearchPhrases(spec, u"a", false, rows, ignore);
    RemoveDuplicateRows(rows);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::filesystem::path& dir = fuzzsupport::ScratchDir();
    const std::uint8_t* bytes = data + 1;
    const std::size_t count = size - 1;
    const MessageSink ignore = [](std::u16string_view) {};
    switch (data[0] % 6) {
        case 0: {  // "English.txt"
            fuzzsupport::PutFile(dir / "English.txt", bytes, count);
            if (ConvertEnglishText(dir / "English.txt", dir / "English.dat") ==
                ConvertResult::Written)
                ListEverything(dir / "English.dat", dir / "none.data");
            break;
        }
        case 1: {  // "Pro3.txt"
            fuzzsupport::PutFile(dir / "Pro3.txt", bytes, count);
            if (ConvertPronunciationText(dir / "Pro3.txt", dir / "Chinese.dat") ==
                ConvertResult::Written) {
                StdFile file = StdFile::Open(dir / "Chinese.dat", "rb");
                for (PhraseNo n : {0, 1, 400, 782, 783})
                    PronunciationDisplayText(ReadPronunciation(file, n), n);
            }
            break;
        }
        case 2: {  // "English.dat", also as the keyword map
            fuzzsupport::PutFile(dir / "English.dat", bytes, count);
            ListEverything(dir / "English.dat", dir / "English.dat");
            break;
        }
        case 3: {  // "data.idx" and "data.dat"
            const std::size_t half = count / 2;
            fuzzsupport::PutFile(dir / "data.idx", bytes, half);
            fuzzsupport::PutFile(dir / "data.dat", bytes + half, count - half);
            for (PhraseNo n : {-1, 0, 1, 2, 400, 782, 783}) {
                ClipFetch fetch = ReadClip(dir / "data.dat", dir / "data.idx", n);
                if (fetch.outcome != ClipFetch::Outcome::Clip && !fetch.clip.empty())
                    __builtin_trap();
                fetch.Message();
            }
            break;
        }
        case 4: {  // a keyword and "MapEngSpec.data"
            const std::size_t cut = count < 64 ? count : 64;
            const std::u16string keyword = Utf16(bytes, cut);
            CItem item(keyword);
            fuzzsupport::PutFile(dir / "MapEngSpec.data", bytes + cut, count - cut);
            ListRows rows;
            SearchPhrases(dir / "MapEngSpec.data", keyword, false, rows, ignore);
            SearchPhrases(dir / "MapEngSpec.data", keyword, true, rows, ignore);
            ListSpecRange(dir / "MapEngSpec.data", 1, PhraseCount, rows, ignore);
            // The same bytes as German lines.
            StdFile lines = StdFile::Open(dir / "MapEngSpec.data", "rb");
            SearchGermanLines(dir / "MapEngSpec.data", lines, keyword, false, rows);
            SearchGermanLines(dir / "MapEngSpec.data", lines, keyword, true, rows);
            break;
        }
        case 5: {  // "settings.ini": whatever it holds reads as valid settings that write back
            fuzzsupport::PutFile(dir / "settings.ini", bytes, count);
            const Settings read = ReadSettings(dir / "settings.ini");
            if (read.volume < 1 || read.volume > Settings::VolumeSteps) __builtin_trap();
            if (WriteSettings(read, dir / "settings.ini") &&
                !(ReadSettings(dir / "settings.ini") == read))
                __builtin_trap();
            break;
        }
    }
    return 0;
}
