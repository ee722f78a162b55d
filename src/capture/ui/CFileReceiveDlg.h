#pragma once
// "Прием файла": starts file reception on one input channel, with or without a stop label.

#include <QDialog>

#include "state/program_state.h"

class QLineEdit;
class QPlainTextEdit;
class QRadioButton;

namespace orv {

class CFileReceiveDlg : public QDialog {
    Q_OBJECT
public:
    // `channel` 1..8, as picked in the input channel chooser.
    CFileReceiveDlg(ProgramState& state, unsigned channel, QWidget* parent = nullptr);

    static constexpr int kAddressMaxChars = 3;

private:
    void OnStart();

    ProgramState& state_;
    unsigned channel_;
    QLineEdit* channelText_;
    QRadioButton* withStop_;
    QRadioButton* noStop_;
    QPlainTextEdit* address_;
};

}  // namespace orv
