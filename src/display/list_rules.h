#pragma once
// The decisions of the displayed-parameter editor and of the displayed-list dialogs, on the
// dialogs' working copies (LineList). Functions that may refuse return nullptr when they changed
// the list, or the message to show (UTF-8) when they refused and left it as it was.

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "text/line_list.h"
#include "files/list_file.h"
#include "display/display_line.h"
#include "state/display_table.h"

namespace orv {

inline constexpr int kMaxListLines = 256;

// ---- Displayed-parameter editor ----
// Texts of the editor's fields, Windows-1251; nullopt stands for a text with a character that
// Windows-1251 cannot hold.
struct DisplayParamFields {
    std::optional<std::string> paramLabel;
    std::optional<std::string> channel;      // decimal
    std::optional<std::string> address;      // octal
    std::optional<std::string> formatLabel;
};

struct DisplayParamCheck {
    DisplayLineRecord record;
    const char* error = nullptr;  // UTF-8 message from display_strings.h
    bool ok() const { return error == nullptr; }
};

// Address (octal, 0..377), then channel (decimal, 1..8), then the format label (first word,
// eight blanks when empty, not checked), then the parameter label (first word, required).
DisplayParamCheck CheckDisplayParamFields(const DisplayParamFields& fields);

// The editor's fields for a line of the list: address 25-27, channel 15-16, format label 35-42,
// parameter label 0-7, as they stand.
DisplayParamFields FieldsOfDisplayLine(std::string_view line);
// The editor's fields for a row of the table: labels "%8s", channel "%d", address "%o".
DisplayParamFields FieldsOfEntry(const DisplayEntry& entry);

// ---- List dialog ----
// The lines of the used entries of the table, channels written "%2d".
LineList DisplayLines(const DisplayTable& table);

bool ListFull(const LineList& list);

// Index of the first line (other than `except`) with the record's address and channel, or
// LineList::kNone.
int FindDuplicateLine(const LineList& list, const DisplayLineRecord& record, int except = LineList::kNone);

// "Добавить": appends the record's line (channel "%02d") and selects it.
const char* AddDisplayLine(LineList& list, const DisplayLineRecord& record);
// "Вставить (выше)": inserts the record's line at `index` and selects it.
const char* InsertDisplayLine(LineList& list, int index, const DisplayLineRecord& record);
// "Редактировать": replaces line `index` in place; it stays selected.
const char* ReplaceDisplayLine(LineList& list, int index, const DisplayLineRecord& record);
// "Удалить": deletes line `index` and selects the line now at that index, or the new last line.
void DeleteDisplayLine(LineList& list, int index);

// "Добавить список": appends, for each picked dictionary line in order, the display line of that
// parameter on `channel`, unless a line (picked ones included) has its address and channel, or
// the parameter's address is above 0377 ("ОШИБКА: адрес параметра"). The selection is not changed.
// Returns the messages to show, in order, one per refused parameter. Nothing is appended beyond
// 256 lines.
std::vector<std::string> AddPickedLines(LineList& list, uint16_t channel, const std::vector<std::string>& paramLines);
// The same, telling each clash as the loop meets it: `onClash` gets the list as it stands then
// (the parameters picked before the clash appended) and the message.
void AddPickedLines(LineList& list, uint16_t channel, const std::vector<std::string>& paramLines,
                    const std::function<void(const LineList&, const std::string&)>& onClash);

// The pick dialog's limit: the message when `picked` more lines would take a list of `lines` lines
// beyond 256, else nullopt.
std::optional<std::string> PickLimitMessage(int lines, int picked);

// The pick dialog's channel items, "%2d" from 1 to the board's input count (at most 8), or 1 to 8
// without a board.
std::vector<std::string> ChannelItems(bool boardSelected, unsigned inputChannelCount);
// The channel the pick dialog's channel box names: its text (typed, or the chosen item's) read as a
// decimal number, when that is one of the box's `itemCount` channels 1..itemCount; nullopt else.
std::optional<uint16_t> PickedChannel(std::string_view text, unsigned itemCount);

// ".42i" files: the records of the lines in list order, and the lines of a file's records
// (channels "%02d"), at most 256. A record with no label slot is shown like any other; loading
// the list refuses it.
std::vector<DisplayLineRecord> RecordsOfLines(const LineList& list);
std::vector<std::string> LinesOfRecords(std::span<const DisplayLineRecord> records);

// What "Восстановить из файла" and the --list option take from a ".42i" file: the lines of its
// sound records (at most 256), whether anything of the file was left out (damaged records, a
// trailing partial record, records beyond 256, or a read that failed part way: a save over the
// file then keeps the old one as "<name>.bak"), and the one message to show (UTF-8), if any.
// `whole` is false when reading the file failed part way; `name` is the file as messages name it.
// It is the decoder the dialog gives RestoreListFile (files/list_file.h).
RestoredList RestoreDisplayList(std::span<const uint8_t> bytes, bool whole, std::string_view name);

}  // namespace orv
