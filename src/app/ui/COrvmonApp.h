#pragma once
// The application: the program-wide state, the board devices and the main window.

#include <QApplication>
#include <memory>

#include "app/main_options.h"
#include "state/program_state.h"

namespace orv::ui {

class CMainFrame;

class COrvmonApp {
public:
    COrvmonApp(int& argc, char** argv);
    ~COrvmonApp();
    // Shows the main window, applies the start-up options (none: the plain start) and runs the
    // event loop until the window is closed.
    int Run(const StartOptions& options = {});

private:
    // Set up before the application object reaches the window system.
    struct WindowSystem {
        WindowSystem();
    } windowSystem_;
    QApplication app_;
    std::unique_ptr<DeviceProvider> devices_;
    std::unique_ptr<ProgramState> state_;
    std::unique_ptr<CMainFrame> frame_;
};

}  // namespace orv::ui
