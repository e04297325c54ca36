#include "phrasebook/checker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "tests/phrasebook/test_util.h"

namespace phrasebook {
namespace {

using phrasebook_test::SourceText;

// The source's lines, so that a test can break one and know its line number.
class SourceLines {
public:
    SourceLines() {
        std::string text = SourceText();
        std::size_t pos = 0;
        while (pos < text.size()) {
            std::size_t end = text.find('\n', pos);
            if (end == std::string::npos) end = text.size();
            lines_.push_back(text.substr(pos, end - pos));
            pos = end + 1;
        }
    }

    // The 1-based number of the line that reads exactly line.
    int Find(const std::string& line) const {
        auto it = std::find(lines_.begin(), lines_.end(), line);
        EXPECT_NE(it, lines_.end()) << "no line reads: " << line;
        return static_cast<int>(it - lines_.begin()) + 1;
    }
    void Replace(const std::string& from, const std::string& to) { lines_[Find(from) - 1] = to; }
    void Erase(const std::string& line) { lines_.erase(lines_.begin() + Find(line) - 1); }
    void InsertAfter(const std::string& line, const std::string& added) {
        lines_.insert(lines_.begin() + Find(line), added);
    }

    std::string Text() const {
        std::string text;
        for (const auto& line : lines_)
            text += line + "\n";
        return text;
    }

private:
    std::vector<std::string> lines_;
};

std::vector<Diagnostic> Findings(const SourceLines& lines) {
    ParseResult parsed = ParseSource(lines.Text());
    if (!parsed.errors.empty()) return parsed.errors;
    return CheckSource(parsed.source);
}

// True when some finding on line holds part.
::testing::AssertionResult Found(const std::vector<Diagnostic>& findings, int line,
                                 const std::string& part) {
    for (const auto& finding : findings)
        if (finding.line == line && finding.message.find(part) != std::string::npos)
            return ::testing::AssertionSuccess();
    auto failure = ::testing::AssertionFailure()
                   << "no finding on line " << line << " holding \"" << part << "\"; found:";
    for (const auto& finding : findings)
        failure << "\n  " << finding.line << ": " << finding.message;
    return failure;
}

TEST(Checker, TheBundledSourceIsSound) {
    ParseResult parsed = ParseSource(SourceText());
    ASSERT_TRUE(parsed.errors.empty())
        << parsed.errors.front().line << ": " << parsed.errors.front().message;
    auto findings = CheckSource(parsed.source);
    EXPECT_TRUE(findings.empty()) << findings.front().line << ": " << findings.front().message;
    EXPECT_EQ(parsed.source.phrases.size(), 782u);

    // Varied words come in groups of 2 to 8 across the categories.
    std::size_t small = std::count_if(parsed.source.groups.begin(), parsed.source.groups.end(),
                                      [](const Group& g) { return g.size >= 2 && g.size <= 8; });
    EXPECT_GE(small, 60u);
    std::map<std::string, int> perCategory;
    for (const auto& section : parsed.source.sections)
        for (const auto& group : parsed.source.groups)
            if (group.first >= section.first && group.first < section.first + section.count)
                ++perCategory[section.category];
    EXPECT_EQ(perCategory.size(), 10u);
}

TEST(Checker, CountsPhrases) {
    SourceLines lines;
    lines.Erase("Goodbye. = Auf Wiedersehen.");
    int last = lines.Find("  - Which [train] goes to the centre? = Welcher Zug fährt ins Zentrum?");
    EXPECT_TRUE(Found(Findings(lines), last, "holds 781 phrases; it must hold 782"));
}

TEST(Checker, GroupSizeMustEqualTheProductOfAlternatives) {
    SourceLines lines;
    lines.Erase("  - Good [night]. = Gute Nacht.");
    lines.InsertAfter("@ Basic / Greetings", "Hi. = Hallo du.");  // keeps the count
    EXPECT_TRUE(Found(Findings(lines), lines.Find("+ Good [afternoon|evening|night]."),
                      "the group has 2 variants; its slots make 3"));
}

TEST(Checker, VariantsMustFollowTheirHeadInOrder) {
    SourceLines lines;
    lines.Replace("  - Good [afternoon]. = Guten Tag.", "  - Good [evening]. = Guten Abend!");
    lines.Replace("  - Good [evening]. = Guten Abend.", "  - Good [afternoon]. = Guten Tag.");
    auto findings = Findings(lines);
    int head = lines.Find("+ Good [afternoon|evening|night].");
    EXPECT_TRUE(Found(findings, head + 1,
                      "variant 1 of the group at line " + std::to_string(head) +
                          " must read \"Good [afternoon].\""));
    EXPECT_TRUE(Found(findings, head + 2, "variant 2 of the group"));
}

TEST(Checker, RejectsBrokenHeads) {
    struct Case {
        std::string head;
        std::string message;
    };
    for (const Case& c : {
             Case{"+ Good|fine [afternoon|evening|night].", "a \"|\" outside a slot"},
             Case{"+ Good [afternoon|evening|night.", "a \"[\" without its \"]\""},
             Case{"+ Good [afternoon] [evening|night].", "only one alternative"},
             Case{"+ Good day.", "no slot"},
             Case{"+ Good [afternoon|evening|night" + std::string(160, 'x') + "].",
                  "bytes; at most 175 fit"},
             Case{"+ Good [afternoon|evening|nigh\xC5\xA3].", "Windows-1252 cannot hold"},
         }) {
        SourceLines lines;
        lines.Replace("+ Good [afternoon|evening|night].", c.head);
        EXPECT_TRUE(Found(Findings(lines), lines.Find(c.head), c.message)) << c.head;
    }
}

TEST(Checker, LimitsLineLengthsToTheRecordFields) {
    // Phrase 1 shares its field with the byte-order mark, every line with its CR.
    struct Case {
        std::string from, english, german, message;
    };
    std::string e53(52, 'a'), g67(66, 'b');
    for (const Case& c : {
             Case{"Hello. = Hallo.", e53 + ".", "Hallo.", ""},
             Case{"Hello. = Hallo.", e53 + "a.", "Hallo.", "54 code units; at most 53 fit"},
             Case{"Hello. = Hallo.", "Hello.", g67 + ".", ""},
             Case{"Hello. = Hallo.", "Hello.", g67 + "b.", "68 code units; at most 67 fit"},
             Case{"Goodbye. = Auf Wiedersehen.", e53 + "a.", "Tschüss.", ""},
             Case{"Goodbye. = Auf Wiedersehen.", e53 + "aa.", "Tschüss.",
                  "55 code units; at most 54 fit"},
             Case{"Goodbye. = Auf Wiedersehen.", "Bye.", g67 + "b.", ""},
             Case{"Goodbye. = Auf Wiedersehen.", "Bye.", g67 + "bb.",
                  "69 code units; at most 68 fit"},
         }) {
        SourceLines lines;
        std::string line = c.english + " = " + c.german;
        lines.Replace(c.from, line);
        auto findings = Findings(lines);
        if (c.message.empty())
            EXPECT_TRUE(findings.empty()) << line << ": " << findings.front().message;
        else
            EXPECT_TRUE(Found(findings, lines.Find(line), c.message));
    }
}

TEST(Checker, RejectsBadCharacters) {
    struct Case {
        std::string line, message;
    };
    for (const Case& c : {
             Case{"Good\xC5\x8D"
                  "bye. = Auf Wiedersehen.",
                  "which Windows-1252 cannot hold"},
             Case{"Goodbye. = Bis um 8 Uhr.", "holds digits"},
             Case{"Good\tbye. = Auf Wiedersehen.", "control character"},
             Case{"Good[bye]. = Auf Wiedersehen.", "slots belong to group heads"},
             Case{"Goodbye|. = Auf Wiedersehen.", "slots belong to group heads"},
             Case{"Goodbye. = Auf [Wiedersehen].", "slot character"},
             Case{"Hello. = Auf Wiedersehen.", "also stands at line"},
             Case{"HELLO. = Auf Wiedersehen.", "only in letter case"},
             Case{"Goodbye. = Auf Wiedersehen\xFF.", "not valid UTF-8"},
         }) {
        SourceLines lines;
        lines.Replace("Goodbye. = Auf Wiedersehen.", c.line);
        EXPECT_TRUE(Found(Findings(lines), lines.Find(c.line), c.message)) << c.line;
    }
}

TEST(Checker, PhrasesMustLieInTheirSubcategoryRange) {
    SourceLines lines;
    lines.Erase("Goodbye. = Auf Wiedersehen.");
    lines.InsertAfter("@ Basic / Language", "Goodbye. = Auf Wiedersehen.");
    EXPECT_TRUE(Found(Findings(lines), lines.Find("Goodbye. = Auf Wiedersehen."),
                      "phrase 8 (\"Goodbye.\") lies outside \"Basic / Language\" (phrases 9 to "
                      "25)"));
}

TEST(Checker, SectionsNameKnownSubcategoriesOnce) {
    SourceLines lines;
    lines.Replace("@ Travel / Signs", "@ Travel / Sign");
    EXPECT_TRUE(Found(Findings(lines), lines.Find("@ Travel / Sign"),
                      "no subcategory \"Sign\" in category \"Travel\""));

    SourceLines twice;
    int second = twice.Find("@ Basic / Language");
    twice.Replace("@ Basic / Language", "@ Basic / Greetings");
    EXPECT_TRUE(Found(Findings(twice), second, "has a second section"));
}

TEST(Checker, NoRangeStartsOrEndsInsideAGroup) {
    // Phrase 774 belongs to "How much/many" and to "Why": it may not be inside a group.
    SourceLines lines;
    lines.Replace("Why is it so expensive? = Warum ist das so teuer?",
                  "+ Why is it so [expensive|dear]?");
    lines.InsertAfter("+ Why is it so [expensive|dear]?",
                      "  - Why is it so [expensive]? = Warum ist das so teuer?");
    lines.InsertAfter("  - Why is it so [expensive]? = Warum ist das so teuer?",
                      "  - Why is it so [dear]? = Warum ist das so kostspielig?");
    lines.Erase("Why not? = Warum nicht?");
    auto findings = Findings(lines);
    EXPECT_TRUE(Found(findings,
                      lines.Find("  - Why is it so [expensive]? = Warum ist das so teuer?"),
                      "\"Question / How much/many\" ends at phrase 774, inside the group"));

    SourceLines start;
    start.Replace("Goodbye. = Auf Wiedersehen.", "+ [Bye|Goodbye].");
    start.InsertAfter("+ [Bye|Goodbye].", "  - [Bye]. = Tschüss.");
    start.InsertAfter("  - [Bye]. = Tschüss.", "  - [Goodbye]. = Auf Wiedersehen.");
    start.Erase("I need an interpreter. = Ich brauche einen Dolmetscher.");
    EXPECT_TRUE(Found(Findings(start), start.Find("  - [Goodbye]. = Auf Wiedersehen."),
                      "\"Basic / Language\" starts at phrase 9, inside the group"));
}

TEST(Parser, ReportsMalformedLinesByNumber) {
    struct Case {
        std::string text, message;
        int line;
    };
    for (const Case& c : {
             Case{"@ Basic / Greetings\nHello.\n", "must read \"English = German\"", 2},
             Case{"@ Basic / Greetings\n  - Hello. = Hallo.\n", "with no group head", 2},
             Case{"@ Basic / Greetings\n+ [a|b]\nHello. = Hallo.\n", "no \"- \" variant lines", 2},
             Case{"# note\nHello. = Hallo.\n", "before the first", 2},
             Case{"@ Basic Greetings\n", "must read \"@ Category / Subcategory\"", 1},
             Case{"@ Basic / Greetings\n = Hallo.\n", "", 2},
         }) {
        ParseResult parsed = ParseSource(c.text);
        ASSERT_FALSE(parsed.errors.empty()) << c.text;
        EXPECT_EQ(parsed.errors.front().line, c.line) << c.text;
        EXPECT_NE(parsed.errors.front().message.find(c.message), std::string::npos)
            << parsed.errors.front().message;
    }
}

}  // namespace
}  // namespace phrasebook
