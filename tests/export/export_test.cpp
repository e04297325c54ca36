// The exports, read back the way their readers would: the deck's collection with SQLite and its
// clips with our decoder, the table as text, the sheet through poppler's tools; the failures a
// user can meet; and the command line.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <zip.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "audio/mpeg/decoder.h"
#include "catalogue/archive.h"
#include "catalogue/filenames.h"
#include "catalogue/records.h"
#include "catalogue/stdfile.h"
#include "export/apkgwriter.h"
#include "export/exportfile.h"
#include "export/phraseset.h"
#include "platform/shell/codepage.h"
#include "tests/support/process.h"
#include "tests/support/runfolder.h"
#include "tests/support/tempdir.h"

namespace {

namespace fs = std::filesystem;
using exporting::ExportPhrase;
using exporting::ExportScope;
using testing_support::ReadBytes;
using testing_support::TempDir;

std::string Utf8(const std::u16string& text) {
    return shell::Utf16ToUtf8(text);
}

// A data folder with the bundled phrasebook's files and favourites of our choosing.
class ExportTest : public ::testing::Test {
protected:
    void SetUp() override {
        const fs::path bundled = testing_support::BundledRunFolder();
        if (bundled.empty()) GTEST_SKIP() << "the bundled phrasebook is not prepared (make data)";
        for (const char* name : {"English.txt", "Pro3.txt", "English.dat", "Chinese.dat",
                                 "data.idx", "data.dat", "Ipa.txt"})
            if (fs::exists(bundled / name)) fs::create_symlink(bundled / name, data / name);
    }
    void Favourites(const std::vector<std::pair<std::u16string, PhraseNo>>& records) {
        auto file = catalogue::StdFile::Open(data / catalogue::FavouritesName, "wb");
        for (const auto& [text, number] : records) {
            PhraseRecord record;
            record.SetText(text);
            record.number = number;
            ASSERT_TRUE(file.WriteRecord(record));
        }
    }
    std::vector<ExportPhrase> Collect(ExportScope scope) {
        exporting::PhraseSet set = exporting::CollectPhrases(data.path(), scope);
        EXPECT_EQ(set.problem, u"");
        return std::move(set.phrases);
    }
    // The names in a folder, scratch files included.
    static std::set<std::string> Names(const fs::path& folder) {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.insert(entry.path().filename().string());
        return names;
    }

    TempDir data;
    TempDir out;
};

// Every member of a zip file, by name.
std::map<std::string, std::vector<std::uint8_t>> ZipMembers(const fs::path& file) {
    std::map<std::string, std::vector<std::uint8_t>> members;
    int error = 0;
    zip_t* archive = zip_open(file.c_str(), ZIP_RDONLY, &error);
    if (archive == nullptr) return members;
    for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
        zip_stat_t stat;
        zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat);
        std::vector<std::uint8_t> bytes(stat.size);
        zip_file_t* member = zip_fopen_index(archive, static_cast<zip_uint64_t>(i), 0);
        if (member == nullptr) continue;
        const zip_int64_t got = zip_fread(member, bytes.data(), bytes.size());
        zip_fclose(member);
        if (got == static_cast<zip_int64_t>(bytes.size())) members[stat.name] = std::move(bytes);
    }
    zip_discard(archive);
    return members;
}

// Rows of one SQL query, every column as text.
struct Database {
    explicit Database(const fs::path& file) {
        sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    }
    ~Database() { sqlite3_close(db); }
    std::vector<std::vector<std::string>> Rows(const std::string& sql,
                                               const std::string& bound = {}) {
        std::vector<std::vector<std::string>> rows;
        sqlite3_stmt* s = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &s, nullptr), SQLITE_OK) << sql;
        if (!bound.empty()) sqlite3_bind_text(s, 1, bound.c_str(), -1, SQLITE_TRANSIENT);
        while (sqlite3_step(s) == SQLITE_ROW) {
            std::vector<std::string> row;
            for (int c = 0; c < sqlite3_column_count(s); ++c) {
                const auto* text = sqlite3_column_text(s, c);
                row.emplace_back(text != nullptr ? reinterpret_cast<const char*>(text) : "");
            }
            rows.push_back(std::move(row));
        }
        sqlite3_finalize(s);
        return rows;
    }
    std::string One(const std::string& sql, const std::string& bound = {}) {
        const auto rows = Rows(sql, bound);
        return rows.empty() || rows[0].empty() ? "<none>" : rows[0][0];
    }
    sqlite3* db = nullptr;
};

