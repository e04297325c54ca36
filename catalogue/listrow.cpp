#include "catalogue/listrow.h"

namespace catalogue {

ListRow MakeItemRow(const std::u16string& groupText) {
    auto item = std::make_unique<CItem>(groupText);
    std::u16string text = item->display;
    return ListRow{std::move(text), std::move(item)};
}

}  // namespace catalogue
