#include "phrasebook/slots.h"

namespace phrasebook {

SlotParse ParseSlots(std::u16string_view text) {
    SlotParse result;
    SlotText& out = result.text;
    out.literals.emplace_back();
    bool inSlot = false;
    std::u16string alternative;
    for (char16_t c : text) {
        if (c == u'[') {
            if (inSlot) {
                result.error = "a \"[\" inside a slot";
                return result;
            }
            inSlot = true;
            out.slots.emplace_back();
            alternative.clear();
        } else if (c == u']' || c == u'|') {
            if (!inSlot) {
                result.error = c == u']' ? "a \"]\" without its \"[\"" : "a \"|\" outside a slot";
                return result;
            }
            if (alternative.empty()) {
                result.error = "an empty alternative in a slot";
                return result;
            }
            out.slots.back().push_back(alternative);
            alternative.clear();
            if (c == u']') {
                inSlot = false;
                out.literals.emplace_back();
            }
        } else if (inSlot) {
            alternative.push_back(c);
        } else {
            out.literals.back().push_back(c);
        }
    }
    if (inSlot) result.error = "a \"[\" without its \"]\"";
    return result;
}

std::size_t VariantCount(const SlotText& head) {
    std::size_t count = 1;
    for (const auto& slot : head.slots)
        count *= slot.size();
    return count;
}

std::vector<std::u16string> EnumerateVariants(const SlotText& head) {
    std::vector<std::u16string> variants;
    std::vector<std::size_t> choice(head.slots.size(), 0);
    std::size_t total = VariantCount(head);
    for (std::size_t n = 0; n < total; ++n) {
        std::u16string text = head.literals[0];
        for (std::size_t s = 0; s < head.slots.size(); ++s) {
            text += u'[';
            text += head.slots[s][choice[s]];
            text += u']';
            text += head.literals[s + 1];
        }
        variants.push_back(std::move(text));
        // The last slot varies fastest.
        for (std::size_t s = head.slots.size(); s-- > 0;) {
            if (++choice[s] < head.slots[s].size()) break;
            choice[s] = 0;
        }
    }
    return variants;
}

}  // namespace phrasebook