// Frames decoded by our decoder when the whole of clip decodes as MPEG audio; 0 otherwise.
int DecodedFrames(const std::vector<std::uint8_t>& clip) {
    const auto length = static_cast<std::int32_t>(clip.size());
    mpeg::DecoderInit();
    mpeg::FrameInfo info;
    if (!mpeg::ParseFrameInfo(clip.data(), length, info, 1) ||
        !mpeg::DecoderStart(clip.data(), length))
        return 0;
    std::vector<std::uint8_t> pcm(static_cast<std::size_t>(info.pcmBytesPerFrame));
    std::int32_t offset = 0;
    int frames = 0;
    while (offset < length) {
        mpeg::FrameJob job;
        job.input = clip.data() + offset;
        job.inputLength = length - offset;
        job.output = pcm.data();
        if (!mpeg::DecodeFrame(job) || job.outputLength <= 0) return 0;
        offset += job.inputLength;
        ++frames;
    }
    return frames;
}

std::vector<std::string> Split(const std::string& text, char by) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(by, start)) != std::string::npos; start = end + 1)
        parts.push_back(text.substr(start, end - start));
    parts.push_back(text.substr(start));
    return parts;
}

std::string Html(const std::u16string& text) {
    std::string out;
    for (char c : Utf8(text))
        out += c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '>' ? "&gt;" : std::string(1, c);
    return out;
}

TEST_F(ExportTest, DeckHoldsOneNotePerPhraseTwoCardsAndPlayableClips) {
    const std::vector<ExportPhrase> phrases = Collect(ExportScope::Category(1));
    ASSERT_EQ(phrases.size(), 155u);  // Basic: phrases 1-155
    const fs::path deck = out / "Basic.apkg";
    ASSERT_TRUE(exporting::ExportToFile(deck, phrases).ok);

    auto members = ZipMembers(deck);
    ASSERT_TRUE(members.count("collection.anki2"));
    ASSERT_TRUE(members.count("media"));
    testing_support::WriteBytes(out / "collection.anki2", members["collection.anki2"]);
    Database db(out / "collection.anki2");
    EXPECT_EQ(db.One("PRAGMA integrity_check"), "ok");
    EXPECT_EQ(db.One("SELECT ver FROM col"), "11");
    EXPECT_EQ(db.One("SELECT count(*) FROM col"), "1");
    const std::string type = "$.\"" + std::to_string(exporting::DeckNoteTypeId) + "\"";
    EXPECT_EQ(db.One("SELECT json_extract(models, '" + type + ".name') FROM col"),
              "Tolkara German");
    EXPECT_EQ(
        db.Rows("SELECT json_extract(value, '$.name') FROM col, json_each(json_extract(models, '" +
                type + ".flds'))"),
        (std::vector<std::vector<std::string>>{{"English"}, {"German"}, {"IPA"}, {"Audio"}}));
    EXPECT_EQ(
        db.Rows("SELECT json_extract(value, '$.name'), json_extract(value, '$.qfmt') FROM col, "
                "json_each(json_extract(models, '" +
                type + ".tmpls'))"),
        (std::vector<std::vector<std::string>>{{"English → German", "{{English}}"},
                                               {"German audio → English", "{{Audio}}"}}));
    EXPECT_EQ(db.One("SELECT json_extract(decks, '$.\"" + std::to_string(exporting::DeckId) +
                     "\".name') FROM col"),
              "Tolkara German");

    // The media map: member number -> file name, one per clip, each member a whole MPEG stream
    // holding the archive's bytes.
    const std::string mediaText(members["media"].begin(), members["media"].end());
    std::map<std::string, std::string> mediaNames;  // file name -> member
    for (const auto& row : db.Rows("SELECT key, value FROM json_each(?)", mediaText))
        mediaNames[row[1]] = row[0];
    EXPECT_EQ(mediaNames.size(), members.size() - 2);

    const auto notes = db.Rows("SELECT id, guid, mid, flds, sfld FROM notes ORDER BY id");
    ASSERT_EQ(notes.size(), phrases.size());
    std::size_t cards = 0;
    for (std::size_t i = 0; i < phrases.size(); ++i) {
        const ExportPhrase& phrase = phrases[i];
        SCOPED_TRACE(phrase.number);
        EXPECT_EQ(notes[i][0], std::to_string(exporting::NoteIdOf(phrase.number)));
        EXPECT_EQ(notes[i][1], exporting::GuidOf(phrase.number));
        EXPECT_EQ(notes[i][2], std::to_string(exporting::DeckNoteTypeId));
        const std::vector<std::string> fields = Split(notes[i][3], '\x1f');
        ASSERT_EQ(fields.size(), 4u);
        EXPECT_EQ(fields[0], Html(phrase.english));
        EXPECT_EQ(fields[1], Html(phrase.german));
        EXPECT_EQ(fields[2], Utf8(phrase.ipa));
        EXPECT_FALSE(phrase.german.empty());
        EXPECT_FALSE(phrase.ipa.empty());
        EXPECT_EQ(notes[i][4], fields[0]);
        const std::string clipName = exporting::ClipFileName(phrase.number);
        ASSERT_FALSE(phrase.clip.empty());
        EXPECT_EQ(fields[3], "[sound:" + clipName + "]");
        ASSERT_TRUE(mediaNames.count(clipName));
        const auto& member = members[mediaNames[clipName]];
        const catalogue::ClipFetch stored = catalogue::ReadClip(
            data / catalogue::ClipDataName, data / catalogue::ClipIndexName, phrase.number);
        EXPECT_EQ(member, stored.clip);
        EXPECT_GT(DecodedFrames(member), 5);
        const auto ords = db.Rows(
            "SELECT ord, did, type, queue FROM cards WHERE nid = " + notes[i][0] + " ORDER BY ord");
        EXPECT_EQ(ords, (std::vector<std::vector<std::string>>{
                            {"0", std::to_string(exporting::DeckId), "0", "0"},
                            {"1", std::to_string(exporting::DeckId), "0", "0"}}));
        cards += ords.size();
    }
    EXPECT_EQ(db.One("SELECT count(*) FROM cards"), std::to_string(cards));

    // A second export replaces the file whole, with the same ids (an import updates the notes).
    const auto firstIds = db.Rows(
        "SELECT n.id, n.guid, c.id FROM notes n JOIN cards c ON c.nid = n.id ORDER BY c.id");
    ASSERT_TRUE(exporting::ExportToFile(deck, phrases).ok);
    testing_support::WriteBytes(out / "again.anki2", ZipMembers(deck)["collection.anki2"]);
    Database again(out / "again.anki2");
    EXPECT_EQ(
        again.Rows(
            "SELECT n.id, n.guid, c.id FROM notes n JOIN cards c ON c.nid = n.id ORDER BY c.id"),
        firstIds);
    EXPECT_EQ(Names(out.path()),
              (std::set<std::string>{"Basic.apkg", "collection.anki2", "again.anki2"}));
}

