// Loading a display list into the virtual board: the scenario's words arrive in the label slots.
#include <gtest/gtest.h>

#include "state/program_state.h"
#include "session/board_control.h"
#include "display/table_ops.h"
#include "vboard/flight_scenario.h"
#include "vboard/virtual_board_provider.h"

namespace orv {
namespace {

std::string Line(const char* label, uint16_t channel, uint16_t address) {
    DisplayLineRecord r;
    r.paramLabel.Assign(label);
    r.channel = channel;
    r.address = address;
    return RenderDisplayLine(r);
}

TEST(VirtualBoardLoad, AScenarioLabelOnInputFiveArrivesInItsSlotAfterTheLoad) {
    VirtualBoardProvider devices(BoardClock::Manual);
    ProgramState state;
    state.Devices = &devices;
    ASSERT_TRUE(OpenSelectedBoard(state, "arinc10"));
    StartBoard(state);
    ASSERT_EQ(state.Board.InputChannelCount, 8);

    const ScenarioLabel& alt = kFlightScenario[0];
    const uint16_t slot = LabelSlotAddress(5, alt.label);
    VirtualBoard& board = devices.Board(1);
    devices.Advance(200'000);
    EXPECT_FALSE(board.InputRunning(5));
    EXPECT_EQ(state.Board.Link.ReadSlot(5, slot), 0u);  // nothing is received before the load

    ASSERT_EQ(LoadDisplayList({Line(alt.name, 5, alt.label), Line("VS", 6, kFlightScenario[1].label)}, state.Display,
                              state.Acquisition, state.Board),
              nullptr);
    for (unsigned c = 1; c <= 8; ++c) {
        EXPECT_TRUE(board.InputRunning(c)) << c;
        EXPECT_EQ(state.Board.BoardImage.Get(ControlBlock::InputActiveFlags + c - 1), 1) << c;
    }
    EXPECT_EQ(state.Display.SlotAddresses[0], slot);

    devices.Advance(200'000);  // ALT is sent 20 times a second
    const uint32_t word = state.Board.Link.ReadSlot(5, state.Display.SlotAddresses[0]);
    EXPECT_EQ(WordLabel(word), alt.label);
    EXPECT_EQ((word >> 8) & 3u, ScenarioSdi(5));
    EXPECT_EQ(WordM(word), 3u);  // SSM "normal operation"
    EXPECT_GT(board.Input(5).received, 0u);
    // The slot of a label nobody sends stays empty.
    EXPECT_EQ(state.Board.Link.ReadSlot(5, LabelSlotAddress(5, 0001)), 0u);
}

}  // namespace
}  // namespace orv
