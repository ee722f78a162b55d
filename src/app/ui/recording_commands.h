#pragma once
// "Анализ / Запись шины в файл..." and "Остановить запись": the inputs to record, the file, and the
// messages; the work is the session's (session/recording.h).

#include <QDialog>
#include <vector>

#include "state/program_state.h"

class QCheckBox;
class QWidget;

namespace orv::ui {

// Which inputs of the board to record: one check box per input ("input1" ...), all checked.
class CRecordInputsDlg : public QDialog {
    Q_OBJECT
public:
    CRecordInputsDlg(int inputCount, QWidget* parent = nullptr);
    std::vector<uint8_t> Chosen() const;

private:
    std::vector<QCheckBox*> boxes_;
};

// Asks for the inputs and the file (the file dialog asks before an existing file is replaced),
// then starts the recording; a message when it cannot start.
void RecordBusCommand(QWidget* parent, ProgramState& state);
// Ends the recording; a message when it had stopped on a failure.
void StopRecordingCommand(QWidget* parent, ProgramState& state);

}  // namespace orv::ui