// Reads a CSV text with quoted fields into rows.
std::vector<std::vector<std::string>> ReadCsv(const std::string& text) {
    std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(1));
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                rows.back().back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                rows.back().back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            rows.back().emplace_back();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
            if (i + 1 < text.size()) rows.emplace_back(1);
        } else {
            rows.back().back() += c;
        }
    }
    return rows;
}

TEST_F(ExportTest, TableReadsBackWithItsClipsInTheFolderBeside) {
    const std::vector<ExportPhrase> phrases = Collect(ExportScope::All());
    ASSERT_EQ(phrases.size(), static_cast<std::size_t>(PhraseCount));
    const fs::path table = out / "All phrases.CSV";
    ASSERT_TRUE(exporting::ExportToFile(table, phrases).ok);
    const auto bytes = ReadBytes(table);
    const auto rows = ReadCsv(std::string(bytes.begin(), bytes.end()));
    ASSERT_EQ(rows.size(), phrases.size() + 1);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"English", "German", "IPA", "Audio"}));
    const fs::path folder = out / "All phrases_media";
    std::size_t clips = 0;
    for (std::size_t i = 0; i < phrases.size(); ++i) {
        const ExportPhrase& phrase = phrases[i];
        SCOPED_TRACE(phrase.number);
        ASSERT_EQ(rows[i + 1].size(), 4u);
        EXPECT_EQ(rows[i + 1][0], Utf8(phrase.english));
        EXPECT_EQ(rows[i + 1][1], Utf8(phrase.german));
        EXPECT_EQ(rows[i + 1][2], Utf8(phrase.ipa));
        if (phrase.clip.empty()) {
            EXPECT_EQ(rows[i + 1][3], "");
            continue;
        }
        const std::string name = exporting::ClipFileName(phrase.number);
        EXPECT_EQ(rows[i + 1][3], "[sound:" + name + "]");
        EXPECT_EQ(ReadBytes(folder / name), phrase.clip);
        ++clips;
    }
    EXPECT_EQ(Names(folder).size(), clips);
    EXPECT_GE(clips, phrases.size() - 1);
    // Commas and quotes in a phrase survive the round trip.
    ExportPhrase odd = phrases[1];
    odd.english = u"Say \"yes\", then \"no\"";
    ASSERT_TRUE(exporting::ExportToFile(out / "odd.csv", std::vector<ExportPhrase>{odd}).ok);
    const auto oddBytes = ReadBytes(out / "odd.csv");
    EXPECT_EQ(ReadCsv(std::string(oddBytes.begin(), oddBytes.end()))[1][0], Utf8(odd.english));
    EXPECT_EQ(Names(out.path()), (std::set<std::string>{"All phrases.CSV", "All phrases_media",
                                                        "odd.csv", "odd_media"}));
}

