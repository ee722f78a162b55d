#pragma once
// The main window on the virtual board (manual clock), working in a fresh folder that holds the
// named sample files, as `make run` and an installation give them.
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "app/ui/CMainFrame.h"
#include "session/board_control.h"
#include "support/scratch_dir.h"
#include "vboard/virtual_board_provider.h"

namespace orv::test {

class SampleFolderFrame : public ScratchDir {
protected:
    explicit SampleFolderFrame(std::initializer_list<const char*> samples) : samples_(samples.begin(), samples.end()) {}
    void SetUp() override {
        ScratchDir::SetUp();
        for (const std::string& f : samples_) std::filesystem::copy_file(std::filesystem::path(ORV_SAMPLES_DIR) / f, f);
        state.Devices = &devices;
        frame = std::make_unique<ui::CMainFrame>(state);
        frame->show();
    }
    void TearDown() override {
        ReleaseBoard(state);
        frame.reset();
        ScratchDir::TearDown();
    }

    VirtualBoardProvider devices{BoardClock::Manual};
    ProgramState state;
    std::unique_ptr<ui::CMainFrame> frame;

private:
    std::vector<std::string> samples_;
};

}  // namespace orv::test
