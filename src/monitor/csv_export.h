#pragma once
// CSV exports of what the program shows: the parameter trace, the monitor table and the capture
// block of file reception. RFC 4180: fields separated by commas, records ended by CR LF, a field
// quoted when it holds a comma, a double quote or a line break (quotes doubled inside). Text is
// UTF-8 without a byte order mark, the first record is the header, numbers are written in C
// notation whatever the locale.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "arinc/word.h"
#include "config/decimal_format.h"
#include "state/acquisition_state.h"
#include "driver/board_image.h"
#include "state/display_table.h"
#include "monitor/shown_table.h"
#include "monitor/trace_stats.h"

namespace orv {

// One field (UTF-8), quoted when it has to be, or always when `alwaysQuote`.
std::string CsvField(std::string_view text, bool alwaysQuote = false);
// One record: the fields quoted as needed, joined by commas, ended by CR LF.
std::string CsvRecord(const std::vector<std::string>& fields);

// A single-precision value as a plain decimal number (no exponent) of at most 9 significant
// digits, trailing zeros dropped: enough for the text to read back as the same float. Non-finite
// values give an empty text.
std::string PlainDecimal(float value);

// The value cell of a word: PlainDecimal of its DECIMAL value, empty without a format.
std::string ValueCell(ArincWord word, const DecimalFormat& format);
// The units of a format as UTF-8 without padding; empty without a format.
std::string UnitsCell(const DecimalFormat& format);
// A Windows-1251 fixed text as UTF-8, up to its first zero byte, blanks trimmed at both ends.
std::string LabelCell(std::string_view cp1251);

// The trace: index (ring slot), time since the first word and interval (ms), HEX, OCTAL, M,
// value, units, and whether the word fits the mask ("да"/"нет").
std::string TraceCsv(const TraceSnapshot& snapshot, const DecimalFormat& format);

// The rows of the monitor table as a refresh drew them (TakeShownTable): parameter label, channel,
// label (octal), HEX, OCTAL, M, value, units, cycle of the last reception, mask count (empty for a
// row without a mask), stale ("да"/"нет").
std::string TableCsv(const ShownTable& shown);

// The 256 words of the capture block at `streamAddress`: index, label (octal), HEX, OCTAL, M.
std::string BlockCsv(const BoardImage& image, uint16_t streamAddress);

}  // namespace orv
