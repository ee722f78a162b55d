#pragma once
// The main window: menu bar, status bar and the two panes (title pane above the table pane). It
// also runs the refresh timer: it implements the RefreshTimer the board code starts and stops,
// and on every tick it runs the refresh tick and has both panes repaint what changed.

#include <QElapsedTimer>
#include <QMainWindow>

#include "resources/ui/command_ids.h"
#include "state/program_state.h"

class QAction;
class QLabel;
class QSplitter;
class QEvent;

namespace orv::ui {

class CTitleView;
class COrvmonView;
struct LockState;

class CMainFrame : public QMainWindow, public RefreshTimer {
    Q_OBJECT
public:
    static constexpr int kWidth = 960;
    static constexpr int kHeight = 768;
    // Command id of "Анализ" / the virtual board's counters window.
    static constexpr int kBoardCountersCommand = int(CommandId::BoardCounters);

    explicit CMainFrame(ProgramState& state, QWidget* parent = nullptr);
    ~CMainFrame() override;

    ProgramState& State() { return state_; }
    CTitleView* TitleView() const { return title_; }
    COrvmonView* TableView() const { return table_; }
    // The menu action of a command id (its object name is the id), nullptr if there is none.
    QAction* Command(int id) const;
    QAction* Command(CommandId id) const;

    // Window position for a screen: centred, truncating toward zero, negative when the screen is
    // smaller than the window.
    static QPoint CentredPosition(const QSize& screen);

    // RefreshTimer
    uint32_t Start(int periodMs) override;
    void Stop(uint32_t id) override;

    // The status bar's CAP, NUM and SCRL indicators for `state`, and read afresh.
    void ShowLockState(const LockState& state);
    void UpdateLockIndicators();
    void ShowRecordingStatus();

protected:
    void closeEvent(QCloseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void BuildMenus();
    QMenu* BuildAnalysisMenu();
    void BuildStatusBar();
    void BuildAccelerators();
    // F6 and Shift+F6: the other of the two panes (with two panes, next and previous are one).
    void ActivateOtherPane();
    // Ctrl+P: the table pane on the printer chosen in the print dialog.
    void OnPrint();
    QAction* AddCommand(QMenu* menu, CommandId id, const char* text);
    // The commands of "Устройства", "Данные" and "Установки".
    void OnSelectDevice();
    void OnReceiveParams();
    void OnReceiveFile();
    void OnTransmit();
    void OnFormats();
    void OnParams();
    void OnRefreshPeriod();
    void OnChannelRates();

    ProgramState& state_;
    CTitleView* title_ = nullptr;
    COrvmonView* table_ = nullptr;
    QSplitter* splitter_ = nullptr;
    QElapsedTimer locksRead_;  // since the lock states were last read
    QLabel* recordingStatus_ = nullptr;  // the recording's words and bytes, while one runs
    QElapsedTimer recordingShown_;       // since the recording's figures were last shown
};

}  // namespace orv::ui
