#pragma once
// The application: the program-wide state, the board devices and the main window.

#include <QApplication>
#include <memory>
#include <string>

#include "app/program_state.h"

namespace orv {
class VirtualBoardProvider;
}

namespace orv::ui {

class CMainFrame;

class COrvmonApp {
public:
    COrvmonApp(int& argc, char** argv);
    ~COrvmonApp();
    // Shows the main window and runs the event loop until the window is closed.
    int Run();
    // Plays a scenario file on the virtual boards (a file that cannot be played is reported and
    // the boards keep the built-in flight).
    void PlayScenario(const std::string& path);

private:
    QApplication app_;
    std::unique_ptr<DeviceProvider> devices_;
    VirtualBoardProvider* virtualBoards_ = nullptr;  // devices_ itself
    std::unique_ptr<ProgramState> state_;
    std::unique_ptr<CMainFrame> frame_;
};

}  // namespace orv::ui
