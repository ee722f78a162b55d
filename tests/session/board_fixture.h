#pragma once
// A program state wired to a recording device provider and a fake refresh timer.
#include <dirent.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <set>
#include <thread>
#include <vector>

#include "state/program_state.h"
#include "support/scripted_device.h"

namespace orv::test {

class FakeTimer : public RefreshTimer {
public:
    uint32_t Start(int periodMs) override {
        running.insert(++lastId);
        periods.push_back(periodMs);
        return lastId;
    }
    void Stop(uint32_t id) override {
        EXPECT_TRUE(running.count(id)) << "stopping timer " << id << " that does not run";
        running.erase(id);
        stopped.push_back(id);
    }
    std::set<uint32_t> running;
    std::vector<uint32_t> stopped;
    std::vector<int> periods;
    uint32_t lastId = 0;
};

// Reply of the whole-memory read: every byte `fill`, with the given control and config words.
inline std::vector<uint8_t> MemoryReply(uint16_t configWord, uint16_t controlWord = 0xFFFF,
                                        uint8_t fill = 0) {
    std::vector<uint8_t> bytes(BoardImage::kBytes, fill);
    auto put = [&](uint32_t word, uint16_t v) {
        bytes[2 * word] = uint8_t(v);
        bytes[2 * word + 1] = uint8_t(v >> 8);
    };
    put(ControlBlock::BoardControlWord, controlWord);
    put(ControlBlock::BoardConfigWord, configWord);
    return bytes;
}

// The four bytes a slot read returns for `word`.
inline std::vector<uint8_t> SlotReply(uint32_t word) {
    return {uint8_t(word), uint8_t(word >> 8), uint8_t(word >> 16), uint8_t(word >> 24)};
}

// Request fields as they travel in a block request (byte offsets from the block start).
inline uint16_t SentWordAddress(const ScriptedRequest& r) { return r.InputWord(0x220); }
inline uint16_t SentLoadChannel(const ScriptedRequest& r) { return r.InputWord(0x218); }

inline std::vector<ScriptedRequest> RequestsOf(const ScriptedDevice& d, uint32_t code) {
    std::vector<ScriptedRequest> out;
    for (const auto& r : d.Requests())
        if (r.code == code) out.push_back(r);
    return out;
}

// Waits (briefly) until `done` holds; false on time-out.
inline bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 5000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

inline int CountEntries(const char* dir) {
    int n = 0;
    if (DIR* d = opendir(dir)) {
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.') ++n;
        closedir(d);
    }
    return n;
}
inline int OpenDescriptors() { return CountEntries("/proc/self/fd") - 1; }  // minus opendir's own
inline int ThreadCount() { return CountEntries("/proc/self/task"); }

class BoardTest : public ::testing::Test {
protected:
    BoardTest() {
        state.Devices = &provider;
        state.Timer = &timer;
        provider.prepare = [this](ScriptedDevice& d) {
            d.SetReply(kReadMemory, MemoryReply(configWord));
        };
    }

    ScriptedDevice& Device() { return *provider.Last(); }

    uint16_t configWord = 0x0840;
    RecordingProvider provider{{"arinc10", "arinc11", "arinc12", "arinc20", "arinc21", "arinc22"}};
    FakeTimer timer;
    ProgramState state;  // last: destroyed (and its thread joined) first
};

}  // namespace orv::test
