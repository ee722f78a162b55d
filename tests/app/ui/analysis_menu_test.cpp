// The menu "Анализ": the table and capture block exports through the main window's commands.
#include <QAction>
#include <QImage>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

#include "app/ui/CMainFrame.h"
#include "monitor/ui/COrvmonView.h"
#include "support/scripted_device.h"
#include "monitor/csv_export.h"
#include "monitor/row_ink.h"
#include "monitor/monitor_fixture.h"
#include "resources/analysis_strings.h"
#include "resources/ui/save_file.h"
#include "support/ui/widget_test.h"
#include "resources/ui/text_codec.h"

namespace orv::ui {
namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class AnalysisMenuTest : public ::testing::Test {
protected:
    AnalysisMenuTest() {
        state.Devices = &devices;
        state.Board.TickCount = [] { return 5000u; };
        frame = std::make_unique<CMainFrame>(state);
        dir = fs::temp_directory_path() / ("orv_analysis_" + std::to_string(::getpid()));
        fs::create_directories(dir);
    }
    ~AnalysisMenuTest() override { fs::remove_all(dir); }
    void Trigger(int id) { frame->Command(id)->trigger(); }
    QString Path(const char* name) const { return QString::fromStdString((dir / name).string()); }

    RecordingProvider devices{{"arinc10"}};
    ProgramState state;
    std::unique_ptr<CMainFrame> frame;
    fs::path dir;
    ScopedScript script;
    ScopedSaveFileScript files;
};

TEST_F(AnalysisMenuTest, TableExportWritesTheRowsAsShownOrSaysThereAreNone) {
    Trigger(32900);  // idle: no table
    DisplayEntry& alt = test::PutEntry(state.Display, 0, "ALT", 5, 0203, true);
    alt.receivedCycle = 3;
    alt.receivedWord = 0x0C8000C8;
    test::PutEntry(state.Display, 1, "GS", 6, 012);
    state.Acquisition.AcquisitionMode = 1;
    files.Answer(Path("table.csv"));
    Trigger(32900);
    EXPECT_EQ(script->MessageTexts(), QStringList({U(text::kNoTableToExport)}));
    EXPECT_EQ(files.suggestedNames, QStringList({QStringLiteral("table.csv")}));
    const std::string written = ReadText(dir / "table.csv");
    EXPECT_EQ(written, TableCsv(TakeShownTable(state.Display, state.Acquisition, state.Board.BoardImage, 5000)));
    EXPECT_NE(written.find("\r\nALT,5,203,0x0c8000c8,001440000310,00,140.625,deg,3,,"), std::string::npos);
}

TEST_F(AnalysisMenuTest, TableExportWritesWhatTheLastRefreshDrew) {
    // A row received 1000 ms and two cycles before the refresh, and a masked row whose channel the
    // acquisition thread goes on counting after it.
    uint32_t now = 5000;
    state.Board.TickCount = [&now] { return now; };
    state.Shell.DeviceState = -1;  // no board to poll: the tick only redraws
    DisplayEntry& alt = test::PutEntry(state.Display, 0, "ALT", 5, 0203, true);
    alt.receivedCycle = 3;
    alt.receivedWord = 0x0C8000C8;
    alt.receivedMs = 4000;
    test::PutEntry(state.Display, 1, "GS", 6, 012).maskMode = 1;
    state.Acquisition.CycleCounter = 5;
    state.Acquisition.MaskMatchCount[5] = 1280;
    state.Acquisition.AcquisitionMode = 1;
    COrvmonView& view = *frame->TableView();
    view.resize(900, 200);
    view.RefreshTick();  // draws 1280 and a black first row
    ASSERT_FALSE(RowIsStale(state.Display, state.Acquisition, 0, now));
    const auto picture = [&view] {
        QImage image(view.viewport()->size(), QImage::Format_RGB32);
        image.fill(Qt::red);
        view.viewport()->render(&image);
        return image;
    };
    picture();  // the first paint of a table sets the scroll range (the viewport narrows)
    const QImage drawn = picture();

    // The click comes later: 15 more matches, and the first row is now old enough to be stale.
    state.Acquisition.MaskMatchCount[5] = 1295;
    now = 7000;
    ASSERT_TRUE(RowIsStale(state.Display, state.Acquisition, 0, now));
    // Until the next refresh the pane, painted again (exposed, scrolled back), shows what that
    // refresh drew, in the cached paint and in the direct one alike: what the export writes.
    EXPECT_EQ(picture(), drawn);
    view.SetDirectDrawing(true);
    EXPECT_EQ(picture(), drawn);
    view.SetDirectDrawing(false);
    files.Answer(Path("table.csv"));
    Trigger(32900);
    const std::string written = ReadText(dir / "table.csv");
    EXPECT_NE(written.find("\r\nALT,5,203,0x0c8000c8,001440000310,00,140.625,deg,3,,нет\r\n"), std::string::npos)
        << written;
    EXPECT_NE(written.find("\r\nGS,6,012,0x00000000,000000000000,00,,,0,1280,нет\r\n"), std::string::npos) << written;

    // An edit of the table redraws it, and the export follows that drawing.
    frame->TableView()->RunCommand(CommandId::ClearFormat);  // clear the format of the selected row (row 0)
    files.Answer(Path("edited.csv"));
    Trigger(32900);
    EXPECT_NE(ReadText(dir / "edited.csv").find("\r\nGS,6,012,0x00000000,000000000000,00,,,0,1295,нет\r\n"),
              std::string::npos);
}

TEST_F(AnalysisMenuTest, BlockExportWritesTheCaptureBlockInFileReceptionOnly) {
    Trigger(32901);  // idle: no block
    state.Acquisition.AcquisitionMode = 2;
    state.Capture.FileChannel = 3;
    state.Capture.StreamAddress = 0x4400;
    for (uint32_t i = 0; i < 256; ++i) state.Board.BoardImage.Set32(0x4400 + 2 * i, 0x60000000u | (i << 8) | 0x83u);
    files.Answer(Path("block.csv"));
    Trigger(32901);
    EXPECT_EQ(script->MessageTexts(), QStringList({U(text::kNoBlockToExport)}));
    EXPECT_EQ(files.suggestedNames, QStringList({QStringLiteral("block_ch3.csv")}));
    const std::string written = ReadText(dir / "block.csv");
    EXPECT_EQ(written, BlockCsv(state.Board.BoardImage, 0x4400));
    EXPECT_NE(written.find("\r\n255,203,0x6000ff83,014000177603,11\r\n"), std::string::npos);
}

}  // namespace
}  // namespace orv::ui
