#include "app/ui/CMainFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTimerEvent>

#include "app/ui/CAboutDlg.h"
#include "app/ui/CHelpWindow.h"
#include "app/ui/lock_state.h"
#include "app/ui/recording_commands.h"
#include "app/ui/table_print.h"
#include "capture/ui/reception_commands.h"
#include "config/ui/config_commands.h"
#include "display/ui/display_commands.h"
#include "monitor/ui/COrvmonView.h"
#include "monitor/ui/analysis_commands.h"
#include "monitor/ui/monitor_dialogs.h"
#include "resources/analysis_strings.h"
#include "monitor/ui/CTitleView.h"
#include "resources/shell_strings.h"
#include "resources/ui/modal.h"
#include "session/recording.h"
#include "session/ui/board_commands.h"
#include "transmit/ui/transmit_commands.h"
#include "resources/vboard_strings.h"
#include "vboard/ui/scenario_commands.h"
#include "vboard/virtual_board_provider.h"

namespace orv::ui {

CMainFrame::CMainFrame(ProgramState& state, QWidget* parent)
    : QMainWindow(parent,
                  Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                      Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      state_(state) {
    setWindowTitle(QString::fromUtf8(text::kMainTitle));
    setFixedSize(kWidth, kHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(CentredPosition(screen->size()));

    // The table pane is created first: the menu commands open their dialogs over it.
    table_ = new COrvmonView(state_, this);
    title_ = new CTitleView(state_, this);
    BuildMenus();
    BuildStatusBar();
    BuildAccelerators();

    splitter_ = new QSplitter(Qt::Vertical, this);
    splitter_->setObjectName(QStringLiteral("59648"));  // the first pane id of a frame
    splitter_->addWidget(title_);
    splitter_->addWidget(table_);
    splitter_->setChildrenCollapsible(false);
    setCentralWidget(splitter_);
    const int clientHeight = kHeight - menuBar()->sizeHint().height() - statusBar()->sizeHint().height();
    splitter_->setSizes({clientHeight / 16, clientHeight - clientHeight / 16});
    table_->setFocus();

    state_.Timer = this;
}

CMainFrame::~CMainFrame() {
    // The board code must not reach a destroyed window through the timer.
    if (state_.Timer == this) state_.Timer = nullptr;
}

QPoint CMainFrame::CentredPosition(const QSize& screen) {
    return {(screen.width() - kWidth) / 2, (screen.height() - kHeight) / 2};
}

QAction* CMainFrame::AddCommand(QMenu* menu, CommandId id, const char* text) {
    QAction* action = menu->addAction(QString::fromUtf8(text));
    action->setObjectName(QString::number(int(id)));
    return action;
}

QAction* CMainFrame::Command(int id) const {
    return findChild<QAction*>(QString::number(id));
}

QAction* CMainFrame::Command(CommandId id) const { return Command(int(id)); }

void CMainFrame::BuildMenus() {
    QMenuBar* bar = menuBar();
    QMenu* file = bar->addMenu(QString::fromUtf8(text::kMenuFile));
    connect(AddCommand(file, CommandId::Exit, text::kMenuExit), &QAction::triggered, this, &QWidget::close);

    QMenu* devices = bar->addMenu(QString::fromUtf8(text::kMenuDevices));
    connect(AddCommand(devices, CommandId::SelectDevice, text::kMenuSelectDevice), &QAction::triggered, this,
            &CMainFrame::OnSelectDevice);

    QMenu* dataMenu = bar->addMenu(QString::fromUtf8(text::kMenuData));
    QMenu* receive = dataMenu->addMenu(QString::fromUtf8(text::kMenuReceive));
    connect(AddCommand(receive, CommandId::ReceiveParams, text::kMenuReceiveParams), &QAction::triggered, this,
            &CMainFrame::OnReceiveParams);
    connect(AddCommand(receive, CommandId::ReceiveFile, text::kMenuReceiveFile), &QAction::triggered, this,
            &CMainFrame::OnReceiveFile);
    connect(AddCommand(dataMenu, CommandId::Transmit, text::kMenuTransmit), &QAction::triggered, this,
            &CMainFrame::OnTransmit);

    QMenu* settings = bar->addMenu(QString::fromUtf8(text::kMenuSettings));
    connect(AddCommand(settings, CommandId::Formats, text::kMenuFormats), &QAction::triggered, this,
            &CMainFrame::OnFormats);
    connect(AddCommand(settings, CommandId::Params, text::kMenuParams), &QAction::triggered, this,
            &CMainFrame::OnParams);
    connect(AddCommand(settings, CommandId::RefreshPeriod, text::kMenuRefreshPeriod), &QAction::triggered, this,
            &CMainFrame::OnRefreshPeriod);
    connect(AddCommand(settings, CommandId::ChannelRates, text::kMenuChannelRates), &QAction::triggered, this,
            &CMainFrame::OnChannelRates);

    BuildAnalysisMenu();

    QMenu* help = bar->addMenu(QString::fromUtf8(text::kMenuHelp));
    connect(AddCommand(help, CommandId::HelpIndex, text::kMenuHelpIndex), &QAction::triggered, this,
            [this] { ShowHelpWindow(this); });
    help->addSeparator();
    connect(AddCommand(help, CommandId::About, text::kMenuAbout), &QAction::triggered, this, [this] {
        CAboutDlg dlg(this);
        RunModal(dlg);
    });

    // What a command changed (the period, the board, the list) shows in the title pane as soon as
    // the command is done, not at the next refresh tick, which may be seconds away. Connected after
    // the commands themselves, so it runs once each has finished.
    for (QAction* action : bar->findChildren<QAction*>())
        if (!action->menu()) connect(action, &QAction::triggered, title_, &CTitleView::Refresh);
}

// "Анализ": the commands beyond the bench's own menus, between "Установки" and "Справка".
QMenu* CMainFrame::BuildAnalysisMenu() {
    QMenu* analysis = menuBar()->addMenu(QString::fromUtf8(text::kMenuAnalysis));
    analysis->setObjectName(QStringLiteral("analysisMenu"));
    connect(AddCommand(analysis, CommandId::ExportTable, text::kMenuExportTable), &QAction::triggered, this,
            [this] { ExportTableCommand(this, state_, table_->Shown()); });
    connect(AddCommand(analysis, CommandId::ExportBlock, text::kMenuExportBlock), &QAction::triggered, this,
            [this] { ExportBlockCommand(this, state_); });
    connect(AddCommand(analysis, CommandId::BoardCounters, text::kMenuBoardCounters), &QAction::triggered, this,
            [this] {
                if (auto* boards = dynamic_cast<VirtualBoardProvider*>(state_.Devices))
                    ShowBoardCounters(*boards, this);
                else
                    ShowMessage(this, QString::fromUtf8(text::kNoVirtualBoard));
            });
    analysis->addSeparator();
    QAction* record = AddCommand(analysis, CommandId::RecordBus, text::kMenuRecordBus);
    connect(record, &QAction::triggered, this, [this] {
        RecordBusCommand(this, state_);
        ShowRecordingStatus();
    });
    QAction* stop = AddCommand(analysis, CommandId::StopRecording, text::kMenuStopRecording);
    connect(stop, &QAction::triggered, this, [this] {
        StopRecordingCommand(this, state_);
        ShowRecordingStatus();
    });
    // Recording needs a board whose device gives the word stream; stopping, a recording.
    connect(analysis, &QMenu::aboutToShow, this, [this, record, stop] {
        const bool stream = CanRecord(state_);
        record->setEnabled(stream);
        record->setStatusTip(stream || state_.Shell.DeviceState == kNoDevice ? QString() : QString::fromUtf8(text::kRecordNoStream));
        stop->setEnabled(state_.Board.Recorder != nullptr);
    });
    return analysis;
}

void CMainFrame::BuildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setSizeGripEnabled(false);  // the window has a fixed size
    bar->setObjectName(QStringLiteral("59393"));  // the frame's status bar id
    for (const char* indicator : {"CAP", "NUM", "SCRL"}) {
        auto* label = new QLabel(QString::fromLatin1(indicator), bar);
        label->setObjectName(QString::fromLatin1(indicator));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setAlignment(Qt::AlignCenter);
        label->setMinimumWidth(40);
        bar->addPermanentWidget(label);
    }
    UpdateLockIndicators();
    recordingStatus_ = new QLabel(bar);
    recordingStatus_->setObjectName(QStringLiteral("recordingStatus"));
    bar->addWidget(recordingStatus_);
    // A lock key may be pressed in any window of the program.
    qApp->installEventFilter(this);
}

void CMainFrame::ShowLockState(const LockState& locks) {
    const std::pair<const char*, std::optional<bool>> indicators[] = {
        {"CAP", locks.caps}, {"NUM", locks.num}, {"SCRL", locks.scroll}};
    for (const auto& [name, on] : indicators)
        if (auto* label = statusBar()->findChild<QLabel*>(QString::fromLatin1(name)))
            label->setText(IndicatorText(on, name));
}

void CMainFrame::UpdateLockIndicators() {
    locksRead_.start();
    ShowLockState(ReadLockState());
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_CapsLock || key == Qt::Key_NumLock || key == Qt::Key_ScrollLock) UpdateLockIndicators();
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::changeEvent(QEvent* event) {
    // The locks may have changed while another program had the keyboard.
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) UpdateLockIndicators();
    QMainWindow::changeEvent(event);
}

void CMainFrame::BuildAccelerators() {
    // Keys of the window without menu items: pane switching, help and printing.
    const auto accelerator = [this](int id, QKeySequence keys, auto handler) {
        auto* action = new QAction(this);
        action->setObjectName(QString::number(id));
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        connect(action, &QAction::triggered, this, handler);
    };
    accelerator(57680, QKeySequence(Qt::Key_F6), [this] { ActivateOtherPane(); });
    accelerator(57681, QKeySequence(Qt::SHIFT | Qt::Key_F6), [this] { ActivateOtherPane(); });
    // Help and context help run the "Справка" command.
    const auto help = [this] {
        if (QAction* index = Command(CommandId::HelpIndex)) index->trigger();
    };
    accelerator(57670, QKeySequence(Qt::Key_F1), help);
    accelerator(57669, QKeySequence(Qt::SHIFT | Qt::Key_F1), help);
    accelerator(57607, QKeySequence(Qt::CTRL | Qt::Key_P), [this] { OnPrint(); });
}

void CMainFrame::ActivateOtherPane() {
    QWidget* focus = QApplication::focusWidget();
    const bool tableActive = focus == nullptr || focus == table_ || table_->isAncestorOf(focus);
    (tableActive ? static_cast<QWidget*>(title_) : table_)->setFocus(Qt::OtherFocusReason);
}

void CMainFrame::OnPrint() { PrintTableWithDialog(*table_, state_, this); }

uint32_t CMainFrame::Start(int periodMs) {
    const int id = startTimer(periodMs > 0 ? periodMs : 1, Qt::PreciseTimer);
    return id > 0 ? uint32_t(id) : 0;
}

void CMainFrame::Stop(uint32_t id) {
    if (id != 0) killTimer(int(id));
}

void CMainFrame::timerEvent(QTimerEvent* event) {
    if (state_.Shell.RefreshTimerId == 0 || uint32_t(event->timerId()) != state_.Shell.RefreshTimerId) {
        QMainWindow::timerEvent(event);
        return;
    }
    // Each pane repaints only what the tick changed.
    table_->RefreshTick();
    // A lock switched from outside the program shows within half a second; reading the states asks
    // the display server, which a 10 ms period should not do on every tick.
    if (!locksRead_.isValid() || locksRead_.elapsed() >= 500) UpdateLockIndicators();
    // The recording's figures twice a second: often enough to watch, rarely enough to cost nothing.
    if ((state_.Board.Recorder || !recordingStatus_->text().isEmpty()) &&
        (!recordingShown_.isValid() || recordingShown_.elapsed() >= 500))
        ShowRecordingStatus();
    title_->Refresh();
}

void CMainFrame::ShowRecordingStatus() {
    recordingShown_.start();
    const QString text = QString::fromStdString(RecordingStatus(state_));
    if (recordingStatus_->text() != text) recordingStatus_->setText(text);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (ShowMessage(this, QString::fromUtf8(text::kExitQuestion), Buttons::OkCancel) != Answer::Ok) {
        event->ignore();
        return;
    }
    if (state_.Shell.DeviceState != kNoDevice) state_.Board.Link.StopBoard();
    // The tick must not run once the window is going away.
    if (state_.Shell.RefreshTimerId != 0) {
        Stop(state_.Shell.RefreshTimerId);
        state_.Shell.RefreshTimerId = 0;
    }
    event->accept();
}

// ---- Menu commands ----
// Their dialogs and messages open over the table pane.

void CMainFrame::OnSelectDevice() { SelectDeviceCommand(table_, state_); }

void CMainFrame::OnReceiveParams() {
    if (state_.Shell.DeviceState == kNoDevice) ShowMessage(table_, QString::fromUtf8(text::kNoBoardList));
    if (RunDisplayList(table_, state_)) table_->Changed();
}

void CMainFrame::OnReceiveFile() {
    if (state_.Shell.DeviceState == kNoDevice) {
        ShowMessage(table_, QString::fromUtf8(text::kNoBoard));
        return;
    }
    RunFileReception(table_, state_);
    table_->Changed();
}

void CMainFrame::OnTransmit() {
    if (state_.Shell.DeviceState == kNoDevice) ShowMessage(table_, QString::fromUtf8(text::kNoBoardFrame));
    RunTransmit(table_, state_);
}

void CMainFrame::OnFormats() { RunFormatTable(table_); }

void CMainFrame::OnParams() { RunParamDict(table_); }

void CMainFrame::OnRefreshPeriod() {
    CRefreshPeriodDlg dialog(state_, table_);
    RunModal(dialog);
}

void CMainFrame::OnChannelRates() { ChannelRatesCommand(table_, state_); }

}  // namespace orv::ui
