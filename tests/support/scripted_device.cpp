#include "support/scripted_device.h"

#include <algorithm>

namespace orv {

std::size_t ScriptedDevice::Control(uint32_t code, std::span<const uint8_t> in, std::span<uint8_t> out) {
    std::function<void(const ScriptedRequest&)> hook;
    ScriptedRequest req{code, std::vector<uint8_t>(in.begin(), in.end()), out.size()};
    std::vector<uint8_t> reply;
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(req);
        auto q = queued_.find(code);
        if (q != queued_.end() && !q->second.empty()) {
            reply = std::move(q->second.front());
            q->second.pop_front();
        } else if (auto r = replies_.find(code); r != replies_.end()) {
            reply = r->second;
        }
        hook = hook_;
    }
    const std::size_t n = std::min(reply.size(), out.size());
    std::copy_n(reply.begin(), n, out.begin());
    if (hook) hook(req);
    return n;
}

void ScriptedDevice::SetReply(uint32_t code, std::vector<uint8_t> bytes) {
    std::lock_guard lock(mutex_);
    replies_[code] = std::move(bytes);
}

void ScriptedDevice::QueueReply(uint32_t code, std::vector<uint8_t> bytes) {
    std::lock_guard lock(mutex_);
    queued_[code].push_back(std::move(bytes));
}

void ScriptedDevice::OnRequest(std::function<void(const ScriptedRequest&)> hook) {
    std::lock_guard lock(mutex_);
    hook_ = std::move(hook);
}

std::vector<ScriptedRequest> ScriptedDevice::Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

std::vector<uint32_t> ScriptedDevice::Codes() const {
    std::lock_guard lock(mutex_);
    std::vector<uint32_t> codes;
    for (const auto& r : requests_) codes.push_back(r.code);
    return codes;
}

std::size_t ScriptedDevice::Count(uint32_t code) const {
    std::lock_guard lock(mutex_);
    return std::size_t(std::count_if(requests_.begin(), requests_.end(),
                                     [code](const ScriptedRequest& r) { return r.code == code; }));
}

void ScriptedDevice::Clear() {
    std::lock_guard lock(mutex_);
    requests_.clear();
}

namespace {
// Forwards to a shared device so that the provider can still inspect it after the program closed
// its handle; counts live handles to detect leaks.
class SharedHandle : public Device {
public:
    SharedHandle(std::shared_ptr<ScriptedDevice> d, std::shared_ptr<int> live)
        : device_(std::move(d)), live_(std::move(live)) { ++*live_; }
    ~SharedHandle() override { --*live_; }
    std::size_t Control(uint32_t code, std::span<const uint8_t> in, std::span<uint8_t> out) override {
        return device_->Control(code, in, out);
    }
private:
    std::shared_ptr<ScriptedDevice> device_;
    std::shared_ptr<int> live_;
};
}  // namespace

std::unique_ptr<Device> RecordingProvider::Open(std::string_view name) {
    if (!names_.contains(std::string(name))) return nullptr;
    auto device = std::make_shared<ScriptedDevice>();
    if (prepare) prepare(*device);
    opened_.push_back(device);
    openedNames_.emplace_back(name);
    return std::make_unique<SharedHandle>(device, live_);
}

}  // namespace orv
