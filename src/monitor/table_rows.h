#pragma once
// The text and geometry of the table pane: parameter rows in parameter reception, stream rows in
// file reception, the column separators, and what a right click on a document point offers.
// Row texts are Windows-1251 bytes, one byte per character column (column c lies at x = 7c).

#include <array>
#include <cstdint>
#include <string>

#include "arinc/word.h"
#include "state/acquisition_state.h"
#include "driver/board_image.h"
#include "state/display_table.h"

namespace orv {

inline constexpr int kRowPixels = 16;
inline constexpr int kColumnPixels = 7;
inline constexpr std::size_t kParameterRowWidth = 108;
inline constexpr std::size_t kStreamRowWidth = 51;
// Character columns where the value cells (HEX, OCTAL, M, DECIMAL), the cycle cell and the mask
// count cell of a parameter row begin.
inline constexpr std::size_t kValueColumn = 26;
inline constexpr std::size_t kCycleColumn = 82;
inline constexpr std::size_t kMaskCountColumn = 93;
inline constexpr int kStreamRows = 256;
inline constexpr int kStreamRowX = 70;  // stream rows start under the table's column 10

// Separators of the parameter rows (character columns 10, 17, 26, 39, 54, 61, 82, 93, 108) and of
// the stream rows.
inline constexpr std::array<int, 9> kParameterSeparators = {70, 119, 182, 273, 378, 427, 574, 651, 756};
inline constexpr std::array<int, 6> kStreamSeparators = {70, 119, 182, 273, 378, 427};

// Scroll sizes of the pane: the document is 100 x 4096 pixels once something has been drawn,
// 100 x 100 before.
inline constexpr int kDocumentWidth = 100;
inline constexpr int kDocumentHeight = 4096;
inline constexpr int kInitialDocumentHeight = 100;

// A parameter label as "%8s" writes it: the text up to its first zero byte, right-aligned in eight
// columns.
std::string PaddedLabel(const Label8& label);

// The word a row shows: 0 while the row carries its channel's mask (the acquisition thread owns
// the slot then) and before its first reception since it was loaded or edited; otherwise the last
// complete word the refresh tick received for it. The slot words in `image` are not used: a slot
// the tick has released and read again holds a half-cleared word that was never on the bus.
ArincWord RowValue(const DisplayState& display, const BoardImage& image, int row);

// The match count shown by a masked row: MaskMatchCount of the row's channel (0 for a channel
// outside the tables).
int32_t RowMaskCount(const AcquisitionState& acquisition, const DisplayEntry& entry);

// The 108 characters of a parameter row for `entry` showing word `value`; `maskCount` is shown in
// the last column when the entry carries a mask.
std::string ParameterRowText(const DisplayEntry& entry, ArincWord value, int32_t maskCount);
// Row `row` of the table as the pane draws it.
std::string ParameterRowText(const DisplayState& display, const AcquisitionState& acquisition,
                             const BoardImage& image, int row);

// The 51 characters of stream row `index` (0..255) showing word `word`.
std::string StreamRowText(int index, ArincWord word);
// Word `index` of the capture block at `streamAddress` (low half first).
ArincWord StreamWord(const BoardImage& image, uint16_t streamAddress, int index);

// What the pane draws for the current mode.
enum class TableContent {
    White,       // idle, or an unknown mode: a white pane, scroll sizes set
    NotReady,    // parameter reception while the table is rewritten: white, scroll sizes kept
    Parameters,  // the used entries of the table
    Stream,      // the 256 words of the capture block
};
TableContent ContentOf(uint16_t acquisitionMode, int32_t displayListReady);

// Rows drawn for the content, and where the separators end (16 x rows; 4096 for the stream).
int DrawnRows(TableContent content, const DisplayTable& table);
int SeparatorBottom(TableContent content, const DisplayTable& table);

// ---- Right click ----
enum class Popup {
    PassOn,      // the table is being rewritten: no menu, the click is passed on
    None,        // an occupied row outside the columns that have commands
    Edit,        // menu 153: "редактировать параметр"
    Format,      // menu 151: "изменить формат параметра", "очистить формат параметра"
    SetMask,     // menu 157: "установить маску параметра"
    MaskOps,     // menu 154: "сбросить маску параметра", "трасса параметра"
    Add,         // menu 152: "добавить параметр"
};

struct PopupChoice {
    Popup popup = Popup::PassOn;
    int row = -1;  // the row under the point (the selected row), -1 when the click is passed on
};

// What a right click at document point (x, y) offers. A row below the table's 256 entries counts
// as an empty row.
PopupChoice ChoosePopup(const DisplayState& display, int docX, int docY);

// The row the add command fills: the first free entry, or -1 when all 256 are used.
int FirstFreeRow(const DisplayTable& table);

}  // namespace orv
