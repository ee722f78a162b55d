// The table pane on the virtual board: a board selected, the sample display list loaded, one tick,
// and a scenario word shows in its row.
#include <QImage>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

#include "session/board_control.h"
#include "display/display_line_file.h"
#include "display/list_rules.h"
#include "display/table_ops.h"
#include "monitor/table_rows.h"
#include "monitor/ui/COrvmonView.h"
#include "vboard/flight_scenario.h"
#include "vboard/virtual_board_provider.h"

namespace orv::ui {
namespace {

const std::filesystem::path kSamples = std::filesystem::path(ORV_SAMPLES_DIR);

std::vector<uint8_t> ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(VirtualBoardView, ASampleListShowsScenarioWordsAfterATick) {
    VirtualBoardProvider devices(BoardClock::Manual);
    ProgramState state;
    state.Devices = &devices;
    COrvmonView view(state);
    ASSERT_TRUE(OpenSelectedBoard(state, "arinc10"));
    StartBoard(state);

    const std::vector<DisplayLineRecord> records = DecodeDisplayLines(ReadAll(kSamples / "scenario.42i"));
    ASSERT_FALSE(records.empty());
    ASSERT_EQ(LoadDisplayList(LinesOfRecords(records), state.Display, state.Acquisition, state.Board,
                              (kSamples / "Orvfrmt.stt").string()),
              nullptr);
    ASSERT_EQ(state.Acquisition.AcquisitionMode, 1);

    devices.Advance(300'000);
    view.RefreshTick();
    EXPECT_EQ(state.Acquisition.CycleCounter, 1);

    // A row of a scenario input whose label the flight sends.
    int row = -1;
    for (int r = 0; r < UsedEntries(state.Display.DisplayTable) && row < 0; ++r) {
        const DisplayEntry& e = state.Display.DisplayTable[std::size_t(r)];
        if (e.channel >= 5 && e.address == kFlightScenario[0].label) row = r;
    }
    ASSERT_GE(row, 0);
    const DisplayEntry& entry = state.Display.DisplayTable[std::size_t(row)];
    EXPECT_EQ(entry.receivedCycle, 1);
    const ArincWord word = RowValue(state.Display, state.Board.BoardImage, row);
    EXPECT_EQ(WordLabel(word), kFlightScenario[0].label);
    const std::string text = ParameterRowText(state.Display, state.Acquisition, state.Board.BoardImage, row);
    EXPECT_EQ(text.substr(26, 13), "  " + RenderHex(word) + " ");
    EXPECT_EQ(text.substr(82, 11), "          1");
    EXPECT_NE(text.substr(61, 21), std::string(21, ' '));  // ALT has a format: a DECIMAL value

    // The pane draws the row: its HEX "x" is dark in its cell, the row below the list is blank.
    view.resize(960, 16 * (row + 4));
    QImage image(view.viewport()->size(), QImage::Format_RGB32);
    view.viewport()->render(&image);
    bool dark = false;
    for (int y = 16 * row + 2; y < 16 * row + 11; ++y)
        for (int x = 7 * 29; x < 7 * 30; ++x) dark = dark || qGray(image.pixel(x, y)) < 128;
    EXPECT_TRUE(dark);
    ReleaseBoard(state);
}

}  // namespace
}  // namespace orv::ui
