#include "catalogue/item.h"

#include <gtest/gtest.h>

namespace {

TEST(Item, SlotsShowTheirFirstAlternative) {
    CItem plain(u"Where is the station?");
    EXPECT_EQ(plain.display, u"Where is the station?");

    CItem one(u"A [x|y] B");
    EXPECT_EQ(one.display, u"A [x] B");
    EXPECT_EQ(one.raw, u"A [x|y] B");

    CItem two(u"[a|b] and [c|d|e]");
    EXPECT_EQ(two.display, u"[a] and [c]");

    CItem wide(u"I need [one|two|three] ticket[s|]");
    EXPECT_EQ(wide.display, u"I need [one] ticket[s]");
}

struct BrokenCase {
    std::u16string text;
    std::u16string display;
};

TEST(Item, BrokenSlotsAlwaysEndAndKeepTheTextAroundThem) {
    const BrokenCase cases[] = {
        {u"I need [two] ticket", u"I need [two] ticket"},  // a variant: no "|"
        {u"open [a|b", u"open [a|b"},                      // no "]"
        {u"a|b [c|d]", u"a|b [c]"},                        // "|" outside a slot
        {u"[x] then [y|z]", u"[x] then [y]"},              // slot without "|" first
        {u"[|b] [a|]", u"[] [a]"},                         // empty alternatives
        {u"[[a|b]", u"[[a]"},                              // nested opening
        {u"]|[", u"]|["},                                  // reversed brackets
        {u"[", u"["},
        {u"[]", u"[]"},
    };
    for (const auto& c : cases) {
        CItem item(c.text);
        EXPECT_EQ(item.display, c.display);
        EXPECT_EQ(item.raw, c.text);
    }
}

}  // namespace
