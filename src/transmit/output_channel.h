#pragma once
// The board side of an output channel: starting it with the frame of the dialog's list, stopping
// it, and replacing the code of one word while the board sends the frame. Requests go through
// BoardLink; the table words (frame slots, slot table, flags, mode word) are written into the
// image before the request that carries them.

#include <string>
#include <vector>

#include "driver/board_link.h"
#include "driver/board_words.h"
#include "state/frame_entry.h"

namespace orv {

// Board words of output channel `ch` (1..8); its frame slots are FrameSlotAddress(ch, slot).
constexpr uint32_t OutputSlotWord(unsigned ch, unsigned slot) { return SlotTableAddress(ch, slot); }
constexpr uint32_t OutputFlagsWord(unsigned ch) { return ControlBlock::OutputChannelFlags + 3 * (ch - 1); }

inline constexpr uint16_t kLastSlotBits = kLastSlotMark;

// Mode radio index: 0 one-shot, 1 cyclic; anything else only stops the channel.
inline constexpr int kModeOneShot = 0;
inline constexpr int kModeCyclic = 1;

// "Пуск": the first 256 lines become the channel's stored frame and its frame slots; the slots
// are written, the channel stopped, and for mode 0 or 1 its slot table loaded and, on reply 0,
// the channel started. Returns kNoParameters (nothing sent) for an empty list, else nullptr.
const char* StartOutputFrame(BoardLink& link, StoredFrame& stored, FrameEntry& current,
                             const std::vector<std::string>& lines, unsigned ch, int mode);

// "Останов канала".
void StopOutputFrame(BoardLink& link, unsigned ch);

// "изменить код", once the new word `word` is known: writes frame slot `slot` of the running
// frame (at 0x5000 + OutputFrameOffsets[ch - 1] + 2 slot), sends it and keeps the word in the
// stored frame. Refuses (returns the message, nothing sent) when the slot is beyond the 256 slots
// of a frame or the board's offset puts the slot outside OutputFrameArea.
const char* ChangeRunningCode(BoardLink& link, StoredFrame& stored, unsigned ch, int slot, ArincWord word);

// Word address of the low half of running frame slot `slot`, or 0 when the slot is beyond the
// frame or the reported offset puts its two words outside OutputFrameArea.
uint32_t RunningSlotAddress(const BoardImage& image, unsigned ch, int slot);

}  // namespace orv
