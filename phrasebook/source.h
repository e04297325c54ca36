// The phrasebook's source: the one reviewable text all catalogue files are built from.
//
//   # text                    a comment (whole lines only)
//   @ Category / Subcategory  the phrases below belong to this subcategory
//   English = German          one phrase
//   + Head with [a|b] slots   a group head; the "- English = German" lines right after it
//   - Variant = German        are its variants, in order
//
// Phrases are numbered from 1 in order of appearance. Parsing only reads the layout; what the
// phrases must satisfy is the checker's business.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace phrasebook {

// One finding, tied to a line of the source (1-based; 0 for the file as a whole).
struct Diagnostic {
    int line = 0;
    std::string message;
};

struct Phrase {
    std::u16string english;
    std::u16string german;
    int line = 0;
    int group = -1;  // index into Source::groups, or -1 for a single phrase
};

struct Group {
    std::u16string head;  // with all its slots, as the keyword map stores it
    int line = 0;
    std::size_t first = 0;  // index of its first variant in Source::phrases
    std::size_t size = 0;
};

struct Section {
    std::string category;
    std::string subcategory;
    int line = 0;
    std::size_t first = 0;  // index of its first phrase
    std::size_t count = 0;
};

struct Source {
    std::vector<Phrase> phrases;
    std::vector<Group> groups;
    std::vector<Section> sections;
};

struct ParseResult {
    Source source;
    std::vector<Diagnostic> errors;
};

// Parses UTF-8 text. Every line that fits no form is reported; the rest is still parsed.
ParseResult ParseSource(std::string_view text);

// The whole file, or nothing when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path);

// "line 12: message", or "message" for line 0.
std::string FormatDiagnostic(const std::filesystem::path& file, const Diagnostic& diagnostic);

}  // namespace phrasebook
