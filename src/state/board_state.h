#pragma once
// The board as the program holds it: the memory mirror with its request functions, the opened
// device, the channel counts and settings, and the event and thread of the last board start.

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "driver/board_image.h"
#include "driver/board_link.h"
#include "driver/device.h"
#include "driver/event_worker.h"
#include "driver/signal_event.h"
#include "recordings/bus_recorder.h"

namespace orv {

// The platform timer that drives the refresh tick (a Qt timer on the main window in the program,
// a fake in tests). Start returns a non-zero id.
class RefreshTimer {
public:
    virtual ~RefreshTimer() = default;
    virtual uint32_t Start(int periodMs) = 0;
    virtual void Stop(uint32_t id) = 0;
};

// The platform's millisecond tick count: milliseconds of a monotonic clock, wrapping at 2^32.
inline uint32_t SteadyTickCount() {
    using namespace std::chrono;
    return uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

inline constexpr int kChannelSettingWords = 16;  // inputs 1..8, then outputs 1..8

struct BoardState {
    orv::BoardImage BoardImage;
    BoardLink Link{BoardImage};
    std::unique_ptr<Device> DeviceHandle;
    std::string DeviceName;                  // the name it was opened by ("arinc10", ...)
    std::unique_ptr<BusRecorder> Recorder;   // the recording of its lines, while one runs
    uint16_t InputChannelCount = 0;
    uint16_t OutputChannelCount = 0;
    std::unique_ptr<orv::SignalEvent> SignalEvent;
    EventWorker AcquisitionThread;
    std::array<uint16_t, kChannelSettingWords> ChannelSettings{};
    // Time source of the trace times, called on the acquisition thread. Tests replace it; set it
    // only while no acquisition thread runs.
    std::function<uint32_t()> TickCount = SteadyTickCount;

    // Ends the recording and the acquisition thread, then lets go of the event and the device, in
    // that order (the recorder takes its words from the device).
    void Release() {
        Recorder.reset();
        AcquisitionThread.Stop();
        Link.Attach(nullptr);
        SignalEvent.reset();
        DeviceHandle.reset();
    }
    void Reset() {
        Release();
        BoardImage.Clear();
        DeviceName.clear();
        InputChannelCount = 0;
        OutputChannelCount = 0;
        ChannelSettings.fill(0);
    }
};

}  // namespace orv
