#include "app/ui/COrvmonApp.h"

#include <QSettings>

#include "app/ui/CMainFrame.h"
#include "board/board_control.h"
#include "vboard/ui/scenario_commands.h"
#include "vboard/virtual_board_provider.h"

namespace orv::ui {

COrvmonApp::COrvmonApp(int& argc, char** argv) : app_(argc, argv) {
    QCoreApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
    QCoreApplication::setApplicationName(QStringLiteral("orvmon"));
    // Without a kernel driver on this platform the devices are the virtual boards.
    auto boards = std::make_unique<VirtualBoardProvider>();
    virtualBoards_ = boards.get();
    devices_ = std::move(boards);
    state_ = std::make_unique<ProgramState>();
    state_->Devices = devices_.get();
    frame_ = std::make_unique<CMainFrame>(*state_);
    // The start-up values, once the main window exists.
    state_->Shell.RefreshPeriodMs = 1000;
    state_->Shell.DeviceState = -1;
    state_->Shell.RefreshTimerId = 0;
}

COrvmonApp::~COrvmonApp() {
    // The acquisition thread ends before the window and the devices it may still use.
    ReleaseBoard(*state_);
    frame_.reset();
    state_.reset();
    devices_.reset();
}

void COrvmonApp::PlayScenario(const std::string& path) {
    PlayScenarioFile(*virtualBoards_, path, frame_.get());
}

int COrvmonApp::Run() {
    frame_->show();
    return QApplication::exec();
}

}  // namespace orv::ui
