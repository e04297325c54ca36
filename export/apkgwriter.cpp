#include "export/apkgwriter.h"

#include <sqlite3.h>
#include <zip.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "export/sha1.h"
#include "platform/shell/codepage.h"

namespace exporting {
namespace {

constexpr const char* NoteTypeName = "Tolkara German";
constexpr const char* DeckName = "Tolkara German";

// The tables and indexes of a schema-11 collection.
constexpr const char* Schema = R"(
CREATE TABLE col (id integer primary key, crt integer not null, mod integer not null,
  scm integer not null, ver integer not null, dty integer not null, usn integer not null,
  ls integer not null, conf text not null, models text not null, decks text not null,
  dconf text not null, tags text not null);
CREATE TABLE notes (id integer primary key, guid text not null, mid integer not null,
  mod integer not null, usn integer not null, tags text not null, flds text not null,
  sfld integer not null, csum integer not null, flags integer not null, data text not null);
CREATE TABLE cards (id integer primary key, nid integer not null, did integer not null,
  ord integer not null, mod integer not null, usn integer not null, type integer not null,
  queue integer not null, due integer not null, ivl integer not null, factor integer not null,
  reps integer not null, lapses integer not null, left integer not null, odue integer not null,
  odid integer not null, flags integer not null, data text not null);
CREATE TABLE revlog (id integer primary key, cid integer not null, usn integer not null,
  ease integer not null, ivl integer not null, lastIvl integer not null,
  factor integer not null, time integer not null, type integer not null);
CREATE TABLE graves (usn integer not null, oid integer not null, type integer not null);
CREATE INDEX ix_notes_usn on notes (usn);
CREATE INDEX ix_cards_usn on cards (usn);
CREATE INDEX ix_revlog_usn on revlog (usn);
CREATE INDEX ix_cards_nid on cards (nid);
CREATE INDEX ix_cards_sched on cards (did, queue, due);
CREATE INDEX ix_revlog_cid on revlog (cid);
CREATE INDEX ix_notes_csum on notes (csum);
)";

struct DbCloser {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct StatementCloser {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
struct SqliteFree {
    void operator()(unsigned char* p) const { sqlite3_free(p); }
};
using Db = std::unique_ptr<sqlite3, DbCloser>;
using Statement = std::unique_ptr<sqlite3_stmt, StatementCloser>;

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                    out += escaped;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

// A field's HTML: the text with its markup characters escaped.
std::string Html(std::u16string_view text) {
    std::string out;
    for (char c : shell::Utf16ToUtf8(text)) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else
            out += c;
    }
    return out;
}

// The first 8 hex digits of the SHA-1 of the sort field, as a number.
long long Checksum(std::string_view sortField) {
    const auto digest = Sha1(sortField);
    return (static_cast<long long>(digest[0]) << 24) | (digest[1] << 16) | (digest[2] << 8) |
           digest[3];
}

std::string Field(const char* name, int ord) {
    return std::string("{\"name\":") + JsonString(name) + ",\"ord\":" + std::to_string(ord) +
           ",\"sticky\":false,\"rtl\":false,\"font\":\"Arial\",\"size\":20,\"media\":[]}";
}

std::string Template(const char* name, int ord, const char* front, const char* back) {
    return std::string("{\"name\":") + JsonString(name) + ",\"ord\":" + std::to_string(ord) +
           ",\"qfmt\":" + JsonString(front) + ",\"afmt\":" + JsonString(back) +
           ",\"did\":null,\"bqfmt\":\"\",\"bafmt\":\"\"}";
}

std::string ModelsJson(long long now) {
    const std::string id = std::to_string(DeckNoteTypeId);
    return "{\"" + id + "\":{\"id\":" + id + ",\"name\":" + JsonString(NoteTypeName) +
           ",\"type\":0,\"mod\":" + std::to_string(now) +
           ",\"usn\":-1,\"sortf\":0,\"did\":" + std::to_string(DeckId) + ",\"tmpls\":[" +
           Template("English → German", 0, "{{English}}",
                    "{{FrontSide}}<hr id=answer><b>{{German}}</b><br>"
                    "<span class=ipa>{{IPA}}</span><br>{{Audio}}") +
           "," +
           Template("German audio → English", 1, "{{Audio}}",
                    "{{FrontSide}}<hr id=answer><b>{{German}}</b><br>"
                    "<span class=ipa>{{IPA}}</span><br>{{English}}") +
           "],\"flds\":[" + Field("English", 0) + "," + Field("German", 1) + "," + Field("IPA", 2) +
           "," + Field("Audio", 3) + "],\"css\":" +
           JsonString(
               ".card { font-family: Arial; font-size: 24px; text-align: center; "
               "color: black; background-color: white; }\n"
               ".ipa { font-size: 18px; color: #555; }\n") +
           ",\"latexPre\":" +
           JsonString(
               "\\documentclass[12pt]{article}\n\\special{papersize=3in,5in}\n"
               "\\usepackage[utf8]{inputenc}\n\\usepackage{amssymb,amsmath}\n"
               "\\pagestyle{empty}\n\\setlength{\\parindent}{0in}\n"
               "\\begin{document}\n") +
           ",\"latexPost\":" + JsonString("\\end{document}") +
           ",\"latexsvg\":false,\"tags\":[],\"vers\":[],"
           "\"req\":[[0,\"any\",[0]],[1,\"any\",[3]]]}}";
}

std::string DeckJson(long long id, const char* name, long long now) {
    const std::string ids = std::to_string(id);
    return "\"" + ids + "\":{\"id\":" + ids + ",\"name\":" + JsonString(name) +
           ",\"desc\":\"\",\"conf\":1,\"dyn\":0,\"collapsed\":false,\"browserCollapsed\":false,"
           "\"extendNew\":10,\"extendRev\":50,\"usn\":-1,\"mod\":" +
           std::to_string(now) +
           ",\"newToday\":[0,0],\"revToday\":[0,0],\"lrnToday\":[0,0],\"timeToday\":[0,0]}";
}

std::string DecksJson(long long now) {
    return "{" + DeckJson(1, "Default", now) + "," + DeckJson(DeckId, DeckName, now) + "}";
}

constexpr const char* DeckConfigJson =
    R"({"1":{"id":1,"name":"Default","mod":0,"usn":0,"maxTaken":60,"autoplay":true,"timer":0,)"
    R"("replayq":true,"dyn":false,"new":{"bury":false,"delays":[1.0,10.0],)"
    R"("initialFactor":2500,"ints":[1,4,0],"order":1,"perDay":20},"rev":{"bury":false,)"
    R"("ease4":1.3,"ivlFct":1.0,"maxIvl":36500,"perDay":200,"hardFactor":1.2},"lapse":)"
    R"({"delays":[10.0],"leechAction":1,"leechFails":8,"minInt":1,"mult":0.0}}})";

std::string ConfJson(std::size_t noteCount) {
    return "{\"nextPos\":" + std::to_string(noteCount + 1) +
           ",\"estTimes\":true,\"activeDecks\":[" + std::to_string(DeckId) +
           "],\"sortType\":\"noteFld\",\"timeLim\":0,\"sortBackwards\":false,\"addToCur\":true,"
           "\"curDeck\":" +
           std::to_string(DeckId) +
           ",\"newBury\":true,\"newSpread\":0,\"dueCounts\":true,"
           "\"curModel\":\"" +
           std::to_string(DeckNoteTypeId) + "\",\"collapseTime\":1200}";
}

bool Exec(sqlite3* db, const char* sql) {
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

Statement Prepare(sqlite3* db, const char* sql) {
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
    return Statement(statement);
}

void BindText(sqlite3_stmt* s, int index, const std::string& text) {
    sqlite3_bind_text(s, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

bool StepDone(sqlite3_stmt* s) {
    const bool done = sqlite3_step(s) == SQLITE_DONE;
    sqlite3_reset(s);
    sqlite3_clear_bindings(s);
    return done;
}

// The collection's bytes; empty when SQLite failed.
std::vector<std::uint8_t> BuildCollection(std::span<const ExportPhrase> phrases) {
    sqlite3* raw = nullptr;
    if (sqlite3_open(":memory:", &raw) != SQLITE_OK) {
        sqlite3_close(raw);
        return {};
    }
    Db db(raw);
    if (!Exec(raw, Schema) || !Exec(raw, "BEGIN")) return {};
    const long long now = std::chrono::duration_cast<std::chrono::seconds>(
                              std::chrono::system_clock::now().time_since_epoch())
                              .count();
    {
        Statement col =
            Prepare(raw, "INSERT INTO col VALUES (1, ?, ?, ?, 11, 0, 0, 0, ?, ?, ?, ?, '{}')");
        if (!col) return {};
        sqlite3_bind_int64(col.get(), 1, now - now % 86400);
        sqlite3_bind_int64(col.get(), 2, now * 1000);
        sqlite3_bind_int64(col.get(), 3, now * 1000);
        BindText(col.get(), 4, ConfJson(phrases.size()));
        BindText(col.get(), 5, ModelsJson(now));
        BindText(col.get(), 6, DecksJson(now));
        BindText(col.get(), 7, DeckConfigJson);
        if (!StepDone(col.get())) return {};
    }
    Statement note = Prepare(raw, "INSERT INTO notes VALUES (?, ?, ?, ?, -1, '', ?, ?, ?, 0, '')");
    Statement card = Prepare(
        raw, "INSERT INTO cards VALUES (?, ?, ?, ?, ?, -1, 0, 0, ?, 0, 0, 0, 0, 0, 0, 0, 0, '')");
    if (!note || !card) return {};
    long long position = 0;
    for (const ExportPhrase& phrase : phrases) {
        ++position;
        const std::string english = Html(phrase.english);
        const std::string audio =
            phrase.clip.empty() ? std::string() : "[sound:" + ClipFileName(phrase.number) + "]";
        const std::string fields =
            english + '\x1f' + Html(phrase.german) + '\x1f' + Html(phrase.ipa) + '\x1f' + audio;
        const long long nid = NoteIdOf(phrase.number);
        sqlite3_bind_int64(note.get(), 1, nid);
        BindText(note.get(), 2, GuidOf(phrase.number));
        sqlite3_bind_int64(note.get(), 3, DeckNoteTypeId);
        sqlite3_bind_int64(note.get(), 4, now);
        BindText(note.get(), 5, fields);
        BindText(note.get(), 6, english);
        sqlite3_bind_int64(note.get(), 7, Checksum(english));
        if (!StepDone(note.get())) return {};
        for (int ord = 0; ord < (audio.empty() ? 1 : 2); ++ord) {
            sqlite3_bind_int64(card.get(), 1, CardIdOf(phrase.number, ord));
            sqlite3_bind_int64(card.get(), 2, nid);
            sqlite3_bind_int64(card.get(), 3, DeckId);
            sqlite3_bind_int(card.get(), 4, ord);
            sqlite3_bind_int64(card.get(), 5, now);
            sqlite3_bind_int64(card.get(), 6, position);
            if (!StepDone(card.get())) return {};
        }
    }
    note.reset();
    card.reset();
    if (!Exec(raw, "COMMIT")) return {};
    sqlite3_int64 size = 0;
    std::unique_ptr<unsigned char, SqliteFree> bytes(sqlite3_serialize(raw, "main", &size, 0));
    if (!bytes) return {};
    return std::vector<std::uint8_t>(bytes.get(), bytes.get() + size);
}

struct ZipDiscarder {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};

// Adds bytes (which must outlive the archive's closing) as member name.
bool AddMember(zip_t* archive, const std::string& name, const void* bytes, std::size_t size,
               bool compress) {
    zip_source_t* source = zip_source_buffer(archive, bytes, size, 0);
    if (source == nullptr) return false;
    const zip_int64_t index = zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        zip_source_free(source);
        return false;
    }
    return zip_set_file_compression(archive, static_cast<zip_uint64_t>(index),
                                    compress ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 0) == 0;
}

}  // namespace

long long NoteIdOf(PhraseNo number) {
    return 1720000100000 + number;
}
long long CardIdOf(PhraseNo number, int templateOrdinal) {
    return 1720000200000 + static_cast<long long>(number) * 2 + templateOrdinal;
}
std::string GuidOf(PhraseNo number) {
    return "tolkara-german-" + std::to_string(number);
}

WriteResult WriteApkg(const std::filesystem::path& file, std::span<const ExportPhrase> phrases) {
    const std::vector<std::uint8_t> collection = BuildCollection(phrases);
    if (collection.empty())
        return WriteResult::Failed(u"Can't make the deck's collection (SQLite).");

    std::string media = "{";
    int member = 0;
    for (const ExportPhrase& phrase : phrases) {
        if (phrase.clip.empty()) continue;
        if (member > 0) media += ",";
        media += "\"" + std::to_string(member++) + "\":" + JsonString(ClipFileName(phrase.number));
    }
    media += "}";

    int error = 0;
    std::unique_ptr<zip_t, ZipDiscarder> archive(
        zip_open(file.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error));
    const std::u16string cantWrite = u"Can't write " + shell::Utf8ToUtf16(file.string());
    if (!archive) return WriteResult::Failed(cantWrite);
    bool added =
        AddMember(archive.get(), "collection.anki2", collection.data(), collection.size(), true) &&
        AddMember(archive.get(), "media", media.data(), media.size(), true);
    member = 0;
    for (const ExportPhrase& phrase : phrases) {
        if (phrase.clip.empty() || !added) continue;
        // The clips are MPEG audio already: stored as they are.
        added = AddMember(archive.get(), std::to_string(member++), phrase.clip.data(),
                          phrase.clip.size(), false);
    }
    if (!added) return WriteResult::Failed(cantWrite);
    if (zip_close(archive.get()) != 0) return WriteResult::Failed(cantWrite);
    archive.release();
    return WriteResult::Done();
}

}  // namespace exporting
