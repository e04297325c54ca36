// A dialog: a window built from a template (its controls made from the template's items,
// positions in dialog units of 6 × 13 base units), run modally or modeless, with keyboard
// navigation (Tab, arrows inside a group, Enter → IDOK, Escape → IDCANCEL) and data exchange.
#pragma once

#include <optional>

#include "platform/ui/dialogtemplate.h"
#include "platform/ui/window.h"

namespace ui {

class DataExchange;

class Dialog : public Window {
    UI_DECLARE_MESSAGE_MAP()
public:
    // parent: the owner (null: the application's main window, unless that is this dialog).
    Dialog(Application& app, const DialogTemplate* dialogTemplate, Window* parent = nullptr);
    // The template of that number from the application's resources.
    Dialog(Application& app, int templateId, Window* parent = nullptr);

    // Creates the dialog, runs it until EndDialog and destroys it; answers EndDialog's result,
    // or -1 when the dialog could not be created (or the program is quitting).
    int DoModal();
    // Creates the dialog without a loop of its own.
    bool CreateModeless();
    void EndDialog(int result);

    // After the controls exist: the first data exchange. True: the framework gives the focus to
    // the first tab stop.
    virtual bool OnInitDialog();
    // IDOK (Enter): exchange the data and end the dialog with IDOK when that succeeds.
    virtual void OnOK();
    // IDCANCEL (Escape, the close button): end the dialog with IDCANCEL.
    virtual void OnCancel();
    virtual void DoDataExchange(DataExchange& dx);
    bool UpdateData(bool saveAndValidate = true);

    bool PreTranslateMessage(MSG& msg) override;
    // The dialog keys of a message for this dialog or one of its controls; true when used.
    bool IsDialogMessage(MSG& msg);
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    Application& GetApplication() const { return app_; }
    const DialogTemplate* Template() const { return template_; }

private:
    LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);
    bool CreateFromTemplate(HWND owner);
    HWND OwnerWindow() const;

    Application& app_;
    const DialogTemplate* template_;
    Window* parent_;
    int defaultId_ = IDOK;
    bool modal_ = false;              // DoModal is running
    std::optional<int> earlyResult_;  // EndDialog before the modal loop started
    HWND savedFocus_;
    gdi::Font font_;
};

}  // namespace ui