std::string CommandOutput(const std::string& command) {
    std::string output;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe) return output;
    char buffer[4096];
    for (std::size_t got; (got = fread(buffer, 1, sizeof buffer, pipe.get())) > 0;)
        output.append(buffer, got);
    return output;
}

// Runs of white space as one space.
std::string Squeezed(const std::string& text) {
    std::string out;
    for (char c : text) {
        const bool space = c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f';
        if (space && (out.empty() || out.back() == ' ')) continue;
        out += space ? ' ' : c;
    }
    return out;
}

TEST_F(ExportTest, SheetShowsEveryGermanLineOnNumberedPagesWithEmbeddedFonts) {
    if (!testing_support::OnPath("pdftotext") || !testing_support::OnPath("pdftoppm"))
        GTEST_SKIP() << "poppler-utils is not installed";
    const std::vector<ExportPhrase> phrases = Collect(ExportScope::Category(2));
    const fs::path sheet = out / "Travel.pdf";
    ASSERT_TRUE(exporting::ExportToFile(sheet, phrases).ok);
    const std::string info = CommandOutput("pdfinfo '" + sheet.string() + "'");
    EXPECT_NE(info.find("595.276 x 841.89 pts (A4)"), std::string::npos) << info;
    const std::string text =
        Squeezed(CommandOutput("pdftotext -enc UTF-8 '" + sheet.string() + "' -"));
    for (const ExportPhrase& phrase : phrases)
        EXPECT_NE(text.find(Squeezed(Utf8(phrase.german))), std::string::npos)
            << Utf8(phrase.german);
    EXPECT_NE(text.find("Travel: Arrival"), std::string::npos);
    const int pages = std::stoi(info.substr(info.find("Pages:") + 6));
    EXPECT_GE(pages, 3);
    EXPECT_NE(text.find("Page " + std::to_string(pages) + " of " + std::to_string(pages)),
              std::string::npos);
    // Every font embedded.
    const std::string fonts = CommandOutput("pdffonts '" + sheet.string() + "'");
    int fontLines = 0;
    for (const std::string& line : Split(fonts, '\n')) {
        if (line.find("TrueType") == std::string::npos) continue;
        ++fontLines;
        EXPECT_NE(line.find(" yes yes "), std::string::npos) << line;
    }
    EXPECT_GE(fontLines, 3) << fonts;
    // The first page as an image, for a person to look at.
    const fs::path shots = fs::path(PHRASEBOOK_SCREENSHOT_DIR);
    fs::create_directories(shots);
    EXPECT_EQ(std::system(("pdftoppm -r 60 -png -f 1 -l 1 -singlefile '" + sheet.string() + "' '" +
                           (shots / "travel-sheet").string() + "'")
                              .c_str()),
              0);
    EXPECT_GT(fs::file_size(shots / "travel-sheet.png"), 10000u);
}

