#include "platform/ui/dataexchange.h"

#include <charconv>
#include <string>

#include "platform/ui/dialog.h"

namespace ui {

HWND DataExchange::PrepareCtrl(int id) {
    const HWND control = dialog_.GetDlgItem(id);
    if (!control) failed_ = true;
    return control;
}

void DataExchange::Fail(HWND control) {
    failed_ = true;
    if (control && control.app != nullptr) control.app->SetFocus(control);
}

void DDX_Text(DataExchange& dx, int id, std::u16string& value) {
    const HWND control = dx.PrepareCtrl(id);
    Window* window = Window::FromHandle(control);
    if (window == nullptr) return;
    if (dx.SaveAndValidate()) {
        value = window->GetWindowText();
    } else {
        window->SetWindowText(value);
    }
}

void DDX_Text(DataExchange& dx, int id, int& value) {
    const HWND control = dx.PrepareCtrl(id);
    Window* window = Window::FromHandle(control);
    if (window == nullptr) return;
    if (!dx.SaveAndValidate()) {
        const std::string digits = std::to_string(value);
        window->SetWindowText(std::u16string(digits.begin(), digits.end()));
        return;
    }
    const std::u16string text = window->GetWindowText();
    std::string narrow;
    for (const char16_t c : text) {
        if (c > 0x7F) {
            dx.Fail(control);
            return;
        }
        narrow.push_back(static_cast<char>(c));
    }
    const auto first = narrow.find_first_not_of(" \t");
    const auto last = narrow.find_last_not_of(" \t");
    if (first == std::string::npos) {
        dx.Fail(control);
        return;
    }
    const char* begin = narrow.data() + first;
    const char* end = narrow.data() + last + 1;
    if (*begin == '+') ++begin;
    int parsed = 0;
    const auto [ptr, ec] = std::from_chars(begin, end, parsed);
    if (ec != std::errc{} || ptr != end) {
        dx.Fail(control);
        return;
    }
    value = parsed;
}

void DDX_Check(DataExchange& dx, int id, int& value) {
    const HWND control = dx.PrepareCtrl(id);
    if (!control) return;
    if (dx.SaveAndValidate()) {
        value = static_cast<int>(SendMessage(control, BM_GETCHECK));
    } else {
        SendMessage(control, BM_SETCHECK, static_cast<WPARAM>(value));
    }
}

void DDX_Control(DataExchange& dx, int id, Window& control) {
    if (control.IsWindow()) return;
    const HWND item = dx.PrepareCtrl(id);
    if (!item) return;
    if (!control.SubclassWindow(item)) dx.Fail(item);
}

}  // namespace ui
