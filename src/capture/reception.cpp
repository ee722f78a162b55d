#include "capture/reception.h"

#include "text/scanf_forms.h"

namespace orv {

std::optional<int16_t> ReadStopAddress(std::string_view text) {
    const std::string_view t = Trim(text);
    // A sign is no part of an address ("-1" would otherwise wrap into a label).
    if (t.empty() || t.front() == '-' || t.front() == '+') return std::nullopt;
    const auto v = ScanOct(t);
    if (!v || *v < 0 || *v > 255) return std::nullopt;
    return int16_t(*v);
}

void StartFileReception(BoardLink& link, CaptureState& capture, AcquisitionState& acquisition, unsigned ch) {
    if (ch < 1 || ch > unsigned(kInputChannels)) return;
    BoardImage& image = link.Image();
    const uint16_t block = StreamBlockAddress(ch);

    link.StopChannel(InputChannelCode(ch));
    image.Fill(block, 512, 0);
    link.WriteRange(block, 512);

    capture.FileChannel = uint16_t(ch);
    capture.StreamAddress = block;
    acquisition.AcquisitionMode = kFileReception;

    image.Fill(InputLabelWord(ch, 0), 256, 0);
    if (capture.StopLabel >= 0 && capture.StopLabel <= 255) {
        const uint32_t word = InputLabelWord(ch, unsigned(capture.StopLabel));
        image.Set(word, uint16_t(image.Get(word) | kStopCaptureBit));
    }
    const uint32_t active = ControlBlock::InputActiveFlags + (ch - 1);
    image.Set(active, 1);
    link.LoadInputChannel(uint16_t(ch));

    image.Set(ChannelModeAddress(InputChannelCode(ch)), kFileReceptionMode);
    if (link.StartInputChannel(uint16_t(ch)) == 0) image.Set(active, 0);
}

}  // namespace orv
