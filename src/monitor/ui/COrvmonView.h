#pragma once
// The table pane. It carries the board and data commands of the main window's menu, checks their
// guards and opens their dialogs.

#include <QAbstractScrollArea>

#include "app/program_state.h"

namespace orv::ui {

class COrvmonView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit COrvmonView(ProgramState& state, QWidget* parent = nullptr);

    // One refresh tick: polls the board for what is displayed (the window repaints afterwards).
    void RefreshTick();

public slots:
    void OnSelectDevice();   // 32771
    void OnReceiveParams();  // 32772
    void OnReceiveFile();    // 32773
    void OnTransmit();       // 32774
    void OnFormats();        // 32775
    void OnParams();         // 32776
    void OnRefreshPeriod();  // 32777
    void OnChannelRates();   // 32778

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ProgramState& state_;
};

}  // namespace orv::ui
