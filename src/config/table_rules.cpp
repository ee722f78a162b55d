#include "config/table_rules.h"

#include <cstdint>
#include <string>
#include <type_traits>
#include <unordered_set>

#include "text/code_page.h"
#include "resources/config_strings.h"
#include "config/format_line.h"

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

// The eight characters of a label's length with every letter in capitals, as one number: two such
// texts are equal ignoring letter case (EqualNoCase1251) exactly when their numbers are equal.
static_assert(std::is_same_v<Label8, FixedText<8>>, "a label fills one 64-bit key");
uint64_t CaseFoldedKey(std::string_view text8) {
    uint64_t key = 0;
    for (const char c : text8) key = (key << 8) | uint8_t(UpperCp1251(c));
    return key;
}

// PutLine's refusal of an addition, for each record added in turn: an added line is found by a
// later label when its first eight characters equal that label ignoring case, so a set of those
// beginnings answers what FindPrefix over the whole list answers.
template <class T, class LabelOf, class Render>
std::vector<const char*> Clashes(const std::vector<T>& records, LabelOf label, Render render, const char* clash) {
    std::unordered_set<uint64_t> beginnings;
    beginnings.reserve(records.size());
    std::vector<const char*> out;
    out.reserve(records.size());
    for (const T& record : records) {
        const std::string_view prefix = label(record).View();
        if (beginnings.contains(CaseFoldedKey(prefix))) {
            out.push_back(clash);
            continue;
        }
        const std::string line = render(record);
        if (line.size() >= prefix.size()) beginnings.insert(CaseFoldedKey(std::string_view(line).substr(0, prefix.size())));
        out.push_back(nullptr);
    }
    return out;
}

// What tells the format list from the dictionary: the record, its label, its line both ways and
// the refusals of a label clash. Both lists follow the same rules through the templates below.
struct FormatRules {
    using Record = DecimalFormat;
    static const Label8& LabelOf(const Record& r) { return r.label; }
    static std::string Render(const Record& r) { return RenderFormatLine(r); }
    static Record Parse(std::string_view line) { return ParseFormatLine(line); }
    static constexpr const char* kClashOnAdd = text::kDuplicateFormatOnAdd;
    static constexpr const char* kClashOnEdit = text::kDuplicateFormatOnEdit;
};

struct ParamRules {
    using Record = ParamRecord;
    static const Label8& LabelOf(const Record& r) { return r.paramLabel; }
    static std::string Render(const Record& r) { return RenderParamLine(r); }
    static Record Parse(std::string_view line) { return ParseParamLine(line); }
    static constexpr const char* kClashOnAdd = text::kDuplicateParamOnAdd;
    static constexpr const char* kClashOnEdit = text::kDuplicateParamOnEdit;
};

template <class Rules>
LineList LinesOf(const std::vector<typename Rules::Record>& records) {
    std::vector<std::string> lines;
    lines.reserve(records.size());
    for (const auto& r : records) lines.push_back(Rules::Render(r));
    LineList list(true);
    list.AddAll(std::move(lines));
    return list;
}

template <class Rules>
std::vector<typename Rules::Record> RecordsOf(const LineList& list) {
    std::vector<typename Rules::Record> records;
    for (const auto& line : list.Lines()) records.push_back(Rules::Parse(line));
    return records;
}

template <class Rules>
const char* AddLine(LineList& list, const typename Rules::Record& record) {
    return PutLine(list, LineList::kNone, Rules::LabelOf(record), Rules::Render(record), Rules::kClashOnAdd);
}

template <class Rules>
const char* ReplaceLine(LineList& list, int index, const typename Rules::Record& record) {
    if (index < 0 || index >= list.Count()) return nullptr;
    return PutLine(list, index, Rules::LabelOf(record), Rules::Render(record), Rules::kClashOnEdit);
}

template <class Rules>
std::vector<const char*> LabelClashes(const std::vector<typename Rules::Record>& records) {
    return Clashes(records, Rules::LabelOf, Rules::Render, Rules::kClashOnAdd);
}

}  // namespace

void DeleteAndSelectNext(LineList& list, int index) {
    if (index < 0 || index >= list.Count()) return;
    list.Delete(index);
    list.Select(index);  // no selection when the last line went
}

LineList FormatLines(const std::vector<DecimalFormat>& formats) { return LinesOf<FormatRules>(formats); }
std::vector<DecimalFormat> FormatsOfLines(const LineList& list) { return RecordsOf<FormatRules>(list); }
const char* AddFormatLine(LineList& list, const DecimalFormat& format) { return AddLine<FormatRules>(list, format); }
const char* ReplaceFormatLine(LineList& list, int index, const DecimalFormat& format) {
    return ReplaceLine<FormatRules>(list, index, format);
}
std::vector<const char*> FormatLabelClashes(const std::vector<DecimalFormat>& formats) {
    return LabelClashes<FormatRules>(formats);
}

LineList ParamLines(const std::vector<ParamRecord>& records) { return LinesOf<ParamRules>(records); }
std::vector<ParamRecord> ParamsOfLines(const LineList& list) { return RecordsOf<ParamRules>(list); }
const char* AddParamLine(LineList& list, const ParamRecord& record) { return AddLine<ParamRules>(list, record); }
const char* ReplaceParamLine(LineList& list, int index, const ParamRecord& record) {
    return ReplaceLine<ParamRules>(list, index, record);
}
std::vector<const char*> ParamLabelClashes(const std::vector<ParamRecord>& records) {
    return LabelClashes<ParamRules>(records);
}

}  // namespace orv
