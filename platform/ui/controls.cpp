#include "platform/ui/controls.h"

namespace ui {

void RegisterStandardControls(Application& app) {
    Button::Register(app);
    Static::Register(app);
    Edit::Register(app);
    ListBox::Register(app);
    ComboBox::Register(app);
    ToolTip::Register(app);
}

}  // namespace ui
