// The standard controls of the framework, in one include, and their window classes.
#pragma once

#include "platform/ui/button.h"
#include "platform/ui/combobox.h"
#include "platform/ui/dialogtemplate.h"
#include "platform/ui/edit.h"
#include "platform/ui/listbox.h"
#include "platform/ui/messagebox.h"
#include "platform/ui/static.h"
#include "platform/ui/tooltip.h"

namespace ui {

// Registers "Button", "Static", "Edit", "ListBox", "ComboBox" and the tooltip class, so that
// dialog templates and Create calls that name them get these controls. A program calls it
// once, right after making its Application (as it would initialise common controls).
void RegisterStandardControls(Application& app);

}  // namespace ui
