// Writes offscreen pictures of three views into a folder, so that a change meant to move code
// without changing behaviour can be checked pixel for pixel (scripts/grab-views compares two runs):
// the main window with the sample list on the virtual board (manual clock, 0.3 s of the built-in
// flight), the trace dialog of a masked row with fixed words, and the channel dialog.
#include <QApplication>
#include <QImage>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/ui/CMainFrame.h"
#include "session/board_control.h"
#include "config/ui/CChannelFreqDlg.h"
#include "display/display_line_file.h"
#include "display/list_rules.h"
#include "display/table_ops.h"
#include "monitor/mask.h"
#include "monitor/monitor_fixture.h"
#include "monitor/ui/COrvmonView.h"
#include "monitor/ui/CParamTraceDlg.h"
#include "vboard/virtual_board_provider.h"

namespace fs = std::filesystem;

namespace orv {
namespace {

bool Save(QWidget& w, const fs::path& file) {
    w.show();
    QCoreApplication::processEvents();
    return w.grab().toImage().save(QString::fromStdString(file.string()));
}

bool GrabMainWindow(const fs::path& out) {
    VirtualBoardProvider devices{BoardClock::Manual};
    ProgramState state;
    state.Devices = &devices;
    ui::CMainFrame frame(state);
    frame.resize(1100, 700);
    if (!OpenSelectedBoard(state, "arinc10")) return false;
    StartBoard(state);
    std::ifstream in(fs::path(ORV_SAMPLES_DIR) / "scenario.42i", std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (LoadDisplayList(LinesOfRecords(DecodeDisplayLines(bytes)), state.Display, state.Acquisition, state.Board,
                        (fs::path(ORV_SAMPLES_DIR) / "Orvfrmt.stt").string()) != nullptr)
        return false;
    frame.show();
    QCoreApplication::processEvents();
    for (int tick = 0; tick < 3; ++tick) {
        devices.Advance(100'000);
        frame.TableView()->RefreshTick();
    }
    const bool saved = Save(frame, out / "main_window.png");
    ReleaseBoard(state);
    return saved;
}

bool GrabTraceDialog(const fs::path& out) {
    ProgramState state;
    test::PutEntry(state.Display, 0, "ALT", 5, 0203, true).maskMode = 1;
    StoreMaskPattern(state.Acquisition, 4, EncodeMask("xx1" + std::string(20, 'x')));
    for (uint32_t k = 0; k < 100; ++k)
        test::AppendTrace(state.Acquisition, 4, 0x0C8000C8u + (k << 11) + (k % 3 == 0 ? 0x10000000u : 0), 7000 + 50 * k);
    ui::CParamTraceDlg dlg(state, 0);
    return Save(dlg, out / "trace_dialog.png");
}

bool GrabChannelDialog(const fs::path& out) {
    ChannelSettingTable settings{};
    for (std::size_t i = 0; i < settings.size(); ++i) settings[i] = uint16_t(i % 3);
    CChannelFreqDlg dlg(settings, 8, 8, (out / "unused.stt").string());
    return Save(dlg, out / "channel_dialog.png");
}

}  // namespace
}  // namespace orv

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: orv_grab_views FOLDER\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const fs::path out = argv[1];
    fs::create_directories(out);
    const bool ok = orv::GrabMainWindow(out) && orv::GrabTraceDialog(out) && orv::GrabChannelDialog(out);
    if (!ok) std::fprintf(stderr, "orv_grab_views: a view could not be made or saved\n");
    return ok ? 0 : 1;
}
