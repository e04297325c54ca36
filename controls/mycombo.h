// A combo box that draws its own entries when it has an owner-draw style: the selected entry
// in the highlight colours, the others on the current background, text centred vertically.
// Without an owner-draw style it is the standard combo box.
#pragma once

#include "platform/ui/combobox.h"

class CMyCombo : public ui::ComboBox {
    UI_DECLARE_MESSAGE_MAP()
public:
    void DrawItem(ui::DRAWITEMSTRUCT& dis) override;
};
