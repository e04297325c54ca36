#include "phrasebook/subcategories.h"

#include <array>

namespace phrasebook {
namespace {

constexpr std::array<Subcategory, 59> Table = {{
    {1, 0, "Basic", "All", 1, 155},
    {1, 1, "Basic", "Greetings", 1, 8},
    {1, 2, "Basic", "Language", 9, 25},
    {1, 3, "Basic", "Weather", 26, 44},
    {1, 4, "Basic", "Signs", 45, 53},
    {1, 5, "Basic", "Date and Time", 54, 87},
    {1, 6, "Basic", "Numbers", 88, 98},
    {1, 7, "Basic", "Key words and phrase", 99, 155},
    {2, 0, "Travel", "All", 156, 314},
    {2, 1, "Travel", "Arrival", 156, 162},
    {2, 2, "Travel", "Loss and damage", 163, 166},
    {2, 3, "Travel", "Directions", 167, 173},
    {2, 4, "Travel", "Plane", 174, 246},
    {2, 5, "Travel", "Signs", 252, 277},
    {2, 6, "Travel", "Train/Bus", 247, 251},
    {2, 7, "Travel", "Car rental", 278, 295},
    {2, 8, "Travel", "Gas and Parking", 296, 299},
    {2, 9, "Travel", "Problems", 300, 305},
    {2, 10, "Travel", "Taxi", 306, 314},
    {3, 0, "Food", "All", 315, 458},
    {3, 1, "Food", "Finding Restaurant", 315, 322},
    {3, 2, "Food", "At Restaurant", 323, 338},
    {3, 3, "Food", "Personal Needs", 339, 392},
    {3, 4, "Food", "Complains", 393, 399},
    {3, 5, "Food", "Menu Reader", 400, 458},
    {4, 0, "Lodging", "All", 459, 532},
    {4, 1, "Lodging", "Reservation", 459, 463},
    {4, 2, "Lodging", "At Hotel", 464, 474},
    {4, 3, "Lodging", "Check in", 475, 498},
    {4, 4, "Lodging", "About Hotel", 499, 503},
    {4, 5, "Lodging", "Personal Needs", 504, 514},
    {4, 6, "Lodging", "Problems", 515, 524},
    {4, 7, "Lodging", "Check out", 525, 532},
    {5, 0, "Business", "All", 533, 551},
    {5, 1, "Business", "Basic", 533, 542},
    {5, 2, "Business", "Exchange Information", 543, 551},
    {6, 0, "Sight", "All", 552, 595},
    {6, 1, "Sight", "Questions", 552, 575},
    {6, 2, "Sight", "Useful Words", 576, 581},
    {6, 3, "Sight", "Leisure", 582, 595},
    {7, 0, "Social", "All", 596, 637},
    {7, 1, "Social", "Conversation", 596, 627},
    {7, 2, "Social", "Get Together", 628, 633},
    {7, 3, "Social", "Exchange Information", 634, 637},
    {8, 0, "Shoping", "All", 638, 692},
    {8, 1, "Shoping", "Finding places", 638, 651},
    {8, 2, "Shoping", "Purchase", 652, 680},
    {8, 3, "Shoping", "Return", 681, 684},
    {8, 4, "Shoping", "Banking", 685, 692},
    {9, 0, "Emergency", "All", 693, 736},
    {9, 1, "Emergency", "Medical", 693, 721},
    {9, 2, "Emergency", "Loss and missing", 722, 730},
    {9, 3, "Emergency", "Help", 731, 736},
    {10, 0, "Question", "All", 737, 782},
    {10, 1, "Question", "Where", 737, 744},
    {10, 2, "Question", "When", 745, 762},
    {10, 3, "Question", "How much/many", 763, 774},
    {10, 4, "Question", "Why", 774, 778},
    {10, 5, "Question", "Who/Which", 779, 782},
}};

}  // namespace

std::span<const Subcategory> Subcategories() {
    return Table;
}

const Subcategory* FindSubcategory(std::string_view categoryName, std::string_view name) {
    if (name == "All") return nullptr;
    for (const auto& entry : Table)
        if (entry.categoryName == categoryName && entry.name == name) return &entry;
    return nullptr;
}

}  // namespace phrasebook
