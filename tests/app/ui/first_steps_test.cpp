// The guide's first steps, on a fresh copy of the samples, through the menus as the engineer takes
// them: select the virtual board, load the sample list, send the sample frame on output 1; one
// refresh tick later the frame's words show in the rows of input 1.
#include <QAction>
#include <QRadioButton>
#include <filesystem>

#include "app/ui/CMainFrame.h"
#include "session/board_control.h"
#include "support/scratch_dir.h"
#include "monitor/table_rows.h"
#include "monitor/ui/COrvmonView.h"
#include "app/ui/sample_folder_frame.h"
#include "support/ui/widget_test.h"
#include "vboard/virtual_board_provider.h"

namespace orv::ui {
namespace {

class FirstSteps : public test::SampleFolderFrame {
protected:
    FirstSteps() : SampleFolderFrame({"Orvfrmt.stt", "OrvparamList.stt", "Orvparam.stt", "scenario.42i", "scenario.42o"}) {}
};

TEST_F(FirstSteps, TheSampleFrameSentOnOutput1ShowsInTheRowsOfInput1) {
    constexpr int kRestore = 1003, kCyclic = 1005, kStart = 1023;
    ScopedScript script;
    // 1. "Устройства / Выбор рабочего устройства": arinc10, "Выбрать", OK; "Применить".
    script->OnDialog([](QDialog& d) {
        ASSERT_EQ(test::Find<ListBox>(d, 1000)->Text(0), "arinc10");
        test::Find<ListBox>(d, 1000)->Select(0);
        test::Press(d, kIdOk);
    });
    script->Answer(Answer::Ok);
    script->OnDialog([](QDialog& d) { test::Press(d, kIdOk); });
    frame->Command(32771)->trigger();
    ASSERT_EQ(state.Shell.DeviceState, 0);

    // 2. "Данные / Прием / параметров по всем каналам": "Восстановить из файла", scenario.42i, "Применить".
    script->OnDialog([](QDialog& d) {
        test::Press(d, kRestore);
        test::Press(d, kIdOk);
    });
    script->OnDialog([](QDialog& d) {
        ASSERT_EQ(test::Find<ListBox>(d, 1000)->Count(), 1);  // scenario.42i, the one list here
        test::DoubleClick(d, 1000, 0);
    });
    frame->Command(32772)->trigger();
    ASSERT_EQ(state.Acquisition.AcquisitionMode, 1);

    // 3. "Данные / Выдача": output 1, "Восстановить из файла", scenario.42o, "Циклический", "Пуск", "Выход".
    script->OnDialog([](QDialog& d) { test::DoubleClick(d, 1000, 0); });
    script->OnDialog([](QDialog& d) {
        test::Press(d, kRestore);
        test::Find<QRadioButton>(d, kCyclic)->click();
        test::Press(d, kStart);
        test::Press(d, kIdOk);
    });
    script->OnDialog([](QDialog& d) { test::DoubleClick(d, 1000, 0); });
    frame->Command(32774)->trigger();
    EXPECT_TRUE(script->unexpectedDialogs.isEmpty()) << script->unexpectedDialogs.join(u' ').toStdString();
    // The one message is the start question of step 1.
    EXPECT_EQ(script->MessageTexts(), QStringList{QString::fromUtf8("Пуск устройства  arinc10 \n Продолжить ?")});
    ASSERT_TRUE(devices.Board(1).OutputRunning(1));

    // 4. The next refresh: every label of the frame shows its word on an input 1 row.
    devices.Advance(300'000);
    frame->TableView()->RefreshTick();
    const auto& sent = state.Transmit.StoredFrames[0];
    int frameWords = 0, shown = 0;
    for (const FrameEntry& e : sent) {
        if (e.endFlag) break;
        if (e.word == 0) continue;  // a pause
        ++frameWords;
        for (int r = 0; r < UsedEntries(state.Display.DisplayTable); ++r) {
            const DisplayEntry& row = state.Display.DisplayTable[std::size_t(r)];
            if (row.channel != 1 || row.address != WordLabel(e.word)) continue;
            EXPECT_EQ(row.receivedCycle, 1) << r;
            EXPECT_EQ(RowValue(state.Display, state.Board.BoardImage, r), e.word) << r;
            const std::string text = ParameterRowText(state.Display, state.Acquisition, state.Board.BoardImage, r);
            EXPECT_NE(text.find(RenderHex(e.word)), std::string::npos) << text;
            ++shown;
        }
    }
    EXPECT_GT(frameWords, 0);
    EXPECT_EQ(shown, frameWords);
}

}  // namespace
}  // namespace orv::ui
