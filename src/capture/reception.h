#pragma once
// File reception on one input channel: the stream of words arriving on the channel is captured
// into its 512-word block of ReceiveArea, optionally stopping at the first word with a given
// label, and the refresh tick then reads that block on every tick (AcquisitionMode 2).

#include <cstdint>
#include <optional>
#include <string_view>

#include "state/acquisition_state.h"
#include "driver/board_link.h"
#include "driver/board_words.h"
#include "state/capture_state.h"

namespace orv {

// Word address of the stream block of input channel `ch` (1..8).
constexpr uint16_t StreamBlockAddress(unsigned ch) { return uint16_t(ReceiveBlockAddress(ch)); }
constexpr uint32_t InputLabelWord(unsigned ch, unsigned label) { return LabelTableAddress(ch, label); }

inline constexpr uint16_t kFileReceptionMode = 0x8700;   // the channel's mode word
inline constexpr uint16_t kStopCaptureBit = kLabelStopCapture;  // label table bit: stop on this label

// The stop address text of the start dialog (octal, blanks and line ends around it ignored): the
// label 0..255, or nullopt when it is empty, holds no octal number, carries a sign or is above
// 377.
std::optional<int16_t> ReadStopAddress(std::string_view text);

// The start sequence on input channel `ch` with capture.StopLabel already set (-1 for no stop):
// channel stopped, its block cleared in the image and on the board, FileChannel, StreamAddress
// and AcquisitionMode = 2 set, the label table loaded (bit 0 on the stop label), the mode word
// 0x8700 written and the channel started; a refused start (reply 0) clears the channel's
// InputActiveFlags entry again and changes nothing else.
void StartFileReception(BoardLink& link, CaptureState& capture, AcquisitionState& acquisition, unsigned ch);

}  // namespace orv
