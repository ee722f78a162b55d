#pragma once
// "Выбор устройства": the list of board devices. "Выбрать" asks for confirmation and opens the
// highlighted device as the program's board (OpenSelectedBoard); the caller then goes on with the
// channel settings and the board start.

#include <QDialog>

#include "state/program_state.h"

namespace orv {

namespace ui {
class ListBox;
}

class CDeviceSelectDlg : public QDialog {
    Q_OBJECT
public:
    // Warns first when a board is already selected, then lists the names with the first selected.
    explicit CDeviceSelectDlg(ProgramState& state, QWidget* parent = nullptr);

    // True once a device has been opened and made the program's board.
    bool Opened() const { return opened_; }
    const std::string& DeviceName() const { return deviceName_; }

private:
    void OnSelect();

    ProgramState& state_;
    ui::ListBox* list_;
    std::string deviceName_;
    bool opened_ = false;
};

}  // namespace orv
