#pragma once
// "Формирование кадра выдачи и пуск канала": the frame of one output channel as a list of frame
// lines (the working copy), with the word editors, ".42o" save and restore, and the channel's
// start, stop and running code change. Opened without a channel when no board is selected: the
// frame can then be composed and saved, but not sent.

#include <QDialog>

#include "state/program_state.h"
#include "text/line_list.h"

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace orv {

namespace ui {
class ListBox;
}

class COutputFrameDlg : public QDialog {
    Q_OBJECT
public:
    // `channel` 1..8, or 0 for none (no board).
    COutputFrameDlg(ProgramState& state, unsigned channel, QWidget* parent = nullptr);

    unsigned Channel() const { return channel_; }
    // The mode radio index: 0 one-shot, 1 cyclic, -1 none chosen.
    int ModeIndex() const;

private:
    void OnAdd();
    void OnDelete();
    void OnEdit();
    void OnInsert();
    void OnChangeCode();
    void OnRestore();
    void OnSave();
    void OnClear();
    void OnStart();
    void OnStop();

    void Show(const LineList& lines);
    void Message(const char* utf8);
    StoredFrame& Stored() { return state_.Transmit.StoredFrames[channel_ - 1]; }

    ProgramState& state_;
    FrameEntry& current_;
    unsigned channel_;
    ui::ListBox* list_;
    QLineEdit* header_;
    QRadioButton* oneShot_;
    QRadioButton* cyclic_;
    QPushButton* start_;
    QPushButton* stop_;
    std::string lossyFile_;  // the last file restored with records left out: a save over it keeps a .bak
};

}  // namespace orv
