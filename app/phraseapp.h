// CPhraseApp: the application object. It carries the program's resources, runs the
// main window modally and ends the program when that window closes.
#pragma once

#include "platform/ui/application.h"

class CPhraseApp : public ui::Application {
public:
    explicit CPhraseApp(ui::Backend& backend);

    // Runs the main window until it closes; false, so that the program then ends.
    bool InitInstance() override;

    // Readies any application for the main window: the program's resources and the standard
    // control classes its templates name. The application
    // has no name of its own, so message boxes without a caption carry the executable's name.
    static void Prepare(ui::Application& app);
};
