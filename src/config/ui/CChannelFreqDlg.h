#pragma once
// "Рабочие частоты каналов и контроль нечетности": the input and output channels of the board with
// their rates and parity; a double click edits one channel, the buttons save the whole table to
// the settings file or restore it from there. Edits go straight into the table, so however the
// dialog closes they stay.

#include <QDialog>
#include <string>

#include "config/channel_settings.h"

namespace orv {

namespace ui {
class ListBox;
}

class CChannelFreqDlg : public QDialog {
    Q_OBJECT
public:
    // Shows channels 1..inputCount and 1..outputCount (at most eight of each) of `settings`.
    CChannelFreqDlg(ChannelSettingTable& settings, int inputCount, int outputCount,
                    std::string settingsFile = kChannelSettingsFileName, QWidget* parent = nullptr);

    // Both lists rebuilt from the table.
    void FillLists();
    // Edits the channel at `position` of the input / output list (through its editor dialog).
    void EditInput(int position);
    void EditOutput(int position);

private:
    void OnSave();
    void OnRestore();

    ChannelSettingTable& settings_;
    int inputCount_;
    int outputCount_;
    std::string settingsFile_;
    ui::ListBox* inputs_;
    ui::ListBox* outputs_;
};

}  // namespace orv
