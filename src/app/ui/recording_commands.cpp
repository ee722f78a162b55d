#include "app/ui/recording_commands.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "resources/analysis_strings.h"
#include "resources/ui/dialog_base.h"
#include "resources/ui/modal.h"
#include "resources/ui/save_file.h"
#include "resources/ui/text_codec.h"
#include "session/recording.h"

namespace orv::ui {

CRecordInputsDlg::CRecordInputsDlg(int inputCount, QWidget* parent) : QDialog(parent) {
    setWindowTitle(U(text::kRecordCaption));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MakeLabel(this, U(text::kRecordInputs)));
    for (int n = 1; n <= inputCount && n <= 8; ++n) {
        auto* box = new QCheckBox(QStringLiteral("Вход %1").arg(n), this);
        box->setObjectName(QStringLiteral("input%1").arg(n));
        box->setChecked(true);
        layout->addWidget(box);
        boxes_.push_back(box);
    }
    const ButtonRow row = MakeButtonRow(this, QStringLiteral("OK"), QStringLiteral("Отмена"));
    connect(row.ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(row.cancel, &QPushButton::clicked, this, &QDialog::reject);
    layout->addLayout(row.layout);
}

std::vector<uint8_t> CRecordInputsDlg::Chosen() const {
    std::vector<uint8_t> inputs;
    for (std::size_t i = 0; i < boxes_.size(); ++i)
        if (boxes_[i]->isChecked()) inputs.push_back(uint8_t(i + 1));
    return inputs;
}

void RecordBusCommand(QWidget* parent, ProgramState& state) {
    if (state.Shell.DeviceState == kNoDevice || !state.Board.DeviceHandle) {
        ShowMessage(parent, U(text::kRecordNoBoard));
        return;
    }
    if (!CanRecord(state)) {
        ShowMessage(parent, U(text::kRecordNoStream));
        return;
    }
    CRecordInputsDlg inputs(state.Board.InputChannelCount, parent);
    if (RunModal(inputs) != QDialog::Accepted) return;
    RecordingRequest request;
    request.inputs = inputs.Chosen();
    if (request.inputs.empty()) {
        ShowMessage(parent, U(text::kRecordNoInputs));
        return;
    }
    const QString path = ChooseSaveFile(parent, U(text::kRecordCaption), QStringLiteral("bus.ch10"),
                                        U(text::kRecordFilter), QStringLiteral("ch10"));
    if (path.isEmpty()) return;
    request.path = QFile::encodeName(path).toStdString();
    // The file dialog has asked before it gave an existing file.
    request.replace = QFileInfo::exists(path);
    const std::string message = StartRecording(state, request);
    if (!message.empty()) ShowMessage(parent, QString::fromStdString(message));
}

void StopRecordingCommand(QWidget* parent, ProgramState& state) {
    const std::string failure = StopRecording(state);
    if (!failure.empty()) ShowMessage(parent, QString::fromStdString(failure));
}

}  // namespace orv::ui
