// A small program that shows every standard control on the real backend, for a person (or an
// end-to-end script) to try: push buttons, check boxes, radio buttons, an edit, a list box, a
// drop-down list, a tooltip on the "Basic" button and a message box behind "Message".
#include <cstdio>
#include <memory>
#include <string>

#include "platform/backend/sdl/sdlbackend.h"
#include "platform/ui/controls.h"
#include "platform/ui/dialog.h"

namespace {

using namespace ui;

constexpr int IdBasic = 1003;
constexpr int IdMessage = 1004;
constexpr int IdEdit = 1020;
constexpr int IdList = 1002;
constexpr int IdCombo = 1014;

constexpr DialogItemTemplate Items[] = {
    {IdBasic, ButtonClass, u"Basic", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 10, 10, 60, 16},
    {IdMessage, ButtonClass, u"Message", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 80, 10, 60, 16},
    {IDCANCEL, ButtonClass, u"Close", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 150, 10, 60, 16},
    {1021, ButtonClass, u"Exact match only", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX,
     0, 10, 34, 90, 12},
    {1030, ButtonClass, u"First",
     WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, 0, 110, 34, 50, 12},
    {1031, ButtonClass, u"Second", WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON, 0, 160, 34, 50, 12},
    {1026, StaticClass, u"Input keyword or phrase", WS_CHILD | WS_VISIBLE, 0, 10, 52, 120, 9},
    {IdEdit, EditClass, u"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER, 0, 10, 62, 200, 12},
    {IdCombo, ComboBoxClass, u"",
     WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST | WS_VSCROLL, 0, 10, 80, 200, 74},
    {IdList, ListBoxClass, u"",
     WS_CHILD | WS_VISIBLE | WS_TABSTOP | LBS_NOTIFY | WS_VSCROLL | WS_HSCROLL |
         LBS_DISABLENOSCROLL | WS_BORDER,
     0, 10, 100, 200, 90},
};
constexpr DialogTemplate Demo{WS_POPUP | WS_VISIBLE | DS_SETFONT | DS_CENTER,
                              0,
                              0,
                              0,
                              220,
                              200,
                              u"controls",
                              u"Sans",
                              8,
                              Items};

class DemoDialog : public Dialog {
    UI_DECLARE_MESSAGE_MAP()
public:
    using Dialog::Dialog;
    ToolTip tip;

    bool OnInitDialog() override {
        Dialog::OnInitDialog();
        auto* list = static_cast<ListBox*>(GetDlgItemWindow(IdList));
        for (const char16_t* s :
             {u"Hello", u"Good morning", u"Where is the station?", u"I need [one] ticket",
              u"How much does it cost?", u"Thank you", u"Excuse me", u"Yes", u"No"})
            list->AddString(s);
        list->SetHorizontalExtent(400);
        list->SetCurSel(0);
        auto* combo = static_cast<ComboBox*>(GetDlgItemWindow(IdCombo));
        for (const char16_t* s : {u"All", u"Airport", u"Taxi", u"Train", u"Bus"})
            combo->InsertString(-1, s);
        combo->SetCurSel(0);
        if (tip.Create(*this)) {
            tip.AddTool(*GetDlgItemWindow(IdBasic), u"General");
            tip.Activate(true);
        }
        return true;
    }
    bool PreTranslateMessage(MSG& msg) override {
        if (msg.hwnd == GetDlgItem(IdBasic) && tip.IsWindow()) tip.RelayEvent(msg);
        return Dialog::PreTranslateMessage(msg);
    }
    void OnMessageButton() {
        MessageBox(GetSafeHwnd(), u"This item has already existed in the favorite!",
                   u"Tolkara_German");
        std::printf("MESSAGE CLOSED\n");
        std::fflush(stdout);
    }
    void OnBasic() {
        std::printf("CLICK %d\n", IdBasic);
        std::fflush(stdout);
    }
    void OnOK() override {}
};

const MessageMap DemoDialog::messageMap{
    &Dialog::messageMap,
    {
        OnCommand<&DemoDialog::OnMessageButton>(BN_CLICKED, IdMessage),
        OnCommand<&DemoDialog::OnBasic>(BN_CLICKED, IdBasic),
    }};

class DemoApp : public Application {
public:
    using Application::Application;
    bool InitInstance() override {
        RegisterStandardControls(*this);
        DemoDialog dialog(*this, &Demo);
        SetMainWindow(&dialog);
        std::printf("END %d\n", dialog.DoModal());
        std::fflush(stdout);
        return false;
    }
};

}  // namespace

int main() {
    std::string error;
    std::unique_ptr<backend::SdlBackend> sdl = backend::SdlBackend::Create(error);
    if (!sdl) {
        std::fprintf(stderr, "controlsdemo: %s\n", error.c_str());
        return 2;
    }
    DemoApp app(*sdl);
    return app.Run();
}
