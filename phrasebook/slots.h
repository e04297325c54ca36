// Slots of a keyword-map text: "[a|b|...]" marks a word the traveller can vary.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace phrasebook {

// A text cut into its fixed parts and its slots: literals[0] slot[0] literals[1] ... so that
// literals.size() == slots.size() + 1.
struct SlotText {
    std::vector<std::u16string> literals;
    std::vector<std::vector<std::u16string>> slots;  // each slot's alternatives
};

// Splits text at its slots. Fails, with a message, on a "|" outside a slot, a "[" inside a
// slot, a "]" without its "[", a "[" without its "]" and an empty alternative. A slot with
// one alternative is accepted here; callers decide how many they need.
struct SlotParse {
    SlotText text;
    std::optional<std::string> error;
};
SlotParse ParseSlots(std::u16string_view text);

// How many phrases a head's slots make: the product of their alternative counts.
std::size_t VariantCount(const SlotText& head);

// Every variant of a head, each slot keeping one alternative in its brackets; the first
// slot varies slowest, so the first variant holds every first alternative.
std::vector<std::u16string> EnumerateVariants(const SlotText& head);

}  // namespace phrasebook
