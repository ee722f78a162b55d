#include "vboard/virtual_board_provider.h"

#include "vboard/scenario_file.h"

namespace orv {
namespace {

// One opened handle: forwards every request to the board, which outlives it if need be.
class VirtualDevice : public Device {
public:
    explicit VirtualDevice(std::shared_ptr<VirtualBoard> board) : board_(std::move(board)) {}
    std::size_t Control(uint32_t code, std::span<const uint8_t> in, std::span<uint8_t> out) override {
        return board_->Control(code, in, out);
    }
    WordStream* Stream() override { return board_.get(); }

private:
    std::shared_ptr<VirtualBoard> board_;
};

}  // namespace

std::unique_ptr<Device> OpenVirtualDevice(std::shared_ptr<VirtualBoard> board) {
    return std::make_unique<VirtualDevice>(std::move(board));
}

VirtualBoardProvider::VirtualBoardProvider(BoardClock clock)
    : boards_{std::make_shared<VirtualBoard>(VirtualBoardOne(), clock),
              std::make_shared<VirtualBoard>(VirtualBoardTwo(), clock)} {}

VirtualBoardProvider::~VirtualBoardProvider() {
    for (auto& board : boards_) board->StopFirmware();
}

unsigned VirtualBoardProvider::BoardNumber(std::string_view name) {
    if (name.size() != 7 || name.substr(0, 5) != "arinc") return 0;
    if (name[6] < '0' || name[6] > '2') return 0;
    if (name[5] == '1') return 1;
    if (name[5] == '2') return 2;
    return 0;
}

std::unique_ptr<Device> VirtualBoardProvider::Open(std::string_view name) {
    const unsigned number = BoardNumber(name);
    if (number == 0) return nullptr;
    const auto& board = boards_[number - 1];
    board->StartFirmware();
    return OpenVirtualDevice(board);
}

VirtualBoard& VirtualBoardProvider::Board(unsigned number) {
    return *boards_[number == 2 ? 1 : 0];
}

void VirtualBoardProvider::Advance(uint64_t us) {
    for (auto& board : boards_) board->Advance(us);
}

void VirtualBoardProvider::PlayScenario(const Scenario& scenario) {
    for (std::size_t b = 0; b < boards_.size(); ++b) boards_[b]->PlayScenario(scenario.boards[b], scenario.seed * 2 + b);
}

std::optional<std::string> VirtualBoardProvider::PlayScenarioFile(const std::string& path) {
    ScenarioError error;
    const std::optional<Scenario> scenario = LoadScenarioFile(path, error);
    if (!scenario) return ScenarioErrorMessage(path, error);
    PlayScenario(*scenario);
    if (scenario->notes.empty()) return std::nullopt;
    std::string notes;  // damaged recordings: their sound part plays, the engineer is told
    for (const std::string& note : scenario->notes) notes += (notes.empty() ? "" : "\n\n") + note;
    return notes;
}

BoardCounters VirtualBoardProvider::Counters(unsigned number) const {
    return boards_[number == 2 ? 1 : 0]->Counters();
}

}  // namespace orv
