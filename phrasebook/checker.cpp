#include "phrasebook/checker.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "catalogue/ipatext.h"
#include "catalogue/item.h"
#include "phrasebook/slots.h"
#include "phrasebook/subcategories.h"
#include "platform/shell/codepage.h"

namespace phrasebook {
namespace {

std::string Quote(const std::u16string& text) {
    return "\"" + shell::Utf16ToUtf8(text) + "\"";
}

std::string PhraseName(const Source& source, std::size_t index) {
    return "phrase " + std::to_string(index + 1) + " (" + Quote(source.phrases[index].english) +
           ")";
}

// The first character of text that Windows-1252 cannot hold, if any.
std::optional<char16_t> FirstNonAnsi(const std::u16string& text) {
    for (char16_t c : text)
        if (!shell::Utf16ToAnsi(std::u16string_view(&c, 1))) return c;
    return std::nullopt;
}

bool HasControl(const std::u16string& text) {
    for (char16_t c : text)
        if (c < 0x20 || c == 0x7F) return true;
    return false;
}

class Checker {
public:
    explicit Checker(const Source& source) : source_(source) {}

    std::vector<Diagnostic> Run() {
        CheckCount();
        for (std::size_t i = 0; i < source_.phrases.size(); ++i)
            CheckPhrase(i);
        for (const auto& group : source_.groups)
            CheckGroup(group);
        CheckSections();
        CheckRanges();
        CheckUniqueTexts();
        return std::move(found_);
    }

private:
    void Report(int line, std::string message) { found_.push_back({line, std::move(message)}); }

    void CheckCount() {
        std::size_t count = source_.phrases.size();
        if (count == static_cast<std::size_t>(PhraseCount)) return;
        int line = count > static_cast<std::size_t>(PhraseCount)
                       ? source_.phrases[PhraseCount].line
                       : (count ? source_.phrases.back().line : 0);
        Report(line, "the phrasebook holds " + std::to_string(count) + " phrases; it must hold " +
                         std::to_string(PhraseCount));
    }

    void CheckPhrase(std::size_t index) {
        const Phrase& phrase = source_.phrases[index];
        // The text file adds a CR to every line and a byte-order mark before phrase 1.
        std::size_t extra = index == 0 ? 2 : 1;
        if (phrase.english.size() + extra > EnglishFieldUnits)
            Report(phrase.line, "the English text has " + std::to_string(phrase.english.size()) +
                                    " code units; at most " +
                                    std::to_string(EnglishFieldUnits - extra) + " fit");
        if (phrase.german.size() + extra > PronunciationFieldUnits)
            Report(phrase.line, "the German text has " + std::to_string(phrase.german.size()) +
                                    " code units; at most " +
                                    std::to_string(PronunciationFieldUnits - extra) + " fit");
        if (HasControl(phrase.english) || HasControl(phrase.german))
            Report(phrase.line, "the phrase holds a control character");
        if (auto bad = FirstNonAnsi(phrase.english))
            Report(phrase.line, "the English text holds " + Quote(std::u16string(1, *bad)) +
                                    ", which Windows-1252 cannot hold");
        for (char16_t c : phrase.german) {
            if (c >= u'0' && c <= u'9') {
                Report(phrase.line,
                       "the German text holds digits; write numbers as the words "
                       "the clip speaks");
                break;
            }
            if (c == u'[' || c == u']' || c == u'|') {
                Report(phrase.line, "the German text holds a slot character ([, ] or |)");
                break;
            }
        }
        if (phrase.group < 0 && phrase.english.find_first_of(u"[]|") != std::u16string::npos)
            Report(phrase.line, "a single phrase with [, ] or |: slots belong to group heads");
    }

    void CheckGroup(const Group& group) {
        if (group.size == 0) return;  // reported by the parser
        SlotParse head = ParseSlots(group.head);
        if (head.error) {
            Report(group.line, "the group head has " + *head.error);
            return;
        }
        if (head.text.slots.empty()) {
            Report(group.line, "the group head has no slot");
            return;
        }
        for (const auto& slot : head.text.slots)
            if (slot.size() < 2) {
                Report(group.line, "a slot of the group head has only one alternative");
                return;
            }
        auto ansi = shell::Utf16ToAnsi(group.head);
        if (!ansi)
            Report(group.line, "the group head holds a character Windows-1252 cannot hold");
        else if (ansi->size() > HeadFieldBytes)
            Report(group.line, "the group head has " + std::to_string(ansi->size()) +
                                   " bytes; at most " + std::to_string(HeadFieldBytes) + " fit");

        std::vector<std::u16string> expected = EnumerateVariants(head.text);
        if (expected.size() != group.size) {
            Report(group.line, "the group has " + std::to_string(group.size) +
                                   " variants; its slots make " + std::to_string(expected.size()));
        }
        for (std::size_t k = 0; k < group.size && k < expected.size(); ++k) {
            const Phrase& variant = source_.phrases[group.first + k];
            if (variant.english != expected[k])
                Report(variant.line, "variant " + std::to_string(k + 1) + " of the group at line " +
                                         std::to_string(group.line) + " must read " +
                                         Quote(expected[k]));
        }
        // What the list shows for the head must be the first variant's text.
        CItem item(group.head);
        if (!expected.empty() && item.display != expected[0])
            Report(group.line,
                   "the head displays as " + Quote(item.display) + ", not as its first variant");
    }

