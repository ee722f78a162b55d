#pragma once
// What the format table and the dictionary dialogs do to their list of lines when the user adds,
// edits or deletes a line. Lines begin with their eight-character label, so a label clash is a
// case-insensitive prefix search over all lines. Each function returns nullptr when it changed the
// list, or the message to show (UTF-8) when it refused and left the lines as they were.

#include <string_view>
#include <vector>

#include "text/line_list.h"
#include "config/decimal_format.h"
#include "config/param_line.h"

namespace orv {

// Deletes line `index` and selects the line that moved into its place (none if it was the last).
void DeleteAndSelectNext(LineList& list, int index);

// ---- Decimal formats ----
// The list of the formats' lines as adding them one by one leaves it (n log n).
LineList FormatLines(const std::vector<DecimalFormat>& formats);
std::vector<DecimalFormat> FormatsOfLines(const LineList& list);
// Adds the format's line and selects it; a label already in the list is refused and its line
// selected.
const char* AddFormatLine(LineList& list, const DecimalFormat& format);
// Replaces line `index` by the format's line (at its sorted place) and selects it; a new label
// that another line already has is refused and that line selected.
const char* ReplaceFormatLine(LineList& list, int index, const DecimalFormat& format);
// What AddFormatLine answers for each format in turn when they are added one by one to an empty
// list (nullptr: added; else the refusal of a label already there, so the first of two is kept),
// in n log n: the check of a whole file.
std::vector<const char*> FormatLabelClashes(const std::vector<DecimalFormat>& formats);

// ---- Dictionary ----
LineList ParamLines(const std::vector<ParamRecord>& records);
std::vector<ParamRecord> ParamsOfLines(const LineList& list);
const char* AddParamLine(LineList& list, const ParamRecord& record);
// The refusal of an edit is a question (OK/Cancel); either answer leaves the list unchanged.
const char* ReplaceParamLine(LineList& list, int index, const ParamRecord& record);
// As FormatLabelClashes, for AddParamLine.
std::vector<const char*> ParamLabelClashes(const std::vector<ParamRecord>& records);

}  // namespace orv
