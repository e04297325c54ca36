// Data exchange between a dialog's members and its controls: texts, numbers, check states,
// and binding a control object to the control of a given id.
#pragma once

#include <string>

#include "platform/ui/types.h"

namespace ui {

class Dialog;
class Window;

class DataExchange {
public:
    DataExchange(Dialog& dialog, bool saveAndValidate)
        : dialog_(dialog), saveAndValidate_(saveAndValidate) {}

    Dialog& GetDialog() const { return dialog_; }
    // True: controls → members; false: members → controls.
    bool SaveAndValidate() const { return saveAndValidate_; }
    // The control of that id; a missing control fails the exchange.
    HWND PrepareCtrl(int id);
    // Marks the exchange failed and puts the focus on the control at fault.
    void Fail(HWND control);
    bool Failed() const { return failed_; }

private:
    Dialog& dialog_;
    bool saveAndValidate_;
    bool failed_ = false;
};

void DDX_Text(DataExchange& dx, int id, std::u16string& value);
// A decimal integer; text that is not one fails the exchange and keeps the value.
void DDX_Text(DataExchange& dx, int id, int& value);
// BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE.
void DDX_Check(DataExchange& dx, int id, int& value);
// Binds `control` to the control of that id the first time (its attach step runs then).
void DDX_Control(DataExchange& dx, int id, Window& control);

}  // namespace ui