    void CheckSections() {
        std::set<const Subcategory*> seen;
        for (const Section& section : source_.sections) {
            const Subcategory* entry = FindSubcategory(section.category, section.subcategory);
            if (!entry) {
                Report(section.line, "no subcategory \"" + section.subcategory +
                                         "\" in category \"" + section.category + "\"");
                continue;
            }
            if (!seen.insert(entry).second)
                Report(section.line, "the subcategory \"" + section.category + " / " +
                                         section.subcategory + "\" has a second section");
            for (std::size_t i = section.first; i < section.first + section.count; ++i) {
                auto number = static_cast<PhraseNo>(i + 1);
                if (number < entry->first || number > entry->last) {
                    Report(source_.phrases[i].line,
                           PhraseName(source_, i) + " lies outside \"" + section.category + " / " +
                               section.subcategory + "\" (phrases " + std::to_string(entry->first) +
                               " to " + std::to_string(entry->last) + ")");
                    break;  // the rest of the section is off by as much
                }
            }
        }
    }

    // A range lists whole groups: it may neither start nor end inside one.
    void CheckRanges() {
        auto count = static_cast<PhraseNo>(source_.phrases.size());
        for (const Subcategory& entry : Subcategories()) {
            std::string name =
                "\"" + std::string(entry.categoryName) + " / " + std::string(entry.name) + "\"";
            if (entry.first <= count) {
                const Phrase& first = source_.phrases[entry.first - 1];
                if (first.group >= 0 &&
                    source_.groups[first.group].first != static_cast<std::size_t>(entry.first - 1))
                    Report(first.line, name + " starts at phrase " + std::to_string(entry.first) +
                                           ", inside the group at line " +
                                           std::to_string(source_.groups[first.group].line));
            }
            if (entry.last <= count) {
                const Phrase& last = source_.phrases[entry.last - 1];
                if (last.group >= 0) {
                    const Group& group = source_.groups[last.group];
                    if (group.first + group.size != static_cast<std::size_t>(entry.last))
                        Report(last.line, name + " ends at phrase " + std::to_string(entry.last) +
                                              ", inside the group at line " +
                                              std::to_string(group.line));
                }
            }
        }
    }

    // The list finds a row's phrase by its text: two phrases with one text would both
    // resolve to the later one, and the search keeps one of two rows that differ only in
    // letter case.
    void CheckUniqueTexts() {
        std::map<std::u16string, int> lines, folded;
        for (const Phrase& phrase : source_.phrases) {
            auto [it, inserted] = lines.try_emplace(phrase.english, phrase.line);
            if (!inserted) {
                Report(phrase.line, "the English text " + Quote(phrase.english) +
                                        " also stands at line " + std::to_string(it->second));
                continue;
            }
            std::u16string lower = phrase.english;
            for (char16_t& c : lower)
                if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
            auto [same, added] = folded.try_emplace(lower, phrase.line);
            if (!added)
                Report(phrase.line, "the English text " + Quote(phrase.english) +
                                        " differs from line " + std::to_string(same->second) +
                                        " only in letter case");
        }
    }

    const Source& source_;
    std::vector<Diagnostic> found_;
};

}  // namespace

std::vector<Diagnostic> CheckSource(const Source& source) {
    std::vector<Diagnostic> found = Checker(source).Run();
    std::stable_sort(found.begin(), found.end(),
                     [](const Diagnostic& a, const Diagnostic& b) { return a.line < b.line; });
    return found;
}

std::vector<Diagnostic> CheckIpaText(std::string_view bytes, std::size_t phrases) {
    const catalogue::IpaText text = catalogue::IpaText::Parse(bytes);
    if (text.Lines() == 0) return {{0, "the IPA text is empty or not UTF-8"}};
    std::vector<Diagnostic> findings;
    if (text.Lines() != phrases) {
        findings.push_back({0, "the IPA text has " + std::to_string(text.Lines()) + " lines for " +
                                   std::to_string(phrases) + " phrases"});
    }
    for (std::size_t n = 1; n <= text.Lines(); ++n) {
        if (text.Of(static_cast<PhraseNo>(n)).empty())
            findings.push_back({static_cast<int>(n), "the line is empty or not IPA"});
    }
    return findings;
}

}  // namespace phrasebook
