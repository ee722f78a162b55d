// The table pane, the title pane and the monitor dialogs headless: popups by click position, the
// mask, trace and refresh period dialogs through their controls, and what the panes paint.
#include <QAction>
#include <QImage>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <gtest/gtest.h>

#include "state/program_state.h"
#include "support/scripted_device.h"
#include "monitor/mask.h"
#include "monitor/ui/COrvmonView.h"
#include "monitor/ui/CTitleView.h"
#include "monitor/ui/monitor_dialogs.h"
#include "resources/monitor_strings.h"
#include "support/ui/widget_test.h"
#include "resources/ui/text_codec.h"

namespace orv::ui {
namespace {

using test::Find;
using test::Press;


void PutEntry(ProgramState& state, int row, const char* label, uint16_t channel, uint16_t address) {
    DisplayEntry& e = state.Display.DisplayTable[std::size_t(row)];
    e.paramLabel.Assign(label);
    e.channel = channel;
    e.address = address;
    e.slot = LabelSlotAddress(channel, address);
    state.Display.SlotAddresses[std::size_t(row)] = e.slot;
    state.Display.DisplayListReady = 1;
}

// Replaces each character of a mask edit the way a user overtypes it.
void Overtype(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    if (text.isEmpty()) QTest::keyClick(edit, Qt::Key_Delete);
    else QTest::keyClicks(edit, text);
}

class FakeTimer : public RefreshTimer {
public:
    uint32_t Start(int periodMs) override {
        started.push_back(periodMs);
        return 77;
    }
    void Stop(uint32_t id) override { stopped.push_back(id); }
    std::vector<int> started;
    std::vector<uint32_t> stopped;
};

TEST(InputMaskDialog, EditsKeepOnlyZeroOneOrX) {
    CInputMaskDlg dlg(1);
    EXPECT_EQ(dlg.windowTitle(), U(text::kMaskTitle));
    for (int id : kMaskEditIds) EXPECT_EQ(test::TextOf(dlg, id), QStringLiteral("x")) << id;
    EXPECT_EQ(Find<QLineEdit>(dlg, 1009)->maxLength(), 1);
    EXPECT_GT(Find<QLineEdit>(dlg, 1030)->maxLength(), 1);

    QLineEdit* bit26 = Find<QLineEdit>(dlg, 1012);
    Overtype(bit26, QStringLiteral("2"));
    EXPECT_EQ(bit26->text(), QStringLiteral("x"));
    Overtype(bit26, QStringLiteral("1"));
    EXPECT_EQ(bit26->text(), QStringLiteral("1"));
    Overtype(bit26, QString());
    EXPECT_EQ(bit26->text(), QStringLiteral("x"));
    Overtype(bit26, QStringLiteral("X"));
    EXPECT_EQ(bit26->text(), QStringLiteral("X"));
    QLineEdit* bit31 = Find<QLineEdit>(dlg, 1030);
    bit31->setText(QStringLiteral("x1"));  // too long: back to "x"
    EXPECT_EQ(bit31->text(), QStringLiteral("x"));

    // Bit 31 "1", all others "0".
    Overtype(bit31, QStringLiteral("1"));
    for (int id : kMaskEditIds)
        if (id != 1030) Overtype(Find<QLineEdit>(dlg, id), QStringLiteral("0"));
    EXPECT_EQ(dlg.Pattern(), (MaskPattern{0x000000FF, 0x400000FF}));
}

class ViewTest : public ::testing::Test {
protected:
    ViewTest() {
        state.Board.Link.Attach(&device);
        state.Shell.DeviceState = 0;
        state.Acquisition.AcquisitionMode = 1;
        view.resize(960, 600);
        view.show();
        view.SetPopupRunner([this](QMenu& menu, const QPoint&) -> QAction* {
            QStringList items;
            for (QAction* a : menu.actions()) items << a->objectName() + " " + a->text();
            popups << items.join(QStringLiteral(", "));
            for (QAction* a : menu.actions())
                if (a->objectName() == choose) return a;
            return nullptr;
        });
    }
    ~ViewTest() override { state.Board.Link.Attach(nullptr); }

    void RightClick(int x, int y, const QString& chosen = {}) {
        choose = chosen;
        QTest::mouseClick(view.viewport(), Qt::RightButton, {}, QPoint(x, y));
    }

