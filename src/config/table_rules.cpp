#include "config/table_rules.h"

#include "arinc/text.h"
#include "resources/config_strings.h"

namespace orv {
namespace {

std::string_view LabelOf(std::string_view line) { return line.substr(0, std::min<std::size_t>(8, line.size())); }

// Shared by both lists: `label` is the eight-character label of the new line; `index` the line
// being edited, or kNone for an addition.
const char* PutLine(LineList& list, int index, const Label8& label, std::string line, const char* clash) {
    const bool sameLabel = index != LineList::kNone && EqualNoCase1251(LabelOf(list.At(index)), label.View());
    if (!sameLabel) {
        const int found = list.FindPrefix(label.View());
        if (found != LineList::kNone) {
            list.Select(found);
            return clash;
        }
    }
    if (index != LineList::kNone) list.Delete(index);
    list.Select(list.Add(std::move(line)));
    return nullptr;
}

}  // namespace

void DeleteAndSelectNext(LineList& list, int index) {
    if (index < 0 || index >= list.Count()) return;
    list.Delete(index);
    list.Select(index);  // no selection when the last line went
}

LineList FormatLines(const std::vector<DecimalFormat>& formats) {
    LineList list(true);
    for (const auto& f : formats) list.Add(RenderFormatLine(f));
    return list;
}

std::vector<DecimalFormat> FormatsOfLines(const LineList& list) {
    std::vector<DecimalFormat> formats;
    for (const auto& line : list.Lines()) formats.push_back(ParseFormatLine(line));
    return formats;
}

const char* AddFormatLine(LineList& list, const DecimalFormat& format) {
    return PutLine(list, LineList::kNone, format.label, RenderFormatLine(format), text::kDuplicateFormatOnAdd);
}

const char* ReplaceFormatLine(LineList& list, int index, const DecimalFormat& format) {
    if (index < 0 || index >= list.Count()) return nullptr;
    return PutLine(list, index, format.label, RenderFormatLine(format), text::kDuplicateFormatOnEdit);
}

LineList ParamLines(const std::vector<ParamRecord>& records) {
    LineList list(true);
    for (const auto& r : records) list.Add(RenderParamLine(r));
    return list;
}

std::vector<ParamRecord> ParamsOfLines(const LineList& list) {
    std::vector<ParamRecord> records;
    for (const auto& line : list.Lines()) records.push_back(ParseParamLine(line));
    return records;
}

const char* AddParamLine(LineList& list, const ParamRecord& record) {
    return PutLine(list, LineList::kNone, record.paramLabel, RenderParamLine(record), text::kDuplicateParamOnAdd);
}

const char* ReplaceParamLine(LineList& list, int index, const ParamRecord& record) {
    if (index < 0 || index >= list.Count()) return nullptr;
    return PutLine(list, index, record.paramLabel, RenderParamLine(record), text::kDuplicateParamOnEdit);
}

}  // namespace orv
