#include "app/main_options.h"

#include <algorithm>
#include <filesystem>
#include <unistd.h>

#include "board/board_control.h"
#include "config/record_file.h"
#include "display/display_line_file.h"
#include "display/list_rules.h"
#include "display/table_ops.h"
#include "monitor/refresh_period.h"
#include "resources/board_strings.h"
#include "resources/capture_strings.h"
#include "resources/shell_strings.h"
#include "resources/vboard_strings.h"
#include "vboard/virtual_board_provider.h"

namespace orv {

const char* ApplyPeriodOption(ProgramState& state, std::string_view text) {
    return ApplyRefreshPeriod(state.Shell, state.Timer, text) ? nullptr : kBadPeriodOption;
}

const char* ApplyDeviceOption(ProgramState& state, std::string_view name, const std::string& settingsPath) {
    if (std::find(kDeviceNames.begin(), kDeviceNames.end(), name) == kDeviceNames.end())
        return text::kDeviceOpenError;
    if (!OpenSelectedBoard(state, name)) return text::kDeviceOpenError;
    // The settings dialog would have shown the cleared table; "Восстановить из файла" fills it.
    RestoreChannelSettings(state.Board.ChannelSettings, settingsPath);
    StartBoard(state);
    ClearBoardData(state);
    return nullptr;
}

const char* ApplyListOption(ProgramState& state, const std::string& path, const std::string& formatPath) {
    if (state.Shell.DeviceState == -1) return text::kNoBoard;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec) || access(path.c_str(), R_OK) != 0)
        return text::kOpenFailed;
    std::vector<DisplayLineRecord> records;
    for (const auto& rec : ReadRecordFile(path, kDisplayLineRecordSize)) records.push_back(DecodeDisplayLine(rec));
    return LoadDisplayList(LinesOfRecords(records), state.Display, state.Acquisition, state.Board, formatPath);
}

std::optional<std::string> ApplyScenarioOption(ProgramState& state, const std::string& path) {
    auto* boards = dynamic_cast<VirtualBoardProvider*>(state.Devices);
    if (!boards) return std::string(text::kScenarioNeedsVirtualBoard);
    return boards->PlayScenarioFile(path);
}

void ApplyStartOptions(ProgramState& state, const StartOptions& options,
                       const std::function<void(const std::string&)>& show) {
    if (options.scenario)
        if (const auto m = ApplyScenarioOption(state, *options.scenario)) show(*m);
    if (options.period)
        if (const char* m = ApplyPeriodOption(state, *options.period)) show(m + *options.period);
    if (options.device)
        if (const char* m = ApplyDeviceOption(state, *options.device)) show(m);
    if (options.list)
        if (const char* m = ApplyListOption(state, *options.list))
            show(m == text::kOpenFailed ? m + *options.list : std::string(m));
}

}  // namespace orv
