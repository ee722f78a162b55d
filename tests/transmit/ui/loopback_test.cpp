// A frame sent cyclically on output 1 of the virtual board arrives on input 1 in file reception.
#include <QDialog>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <gtest/gtest.h>

#include "session/acquisition.h"
#include "session/board_control.h"
#include "session/board_fixture.h"
#include "capture/ui/reception_commands.h"
#include "support/ui/widget_test.h"
#include "transmit/ui/transmit_commands.h"
#include "vboard/virtual_board_provider.h"

namespace orv {
namespace {

TEST(Loopback, CyclicFrameOnOutput1IsCapturedOnInput1) {
    VirtualBoardProvider devices(BoardClock::Manual);
    test::FakeTimer timer;
    ProgramState state;
    state.Devices = &devices;
    state.Timer = &timer;
    ASSERT_TRUE(OpenSelectedBoard(state, "arinc10"));
    StartBoard(state);
    state.Shell.DeviceState = 0;

    const std::vector<ArincWord> words{ComposeWord(0x111111, 0201), ComposeWord(0x222222, 0202),
                                       ComposeWord(0x333333, 0203)};
    auto& frame = state.Transmit.StoredFrames[0];
    for (std::size_t i = 0; i < words.size(); ++i) {
        frame[i] = FrameEntry{};
        frame[i].number = uint16_t(i);
        frame[i].paramLabel.Assign("P");
        frame[i].address = uint16_t(words[i] & 0xFF);
        frame[i].word = words[i];
    }

    ui::ScopedScript script;
    script->OnDialog([](QDialog& d) { test::DoubleClick(d, 1000, 0); });
    script->OnDialog([](QDialog& d) {
        test::Find<QRadioButton>(d, 1005)->click();
        test::Press(d, 1023);
        test::Press(d, ui::kIdOk);
    });
    RunTransmit(nullptr, state);
    EXPECT_TRUE(devices.Board(1).OutputRunning(1));

    script->OnDialog([](QDialog& d) { test::DoubleClick(d, 1000, 0); });
    script->OnDialog([](QDialog& d) { test::Press(d, ui::kIdOk); });
    RunFileReception(nullptr, state);
    EXPECT_TRUE(script->unexpectedDialogs.isEmpty());
    EXPECT_TRUE(script->MessageTexts().isEmpty());
    ASSERT_EQ(state.Acquisition.AcquisitionMode, 2);
    EXPECT_TRUE(devices.Board(1).InputRunning(1));

    // Seven word times at 12.5 kbit/s: the frame twice and one word more.
    devices.Advance(7 * 36 * 80);
    RefreshTick(state);
    for (uint32_t k = 0; k < 7; ++k)
        EXPECT_EQ(state.Board.BoardImage.Get32(state.Capture.StreamAddress + 2 * k), words[k % 3]) << k;
    EXPECT_EQ(state.Board.BoardImage.Get32(state.Capture.StreamAddress + 2 * 7), 0u);
    ReleaseBoard(state);
}

}  // namespace
}  // namespace orv