    ScriptedDevice device;
    ProgramState state;
    COrvmonView view{state};
    QStringList popups;
    QString choose;
};

TEST_F(ViewTest, PopupsFollowTheClickedColumnAndRow) {
    PutEntry(state, 0, "     ALT", 5, 0203);
    PutEntry(state, 1, "      VS", 6, 0212);
    state.Display.DisplayTable[1].maskMode = 1;
    RightClick(100, 5);
    RightClick(200, 5);  // no menu
    RightClick(500, 20);
    RightClick(700, 5);
    RightClick(700, 20);
    RightClick(200, 40);
    EXPECT_EQ(popups, QStringList({
                          U("32782 редактировать параметр"),
                          U("32779 изменить формат параметра, 32780 очистить формат параметра"),
                          U("32787 установить маску параметра"),
                          U("32783 сбросить маску параметра, 32784 трасса параметра"),
                          U("32781 добавить параметр"),
                      }));
    EXPECT_EQ(view.SelectedRow(), 2);

    // While the table is rewritten a right click offers nothing.
    popups.clear();
    state.Display.DisplayListReady = 0;
    RightClick(100, 5);
    EXPECT_TRUE(popups.isEmpty());
}

TEST_F(ViewTest, AddOpensTheEditorForTheRowAfterTheLast) {
    PutEntry(state, 0, "     ALT", 5, 0203);
    ScopedScript script;
    script->OnDialog([](QDialog& d) { d.reject(); });
    RightClick(10, 500, QStringLiteral("32781"));
    EXPECT_EQ(script->dialogClasses, QStringList({QStringLiteral("orv::CDisplayParamDlg")}));
    EXPECT_EQ(view.SelectedRow(), 1);
    EXPECT_EQ(UsedEntries(state.Display.DisplayTable), 1);  // cancelled: nothing added
}

TEST_F(ViewTest, SetTraceAndResetAMaskThroughThePopups) {
    PutEntry(state, 0, "     ALT", 5, 0203);
    PutEntry(state, 1, "      VS", 5, 0212);
    ScopedScript script;
    script->OnDialog([](QDialog& d) {
        Overtype(Find<QLineEdit>(d, 1009), QStringLiteral("1"));  // bit 29
        Press(d, kIdOk);
    });
    RightClick(700, 5, QStringLiteral("32787"));
    EXPECT_EQ(state.Display.DisplayTable[0].maskMode, 1);
    EXPECT_EQ(state.Acquisition.MaskActive[4], 1);
    EXPECT_EQ(state.Acquisition.MaskLabel[4], 0203);
    EXPECT_EQ(state.Acquisition.MaskOrPattern[4], 0x6FFFFFFFu);
    EXPECT_EQ(device.Codes(), std::vector<uint32_t>{kWriteRange});

    // The other parameter of the channel cannot have a mask too.
    RightClick(700, 20, QStringLiteral("32787"));
    EXPECT_EQ(script->MessageTexts(), QStringList({U(text::kMaskAlreadySet)}));
    EXPECT_EQ(script->dialogClasses.size(), 1);

    // Two words arrive; the trace lists them.
    state.Acquisition.TraceValues[4][0] = 0x10000083;
    state.Acquisition.TraceTimes[4][0] = 1000;
    state.Acquisition.TraceValues[4][1] = 0x00000083;
    state.Acquisition.TraceTimes[4][1] = 1050;
    state.Acquisition.TraceIndex[4] = 2;
    QStringList traced;
    script->OnDialog([&traced](QDialog& d) {
        traced << test::TextOf(d, 1009);
        const auto* list = Find<ListBox>(d, 1000);
        for (int i = 0; i < list->Count(); ++i) traced << QString::fromLatin1(list->Text(i).c_str());
        Press(d, kIdOk);
    });
    RightClick(700, 5, QStringLiteral("32784"));
    ASSERT_EQ(traced.size(), 3);
    EXPECT_EQ(traced[0], U("Метка:      ALT       № канала: 5"));
    EXPECT_TRUE(traced[1].startsWith(QStringLiteral("000   0x10000083")));
    EXPECT_TRUE(traced[2].endsWith(QStringLiteral("         50")));

    script->Answer(Answer::Ok);
    RightClick(700, 5, QStringLiteral("32783"));
    EXPECT_EQ(script->MessageTexts().last(), U(text::kMaskResetQuestion));
    EXPECT_EQ(state.Display.DisplayTable[0].maskMode, 0);
    EXPECT_EQ(state.Acquisition.MaskActive[4], 0);
    EXPECT_EQ(device.Codes().size(), 2u);
    EXPECT_TRUE(script->unexpectedDialogs.isEmpty());
}

TEST_F(ViewTest, RefreshPeriodDialogRestartsTheTimerOrKeepsThePeriod) {
    FakeTimer timer;
    state.Timer = &timer;
    state.Shell.RefreshTimerId = 5;
    ScopedScript script;
    QString shown;
    const auto enter = [&](const QString& text, int button) {
        script->OnDialog([&shown, text, button](QDialog& d) {
            auto* edit = Find<QPlainTextEdit>(d, 1009);
            shown = edit->toPlainText();
            edit->setPlainText(text);
            Press(d, button);
        });
        // What the menu command runs (the frame opens the dialog over the table pane).
        CRefreshPeriodDlg dialog(state, &view);
        RunModal(dialog);
    };
    enter(QStringLiteral("abc"), kIdOk);
    EXPECT_EQ(shown, QStringLiteral("1000"));
    EXPECT_EQ(state.Shell.RefreshPeriodMs, 1000);
    enter(QStringLiteral("250\n"), kIdCancel);
    EXPECT_EQ(state.Shell.RefreshPeriodMs, 1000);
    EXPECT_TRUE(timer.started.empty());
    enter(QStringLiteral("250\n"), kIdOk);
    EXPECT_EQ(state.Shell.RefreshPeriodMs, 250);
    EXPECT_EQ(timer.stopped, std::vector<uint32_t>{5});
    EXPECT_EQ(timer.started, std::vector<int>{250});
    EXPECT_EQ(state.Shell.RefreshTimerId, 77u);
    EXPECT_EQ(script->dialogClasses.size(), 3);
    state.Timer = nullptr;
}

// ---- Painting ----

bool Dark(const QImage& image, const QRect& cell) {
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x)
            if (qGray(image.pixel(x, y)) < 128) return true;
    return false;
}

QImage Paint(QWidget* widget) {
    QImage image(widget->size(), QImage::Format_RGB32);
    image.fill(Qt::red);
    widget->render(&image);
    return image;
}

TEST_F(ViewTest, RowsAndSeparatorsLandOnTheGrid) {
    PutEntry(state, 0, "     ALT", 5, 0203);
    PutEntry(state, 1, "      VS", 5, 0212);  // never received: drawn grey
    DisplayEntry& e = state.Display.DisplayTable[0];
    state.Acquisition.CycleCounter = 1;
    e.receivedCycle = 1;
    e.receivedWord = 0x6C8000C8;
    e.receivedMs = state.Board.TickCount();
    QImage image = Paint(view.viewport());
    int darkest = 255;  // row 1's HEX cell, between the separators at columns 26 and 39
    for (int y = 16; y < 32; ++y)
        for (int x = 7 * 26 + 1; x < 7 * 39; ++x) darkest = std::min(darkest, qGray(image.pixel(x, y)));
    EXPECT_EQ(darkest, 128);
    // Row 0: "  0x6c8000c8 " from column 26: the "x" at column 29; column 27 is blank above the rule.
    EXPECT_TRUE(Dark(image, QRect(7 * 29, 2, 7, 9)));
    EXPECT_FALSE(Dark(image, QRect(7 * 27 + 1, 0, 5, 11)));
    EXPECT_TRUE(Dark(image, QRect(70, 4, 1, 8)));     // separator
    EXPECT_FALSE(Dark(image, QRect(60, 36, 20, 40)));  // nothing below the last row
    EXPECT_EQ(qGray(image.pixel(900, 300)), 255);
    EXPECT_EQ(view.DocumentHeight(), 4096);

    // File reception: separators run the whole document; idle: white.
    state.Acquisition.AcquisitionMode = 2;
    image = Paint(view.viewport());
    EXPECT_TRUE(Dark(image, QRect(70, image.height() - 10, 1, 10)));
    EXPECT_TRUE(Dark(image, QRect(427, image.height() - 10, 1, 10)));
    EXPECT_FALSE(Dark(image, QRect(0, 0, 60, image.height())));
    state.Acquisition.AcquisitionMode = 0;
    image = Paint(view.viewport());
    EXPECT_FALSE(Dark(image, image.rect()));
}

TEST(TitlePane, HeadsAndRulesInParameterReception) {
    ProgramState state;
    CTitleView title(state);
    title.resize(960, 48);
    EXPECT_FALSE(Dark(Paint(&title), QRect(0, 0, 960, 48)));  // no board: white
    state.Shell.DeviceState = 0;
    state.Acquisition.AcquisitionMode = 1;
    state.Display.DisplayListReady = 1;
    const QImage image = Paint(&title);
    EXPECT_TRUE(Dark(image, QRect(7, 2, 7 * 6, 10)));   // " Модуль"
    EXPECT_TRUE(Dark(image, QRect(574, 36, 1, 10)));    // rule under the cycle head
    EXPECT_TRUE(Dark(image, QRect(300, 32, 1, 1)));     // rule under "код параметра"
    EXPECT_FALSE(Dark(image, QRect(300, 0, 7, 10)));
}

}  // namespace
}  // namespace orv::ui
