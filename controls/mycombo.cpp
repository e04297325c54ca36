#include "controls/mycombo.h"

#include "platform/gdi/blit.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/text.h"

using namespace ui;

const MessageMap CMyCombo::messageMap{&ComboBox::messageMap,
                                      {
                                          OnMessage<&ComboBox::OnReflectedDrawItem>(OCM_DRAWITEM),
                                      }};

void CMyCombo::DrawItem(DRAWITEMSTRUCT& dis) {
    if (dis.hDC == nullptr) return;
    const int count = GetCount();
    const int index = static_cast<int>(dis.itemID);
    if (count <= 0 || index < 0 || index >= count) return;
    gdi::DC& dc = *dis.hDC;
    const std::u16string text = GetLBText(index);
    const gdi::COLORREF oldText = dc.GetTextColor();
    const gdi::COLORREF oldBack = dc.GetBkColor();
    if ((dis.itemState & ODS_SELECTED) != 0) {
        dc.SetTextColor(gdi::GetSysColor(gdi::COLOR_HIGHLIGHTTEXT));
        dc.SetBkColor(gdi::GetSysColor(gdi::COLOR_HIGHLIGHT));
        gdi::FillRect(dc, dis.rcItem, gdi::Brush::Solid(gdi::GetSysColor(gdi::COLOR_HIGHLIGHT)));
    } else {
        gdi::FillRect(dc, dis.rcItem, gdi::Brush::Solid(dc.GetBkColor()));
    }
    RECT r = dis.rcItem;
    r.left += 1;
    r.right -= 1;
    gdi::DrawText(dc, text, r, gdi::DT_SINGLELINE | gdi::DT_VCENTER);
    dc.SetTextColor(oldText);
    dc.SetBkColor(oldBack);
}
