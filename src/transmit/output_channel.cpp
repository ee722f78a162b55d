#include "transmit/output_channel.h"

#include <algorithm>

#include "resources/transmit_strings.h"
#include "transmit/frame_line.h"

namespace orv {

const char* StartOutputFrame(BoardLink& link, StoredFrame& stored, FrameEntry& current,
                             const std::vector<std::string>& lines, unsigned ch, int mode) {
    if (lines.empty()) return text::kNoParameters;
    if (ch < 1 || ch > unsigned(kOutputChannels)) return nullptr;
    BoardImage& image = link.Image();
    const int n = std::min(int(lines.size()), kFrameSlots);
    for (int i = 0; i < n; ++i) {
        const std::string& line = lines[std::size_t(i)];
        ParseFrameLine(line, current);
        FrameEntry& entry = stored[std::size_t(i)];
        ParseFrameLine(line, entry);
        entry.endFlag = 0;
        const uint32_t slot = FrameSlotAddress(ch, unsigned(i));
        if (current.pause != 0) {
            image.Set(slot, 0);
            image.Set(slot + 1, 0);
        } else {
            image.Set(slot, uint16_t(current.word & 0xFFFF));
            image.Set(slot + 1, uint16_t((current.word >> 16) | 0x8000));
        }
    }
    stored[std::size_t(n)].endFlag = 1;

    link.WriteRange(uint16_t(FrameSlotAddress(ch, 0)), uint16_t(2 * n));
    const uint16_t code = OutputChannelCode(ch);
    link.StopChannel(code);
    if (mode != kModeOneShot && mode != kModeCyclic) return nullptr;

    image.Fill(OutputSlotWord(ch, 0), 256, 0);
    const uint32_t flags = OutputFlagsWord(ch);
    image.Set(flags + 1, mode == kModeOneShot ? 1 : 0);
    image.Set(flags + 2, 1);
    const uint32_t last = OutputSlotWord(ch, unsigned(n - 1));
    image.Set(last, uint16_t(image.Get(last) | kLastSlotBits));

    if (link.LoadOutputChannel(uint16_t(ch)) != 0) return nullptr;
    image.Set(flags, 1);
    uint16_t control = 0x8500;
    if (image.Get(flags + 1) == 1) control |= kOutputOneShot;
    control = uint16_t(control | (image.Get(flags + 2) & 0xFE));
    image.Set(ChannelModeAddress(code), control);
    if (link.StartOutputChannel(uint16_t(ch)) == 0) image.Set(flags, 0);
    return nullptr;
}

void StopOutputFrame(BoardLink& link, unsigned ch) { link.StopChannel(OutputChannelCode(ch)); }

uint32_t RunningSlotAddress(const BoardImage& image, unsigned ch, int slot) {
    if (ch < 1 || ch > unsigned(kOutputChannels) || slot < 0 || slot >= kFrameSlots) return 0;
    const uint32_t a = BoardImage::OutputFrameArea + image.Get(ControlBlock::OutputFrameOffsets + (ch - 1)) +
                       2 * uint32_t(slot);
    const uint32_t end = BoardImage::OutputFrameArea + BoardImage::OutputFrameAreaWords;
    return a + 1 < end ? a : 0;
}

const char* ChangeRunningCode(BoardLink& link, StoredFrame& stored, unsigned ch, int slot, ArincWord word) {
    if (slot < 0 || slot >= kFrameSlots) return text::kSlotBeyondFrame;
    const uint32_t a = RunningSlotAddress(link.Image(), ch, slot);
    if (a == 0) return text::kSlotOutsideFrameArea;
    BoardImage& image = link.Image();
    image.Set(a + 1, uint16_t((word | 0x80000000u) >> 16));
    image.Set(a, uint16_t(word & 0xFFFF));
    link.ChangeFrameWord(uint16_t(a));
    stored[std::size_t(slot)].word = word;
    return nullptr;
}

}  // namespace orv
