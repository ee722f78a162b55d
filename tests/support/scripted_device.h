#pragma once
// A device that remembers every request and answers with scripted replies. Used by tests to
// check request sequences, lengths and destinations without a board.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "driver/device.h"

namespace orv {

struct ScriptedRequest {
    uint32_t code = 0;
    std::vector<uint8_t> input;
    std::size_t outputLength = 0;

    // 16-bit little-endian word at byte offset `byte` of the input.
    uint16_t InputWord(std::size_t byte) const {
        return byte + 1 < input.size() ? uint16_t(input[byte] | (input[byte + 1] << 8)) : 0;
    }
};

class ScriptedDevice : public Device {
public:
    std::size_t Control(uint32_t code, std::span<const uint8_t> in, std::span<uint8_t> out) override;

    // Reply bytes for every later request of `code` (copied into the start of the output).
    void SetReply(uint32_t code, std::vector<uint8_t> bytes);
    void SetReplyWord(uint32_t code, uint16_t word) { SetReply(code, {uint8_t(word), uint8_t(word >> 8)}); }
    // A reply for the next request of `code` only; queued replies come before SetReply's.
    void QueueReply(uint32_t code, std::vector<uint8_t> bytes);
    void QueueReplyWord(uint32_t code, uint16_t word) { QueueReply(code, {uint8_t(word), uint8_t(word >> 8)}); }
    // Called for every request after it is recorded (for tests that need to act inside one).
    void OnRequest(std::function<void(const ScriptedRequest&)> hook);

    std::vector<ScriptedRequest> Requests() const;
    std::vector<uint32_t> Codes() const;
    std::size_t Count(uint32_t code) const;
    void Clear();

private:
    mutable std::mutex mutex_;
    std::vector<ScriptedRequest> requests_;
    std::map<uint32_t, std::vector<uint8_t>> replies_;
    std::map<uint32_t, std::deque<std::vector<uint8_t>>> queued_;
    std::function<void(const ScriptedRequest&)> hook_;
};

// Opens a ScriptedDevice for each of the given names; other names fail. The devices opened stay
// reachable through Last() and Opened() (the provider keeps them alive).
class RecordingProvider : public DeviceProvider {
public:
    explicit RecordingProvider(std::set<std::string> names) : names_(std::move(names)) {}
    std::unique_ptr<Device> Open(std::string_view name) override;

    // Set-up applied to each device when it is opened (for example a BoardConfigWord reply).
    std::function<void(ScriptedDevice&)> prepare;

    ScriptedDevice* Last() const { return opened_.empty() ? nullptr : opened_.back().get(); }
    const std::vector<std::shared_ptr<ScriptedDevice>>& Opened() const { return opened_; }
    std::vector<std::string> OpenedNames() const { return openedNames_; }
    int LiveDevices() const { return *live_; }

private:
    std::set<std::string> names_;
    std::vector<std::shared_ptr<ScriptedDevice>> opened_;
    std::vector<std::string> openedNames_;
    std::shared_ptr<int> live_ = std::make_shared<int>(0);
};

}  // namespace orv
