#include "app/phraseapp.h"

#include <cstdio>

#include "app/skindlg.h"
#include "platform/ui/controls.h"
#include "res/programresources.h"

CPhraseApp::CPhraseApp(ui::Backend& backend) : ui::Application(backend) {
    Prepare(*this);
}

void CPhraseApp::Prepare(ui::Application& app) {
    app.SetResources(&res::ProgramResources());
    ui::RegisterStandardControls(app);
}

bool CPhraseApp::InitInstance() {
    CSkinDlg dlg(*this);
    SetMainWindow(&dlg);
    // A quit (a signal, the session ending) ends the window's loop too, without a result.
    if (dlg.DoModal() == -1 && !QuitPending()) {
        std::fprintf(stderr, "tolkara-german: the main window could not be created\n");
        exitCode_ = 1;
    }
    SetMainWindow(nullptr);
    return false;
}
