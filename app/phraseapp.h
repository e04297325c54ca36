// CPhraseApp: the application object. It carries the program's resources and name, runs the
// main window modally and ends the program when that window closes.
#pragma once

#include <string_view>

#include "platform/ui/application.h"

class CPhraseApp : public ui::Application {
public:
    // The executable's base name: the caption of message boxes that give none.
    static constexpr std::u16string_view ExecutableName = u"tolkara-german";

    explicit CPhraseApp(ui::Backend& backend);

    // Runs the main window until it closes; false, so that the program then ends.
    bool InitInstance() override;

    // Readies any application for the main window: resources, name and window classes.
    static void Prepare(ui::Application& app);
};
