#include "vboard/ui/scenario_commands.h"

#include <QString>

#include "resources/ui/modal.h"
#include "vboard/ui/CBoardCountersDlg.h"
#include "vboard/virtual_board_provider.h"

namespace orv::ui {

bool PlayScenarioFile(VirtualBoardProvider& boards, const std::string& path, QWidget* parent) {
    const std::optional<std::string> message = boards.PlayScenarioFile(path);
    if (message) ShowMessage(parent, QString::fromStdString(*message));
    return !message;
}

void ShowBoardCounters(VirtualBoardProvider& boards, QWidget* parent) {
    auto* dialog = parent ? parent->findChild<CBoardCountersDlg*>() : nullptr;
    if (!dialog) {
        dialog = new CBoardCountersDlg(boards, parent);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
    }
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

}  // namespace orv::ui