// What the user meets when an export cannot be made: a clear message, and no file (an existing
// one left as it was, no scratch file left behind).
TEST_F(ExportTest, FailuresSayWhyAndLeaveNoFile) {
    const std::vector<ExportPhrase> some = Collect(ExportScope::Category(10));
    testing_support::WriteBytes(out / "kept.pdf", {'o', 'l', 'd'});
    testing_support::WriteBytes(out / "plain file", {'x'});
    fs::create_directory(out / "folder.pdf");
    struct Case {
        const char* what;
        fs::path file;
        std::vector<ExportPhrase> phrases;
        std::u16string message;
    };
    const std::vector<Case> cases = {
        {"unknown extension", out / "phrases.txt", some,
         u"Can't export to phrases.txt: the name must end in .apkg, .csv or .pdf."},
        {"no extension", out / "phrases", some,
         u"Can't export to phrases: the name must end in .apkg, .csv or .pdf."},
        {"missing folder", out / "no such folder" / "x.apkg", some,
         u"Can't write in the folder " + shell::Utf8ToUtf16((out / "no such folder").string()) +
             u": No such file or directory"},
        {"folder is a file", out / "plain file" / "x.csv", some,
         u"Can't write in the folder " + shell::Utf8ToUtf16((out / "plain file").string()) +
             u": Not a directory"},
        {"read-only system folder", "/proc/x.pdf", some, u"Can't write in the folder /proc: "},
        {"nothing to export", out / "kept.pdf", {}, u"No favourite phrase to export!"},
        {"a folder in the way", out / "folder.pdf", some,
         u"Can't write " + shell::Utf8ToUtf16((out / "folder.pdf").string()) + u": Is a directory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const exporting::WriteResult result = exporting::ExportToFile(c.file, c.phrases);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.message.substr(0, c.message.size()), c.message) << Utf8(result.message);
        EXPECT_EQ(Names(out.path()),
                  (std::set<std::string>{"kept.pdf", "plain file", "folder.pdf"}));
        EXPECT_EQ(ReadBytes(out / "kept.pdf"), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
    }

    // Favourites: a record that names no phrase (number 0) and a repeat are left out and counted;
    // none at all, or only such records, give the message and nothing to write.
    Favourites({{u"Hello.", 1}, {u"Broken", 0}, {u"Good [evening].", 6}, {u"Hello.", 1}});
    exporting::PhraseSet set = exporting::CollectPhrases(data.path(), ExportScope::Favourites());
    EXPECT_EQ(set.problem, u"");
    EXPECT_EQ(set.skipped, 2);
    ASSERT_EQ(set.phrases.size(), 2u);
    EXPECT_EQ(set.phrases[1].english, u"Good evening.");
    EXPECT_EQ(set.phrases[1].german, u"Guten Abend.");
    EXPECT_EQ(set.phrases[1].heading, u"Basic: Greetings");
    for (const auto& records : {std::vector<std::pair<std::u16string, PhraseNo>>{},
                                std::vector<std::pair<std::u16string, PhraseNo>>{{u"Broken", 0}}}) {
        Favourites(records);
        set = exporting::CollectPhrases(data.path(), ExportScope::Favourites());
        EXPECT_EQ(set.problem, exporting::NothingToExport);
        EXPECT_TRUE(set.phrases.empty());
    }
}

// The program itself: "--export FILE [--category N | --all]" with no display at all.
TEST_F(ExportTest, CommandLineExportsWithoutAWindow) {
    Favourites({{u"Hello.", 1}, {u"Good [evening].", 6}});
    struct Case {
        std::vector<std::string> args;
        int exit;
        std::string output;  // the start of standard output, or of standard error on failure
    };
    const std::string deck = (out / "fav.apkg").string();
    const std::vector<Case> cases = {
        {{"--export", deck}, 0, deck + "\n"},
        {{"--export", (out / "basic.pdf").string(), "--category", "1"},
         0,
         (out / "basic.pdf").string()},
        {{"--all", "--export=" + (out / "all.csv").string()}, 0, (out / "all.csv").string()},
        {{"--export", (out / "x.doc").string(), "--all"},
         1,
         "tolkara-german: can't export to x.doc: the name must end in .apkg, .csv or .pdf."},
        {{"--export", "/proc/none/x.apkg"},
         1,
         "tolkara-german: Can't write in the folder /proc/none"},
        {{"--export", deck, "--category", "11"},
         2,
         "tolkara-german: --category takes a category number"},
        {{"--export", deck, "--all", "--category", "2"}, 2, "tolkara-german: give either"},
        {{"--export"}, 2, "tolkara-german: --export needs a file name"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> argv{TOLKARA_PATH};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        SCOPED_TRACE(argv.back());
        testing_support::Child child(
            argv, {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"SDL_VIDEODRIVER", "none"}},
            data.path(), true);
        const std::string output = child.ReadAll();
        const auto exit = child.Wait();
        ASSERT_TRUE(exit.has_value());
        EXPECT_EQ(*exit, c.exit);
        EXPECT_EQ(output.substr(0, c.output.size()), c.output) << output;
    }
    EXPECT_EQ(ZipMembers(deck).size(), 4u);  // the collection, the media map and two clips
    EXPECT_TRUE(fs::exists(out / "all_media" / exporting::ClipFileName(PhraseCount)));
}

}  // namespace
