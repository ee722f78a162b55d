#include "app/ui/COrvmonApp.h"

#include <QSettings>
#include <cstdio>

#include "app/ui/CMainFrame.h"
#include "app/ui/main_command_line.h"
#include "app/ui/window_system.h"
#include "session/board_control.h"
#include "resources/ui/qt_translation.h"
#include "vboard/virtual_board_provider.h"

namespace orv::ui {

COrvmonApp::WindowSystem::WindowSystem() { PrepareWindowSystem(); }

COrvmonApp::COrvmonApp(int& argc, char** argv) : app_(argc, argv) {
    QCoreApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
    QCoreApplication::setApplicationName(QStringLiteral("orvmon"));
    // The standard dialogs (files, printing) speak Russian as the program does.
    if (!InstallQtRussian(app_))
        std::fprintf(stderr, "orvmon: Qt's Russian translation (%s) is not installed: standard dialogs "
                             "stay in English (Debian package qt6-translations-l10n).\n",
                     kQtRussianTranslation);
    // Without a kernel driver on this platform the devices are the virtual boards.
    devices_ = std::make_unique<VirtualBoardProvider>();
    state_ = std::make_unique<ProgramState>();
    state_->Devices = devices_.get();
    frame_ = std::make_unique<CMainFrame>(*state_);
    // The start-up values, once the main window exists.
    state_->Shell.RefreshPeriodMs = 1000;
    state_->Shell.DeviceState = kNoDevice;
    state_->Shell.RefreshTimerId = 0;
}

COrvmonApp::~COrvmonApp() {
    // The acquisition thread ends before the window and the devices it may still use.
    ReleaseBoard(*state_);
    frame_.reset();
    state_.reset();
    devices_.reset();
}

int COrvmonApp::Run(const StartOptions& options) {
    frame_->show();
    ApplyCommandLine(*frame_, options);
    return QApplication::exec();
}

}  // namespace orv::ui
