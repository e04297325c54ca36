#include "phrasebook/slots.h"

#include <gtest/gtest.h>

namespace phrasebook {
namespace {

TEST(Slots, SplitsLiteralsAndAlternatives) {
    SlotParse parse = ParseSlots(u"I'd like [a|two] ticket(s) to [Bonn|Ulm].");
    ASSERT_FALSE(parse.error);
    ASSERT_EQ(parse.text.slots.size(), 2u);
    EXPECT_EQ(parse.text.literals,
              (std::vector<std::u16string>{u"I'd like ", u" ticket(s) to ", u"."}));
    EXPECT_EQ(parse.text.slots[1], (std::vector<std::u16string>{u"Bonn", u"Ulm"}));
    EXPECT_EQ(VariantCount(parse.text), 4u);
}

TEST(Slots, FirstSlotVariesSlowest) {
    SlotParse parse = ParseSlots(u"[a|b] [c|d|e]");
    ASSERT_FALSE(parse.error);
    EXPECT_EQ(EnumerateVariants(parse.text),
              (std::vector<std::u16string>{u"[a] [c]", u"[a] [d]", u"[a] [e]", u"[b] [c]",
                                           u"[b] [d]", u"[b] [e]"}));
}

TEST(Slots, TextWithoutSlotsIsItsOnlyVariant) {
    SlotParse parse = ParseSlots(u"Hello.");
    ASSERT_FALSE(parse.error);
    EXPECT_EQ(EnumerateVariants(parse.text), std::vector<std::u16string>{u"Hello."});
}

TEST(Slots, RejectsBrokenSlots) {
    struct Case {
        const char16_t* text;
        const char* error;
    };
    for (const Case& c :
         {Case{u"a|b [c|d]", "a \"|\" outside a slot"}, Case{u"[a|[b]]", "a \"[\" inside a slot"},
          Case{u"a] [b|c]", "a \"]\" without its \"[\""},
          Case{u"[a|b", "a \"[\" without its \"]\""},
          Case{u"[a||b]", "an empty alternative in a slot"},
          Case{u"[]", "an empty alternative in a slot"}}) {
        SlotParse parse = ParseSlots(c.text);
        ASSERT_TRUE(parse.error.has_value()) << c.error;
        EXPECT_EQ(*parse.error, c.error);
    }
}

}  // namespace
}  // namespace phrasebook
