#pragma once
// The device provider of the virtual boards: it owns board 1 ("arinc10", "arinc11", "arinc12":
// 8 inputs, 8 outputs) and board 2 ("arinc20", "arinc21", "arinc22": 4 inputs, 2 outputs) for the
// whole run. Every other name fails to open. Each Open returns a new handle on the same board, so
// the board keeps its memory and its running channels across re-opens, and closing a handle
// never stops it.
//
// In real time each board's firmware thread starts with the board's first open and is stopped
// and joined when the provider is destroyed. With the manual clock nothing runs by itself: tests
// call Advance().

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "driver/device.h"
#include "vboard/virtual_board.h"

namespace orv {

// A device handle that forwards every request to `board` and keeps it alive.
std::unique_ptr<Device> OpenVirtualDevice(std::shared_ptr<VirtualBoard> board);

class VirtualBoardProvider : public DeviceProvider {
public:
    explicit VirtualBoardProvider(BoardClock clock = BoardClock::RealTime);
    ~VirtualBoardProvider() override;
    VirtualBoardProvider(const VirtualBoardProvider&) = delete;
    VirtualBoardProvider& operator=(const VirtualBoardProvider&) = delete;

    std::unique_ptr<Device> Open(std::string_view name) override;

    // 1 or 2 for the names of the virtual boards, 0 for any other name.
    static unsigned BoardNumber(std::string_view name);

    // Board 1 or 2 (any other number gives board 1).
    VirtualBoard& Board(unsigned number);
    // Manual clock: advances both boards by `us` microseconds.
    void Advance(uint64_t us);

    // Each board plays its part of `scenario` from now on.
    void PlayScenario(const Scenario& scenario);
    // Reads the scenario file at `path` and plays it. When it cannot be read the boards keep what
    // they play and the message naming the file, the line and the reason is returned (UTF-8); when
    // it plays recordings that are damaged, it plays and the notes about them are returned.
    std::optional<std::string> PlayScenarioFile(const std::string& path);
    // The virtual board's own counters of board 1 or 2 (a real board has none).
    BoardCounters Counters(unsigned number) const;

private:
    std::array<std::shared_ptr<VirtualBoard>, 2> boards_;
};

}  // namespace orv
