#pragma once
// The board as the program holds it: the memory mirror with its request functions, the opened
// device, the channel counts and settings, and the event and thread of the last board start.

#include <array>
#include <cstdint>
#include <memory>

#include "board/driver/board_image.h"
#include "board/driver/board_link.h"
#include "board/driver/device.h"
#include "board/driver/event_worker.h"
#include "board/driver/signal_event.h"

namespace orv {

// The platform timer that drives the refresh tick (a Qt timer on the main window in the program,
// a fake in tests). Start returns a non-zero id.
class RefreshTimer {
public:
    virtual ~RefreshTimer() = default;
    virtual uint32_t Start(int periodMs) = 0;
    virtual void Stop(uint32_t id) = 0;
};

inline constexpr int kChannelSettingWords = 16;  // inputs 1..8, then outputs 1..8

struct BoardState {
    orv::BoardImage BoardImage;
    BoardLink Link{BoardImage};
    std::unique_ptr<Device> DeviceHandle;
    uint16_t InputChannelCount = 0;
    uint16_t OutputChannelCount = 0;
    std::unique_ptr<orv::SignalEvent> SignalEvent;
    EventWorker AcquisitionThread;
    std::array<uint16_t, kChannelSettingWords> ChannelSettings{};

    // Ends the acquisition thread, then lets go of the event and the device, in that order.
    void Release() {
        AcquisitionThread.Stop();
        Link.Attach(nullptr);
        SignalEvent.reset();
        DeviceHandle.reset();
    }
    void Reset() {
        Release();
        BoardImage.Clear();
        InputChannelCount = 0;
        OutputChannelCount = 0;
        ChannelSettings.fill(0);
    }
};

}  // namespace orv
