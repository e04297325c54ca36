// The phrase list: a list box whose rows may carry a CItem (owned by the row) and whose
// bracketed words ("[word]") can be changed in place. A click on a bracketed word of the
// selected row opens a picker (a drop-down combo box, control 101, child of the list box) right
// over the word with that slot's alternatives, the current one first and selected; picking
// one rewrites only the word between the brackets. The picker closes on a pick, a cancel, a
// loss of focus, a wheel turn and a click outside every bracketed word.
//
// While the picker's list is open the arrow keys move through it; Enter or a click picks. After
// a pick has rewritten a row, the list tells its parent as if the user had selected the row:
// WM_COMMAND with (list id, LBN_SELCHANGE) and the list's handle, so the parent looks the
// phrase up again. Whenever the picker closes while it has the focus (a pick, Escape, a click
// elsewhere in the list, the wheel), the focus comes back to the list.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "catalogue/item.h"
#include "platform/gdi/font.h"
#include "platform/ui/combobox.h"
#include "platform/ui/listbox.h"

class CMyListBox : public ui::ListBox {
    UI_DECLARE_MESSAGE_MAP()
public:
    // What the list asks of the window that owns it. The flag is read afresh at every
    // release of the left button: with it off (the favourites view) a click on a bracketed
    // word does nothing special.
    class Owner {
    public:
        virtual bool AddMode() const = 0;

    protected:
        ~Owner() = default;
    };

    static constexpr int ChoiceComboId = 101;
    // Room below a bracketed word for the picker's open list.
    static constexpr int ChoiceDropHeight = 200;

    CMyListBox() = default;
    ~CMyListBox() override;  // releases the rows' items

    // The owner whose AddMode is read. Without one set, the parent window's object is asked
    // when it implements Owner; with neither, word choices are offered.
    void SetOwner(const Owner* owner) { owner_ = owner; }

    // Appends the item's display text as a row that owns the item; the row's index, or
    // LB_ERR (the item is then released).
    int AddEntry(std::unique_ptr<CItem> item);
    // The item of a row; null for a row without one (a favourite) or a wrong index.
    CItem* ItemAt(int index) const;
    // A font of `points` points (by the display's vertical pixels per inch), weight 400,
    // family Swiss, face `face`; the list draws with it from now on and keeps it.
    void SetListFont(int points, std::u16string_view face);
    const gdi::Font& ListFont() const { return listFont_; }

    // The picker, once a bracketed word has been clicked; null before.
    ui::ComboBox* ChoiceCombo() const { return choiceCombo_.get(); }
    // The picker is on the screen.
    bool ChoiceShown() const;
    // Closes the picker without a pick (the focus comes back to the list when it was there).
    void CloseChoice();

    void DeleteItem(const ui::DELETEITEMSTRUCT& dis) override;

protected:
    // The slot of the item's display text under `point` (list client coordinates) on a row
    // at `row`: fills the picker with the slot's alternatives and gives its rectangle (the
    // word's span, widened to the widest alternative, with room below). False: no slot there.
    bool HitSlot(ui::POINT point, const CItem& item, const ui::RECT& row, ui::RECT& comboRect);
    // Rewrites the word of the slot last opened in the selected row with the picker's choice,
    // when the row still holds that word at that place.
    bool ApplyChoice();

private:
    void OnLButtonUp(ui::UINT keys, ui::POINT point);
    ui::LRESULT OnMouseWheel();
    const gdi::Brush* OnChildColour(gdi::DC& dc, ui::HWND control);
    void OnChoiceChanged();
    void OnChoicePicked();
    void OnChoiceKillFocus();
    void OnChoiceCancelled();

    // A row's item data is the row's CItem, or 0.
    static std::uintptr_t ItemData(CItem* item);
    static CItem* ItemFromData(std::uintptr_t data);

    bool AddModeNow() const;
    void HideChoice();
    // Applies the picker's choice and tells the parent.
    void PickChoice();

    std::unique_ptr<ui::ComboBox> choiceCombo_;
    int slotClose_ = -1;  // position of the "]" of the slot being edited, in the display text
    int slotOpen_ = -1;   // position of its "["
    std::u16string slotWord_;
    gdi::Font listFont_;
    const Owner* owner_ = nullptr;
};
