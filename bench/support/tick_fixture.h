#pragma once
// A board in parameter reception with 256 displayed parameters: board 1 of the virtual boards on
// the manual clock, outputs 1..4 looped to inputs 1..4 at 100 kbit/s, each sending a cyclic frame
// of all 256 labels; the displayed list takes 64 labels of each of these four channels. Every
// fourth row has no format, the others a decimal format.

#include "state/program_state.h"
#include "session/acquisition.h"
#include "session/board_control.h"
#include "display/table_ops.h"
#include "vboard/virtual_board_provider.h"
#include "support/example_formats.h"

namespace orv::bench {

class NoTimer : public RefreshTimer {
public:
    uint32_t Start(int) override { return 1; }
    void Stop(uint32_t) override {}
};

struct TickFixture {
    explicit TickFixture(VirtualBoardProvider& devices) {
        state.Devices = &devices;
        state.Timer = &timer;
        OpenSelectedBoard(state, "arinc10");
        for (std::size_t c = 0; c < 4; ++c) {
            state.Board.ChannelSettings[c] = 2;
            state.Board.ChannelSettings[8 + c] = 2;
        }
        StartBoard(state);
        for (unsigned c = 1; c <= 4; ++c) {
            StartInput(c);
            StartOutput(c);
        }
        for (int e = 0; e < kDisplayRows; ++e) {
            DisplayEntry& entry = state.Display.DisplayTable[std::size_t(e)];
            entry.paramLabel = Label8("P");
            entry.channel = uint16_t(e % 4 + 1);
            entry.address = uint16_t(e);
            entry.slot = LabelSlotAddress(entry.channel, entry.address);
            state.Display.SlotAddresses[std::size_t(e)] = entry.slot;
            if (e % 4 != 3) SetEntryFormat(state.Display, e, test::Alt1Format());
        }
        state.Display.DisplayListReady = 1;
        state.Acquisition.AcquisitionMode = kParameterReception;
    }
    ~TickFixture() { ReleaseBoard(state); }

    void StartInput(unsigned c) {
        BoardLink& link = state.Board.Link;
        link.StopChannel(InputChannelCode(c));
        link.LoadInputChannel(uint16_t(c));
        state.Board.BoardImage.Set(BoardImage::ChannelControlWords + InputChannelCode(c), kInputEnable);
        link.StartInputChannel(uint16_t(c));
    }
    void StartOutput(unsigned c) {
        BoardImage& image = state.Board.BoardImage;
        BoardLink& link = state.Board.Link;
        const uint32_t frame = BoardImage::OutputFrameArea + 512 * (c - 1);
        for (uint32_t k = 0; k < 256; ++k) image.Set32(frame + 2 * k, (0x100u + c) << 8 | k);
        image.Set(BoardImage::OutputSlotTable + 256 * (c - 1) + 255, kLastSlotMark);
        link.WriteRange(uint16_t(frame), 512);
        link.StopChannel(OutputChannelCode(c));
        link.LoadOutputChannel(uint16_t(c));
        image.Set(BoardImage::ChannelControlWords + OutputChannelCode(c), kOutputEnable);
        link.StartOutputChannel(uint16_t(c));
    }

    NoTimer timer;
    ProgramState state;
};

}  // namespace orv::bench
