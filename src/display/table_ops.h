#pragma once
// What changes the display table: loading a composed list into the table and the board, and the
// operations on one row used by the table pane's commands. Everything here runs on the
// user-interface thread; DisplayListReady is 0 while a row or the table is being rewritten.

#include <string>
#include <vector>

#include "config/decimal_format.h"
#include "display/display_line.h"
#include "state/acquisition_state.h"
#include "state/board_state.h"
#include "config/format_file.h"
#include "state/display_table.h"

namespace orv {

// Mode word of an input channel in parameter reception (its ChannelControlWords word).
inline constexpr uint16_t kParameterReceptionMode = 0x0500;

// True when `channel` and `address` name a label slot inside ReceiveArea: channel 1..8,
// address 0..255.
constexpr bool ValidSlot(unsigned channel, unsigned address) {
    return channel >= 1 && channel <= kInputChannels && address <= 255;
}

// Why a record cannot be given a label slot, with the displayed-parameter editor's message for the
// same field ("ОШИБКА: адрес параметра" above 0377, "ОШИБКА: № канала" outside 1..8), or nullptr.
// A list restored from a file or a dictionary entry may hold such a record; it never reaches the
// board.
const char* SlotRefusal(const DisplayLineRecord& record);

// Loads the lines of the list dialog (display lines) into the table and restarts the receive side
// of every input channel of the board in parameter reception. Returns nullptr when loaded, or the
// message to show (UTF-8) when there is nothing to load; nothing changes then.
//
// At most 256 lines are taken. A line whose address is above 0377 or whose channel is outside 1..8
// (a foreign ".42i" file) has no label slot: the list is refused with SlotRefusal's message and
// nothing changes. Formats are resolved
// from `formatPath`, read once; a format label that names no format gives no format. Only the
// first eight input channels exist in the tables, so a board reporting more is loaded on eight.
const char* LoadDisplayList(const std::vector<std::string>& lines, DisplayState& display,
                            AcquisitionState& acquisition, BoardState& board,
                            const std::string& formatPath = kFormatFileName);

// The receive side of every input channel of the board restarted in parameter reception with an
// empty label table (LoadDisplayList's last step): every input runs, so its line's words reach it
// and the device's word stream, and no label is reported. A headless recording needs no more.
void StartInputReception(BoardState& board);

enum class AssignResult {
    Assigned,
    Duplicate,  // another used row has the same address and channel: nothing changed
    Refused,    // row outside the table or beyond its used prefix, or a record with no slot
};

// Gives row `row` the parameter of `record` (the editor's result). The row may be a used row or
// the first free one (the table then grows by one). The format is found by FindFormat in
// `formatPath`; a blank format label, or one that names no format, gives no format. maskMode is
// left as it is.
AssignResult AssignEntry(DisplayState& display, int row, const DisplayLineRecord& record,
                         const std::string& formatPath = kFormatFileName);

// Row `row` gets `format` whole, and its label as formatLabel. Rows outside the table are ignored.
void SetEntryFormat(DisplayState& display, int row, const DecimalFormat& format);
// Row `row` has no format any more (formatLabel and the format's label become eight blanks).
void ClearEntryFormat(DisplayState& display, int row);

}  // namespace orv
