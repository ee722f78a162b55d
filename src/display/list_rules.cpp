#include "display/list_rules.h"

#include <algorithm>

#include "text/code_page.h"
#include "text/printf_forms.h"
#include "text/scanf_forms.h"
#include "display/display_line_file.h"
#include "display/table_ops.h"
#include "resources/file_strings.h"
#include "resources/display_strings.h"
#include "config/param_line.h"

namespace orv {
namespace {

// The first blank-separated word of a field, as a "%s" conversion reads it.
std::string_view FirstWord(const std::optional<std::string>& text) {
    if (!text) return {};
    const std::string_view t = Trim(*text);
    return t.substr(0, std::min(t.find_first_of(" \t"), t.size()));
}

bool SameSlot(const DisplayLineRecord& a, const DisplayLineRecord& b) {
    return a.address == b.address && a.channel == b.channel;
}

}  // namespace

DisplayParamCheck CheckDisplayParamFields(const DisplayParamFields& fields) {
    DisplayParamCheck check;
    const auto number = [](const std::optional<std::string>& text, auto scan) -> std::optional<long long> {
        if (!text) return std::nullopt;
        const std::string_view t = Trim(*text);
        if (t.empty()) return std::nullopt;
        return scan(t);
    };
    const auto address = number(fields.address, [](std::string_view t) { return ScanOct(t); });
    if (!address || *address < 0 || *address > 255) {
        check.error = text::kDisplayBadAddress;
        return check;
    }
    const auto channel = number(fields.channel, [](std::string_view t) { return ScanDec(t); });
    if (!channel || *channel < 1 || *channel > kInputChannels) {
        check.error = text::kDisplayBadChannel;
        return check;
    }
    check.record.address = uint16_t(*address);
    check.record.channel = uint16_t(*channel);
    check.record.formatLabel.Assign(FirstWord(fields.formatLabel));
    const std::string_view label = FirstWord(fields.paramLabel);
    if (label.empty()) {
        check.error = text::kDisplayNoParamLabel;
        return check;
    }
    check.record.paramLabel.Assign(label);
    return check;
}

DisplayParamFields FieldsOfDisplayLine(std::string_view line) {
    return {std::string(Columns(line, 0, 8)), std::string(Columns(line, 15, 2)), std::string(Columns(line, 25, 3)),
            std::string(Columns(line, 35, 8))};
}

DisplayParamFields FieldsOfEntry(const DisplayEntry& entry) {
    return {entry.paramLabel.Str(), FormatDec(entry.channel), FormatOct(entry.address), entry.formatLabel.Str()};
}

LineList DisplayLines(const DisplayTable& table) {
    LineList list(false);
    const int n = UsedEntries(table);
    for (int i = 0; i < n; ++i) {
        const DisplayEntry& e = table[std::size_t(i)];
        DisplayLineRecord r;
        r.address = e.address;
        r.channel = e.channel;
        r.formatLabel = e.formatLabel;
        r.paramLabel = e.paramLabel;
        list.Add(RenderDisplayLine(r, ChannelForm::BlankPadded));
    }
    return list;
}

bool ListFull(const LineList& list) { return list.Count() >= kMaxListLines; }

int FindDuplicateLine(const LineList& list, const DisplayLineRecord& record, int except) {
    for (int i = 0; i < list.Count(); ++i) {
        if (i != except && SameSlot(ParseDisplayLine(list.At(i)), record)) return i;
    }
    return LineList::kNone;
}

const char* AddDisplayLine(LineList& list, const DisplayLineRecord& record) {
    if (ListFull(list)) return text::kDisplayListFull;
    if (FindDuplicateLine(list, record) != LineList::kNone) return text::kDisplayDuplicate;
    list.Select(list.Insert(LineList::kNone, RenderDisplayLine(record)));
    return nullptr;
}

const char* InsertDisplayLine(LineList& list, int index, const DisplayLineRecord& record) {
    if (index < 0 || index >= list.Count()) return text::kDisplayPickParam;
    if (ListFull(list)) return text::kDisplayListFull;
    if (FindDuplicateLine(list, record) != LineList::kNone) return text::kDisplayDuplicate;
    list.Select(list.Insert(index, RenderDisplayLine(record)));
    return nullptr;
}

const char* ReplaceDisplayLine(LineList& list, int index, const DisplayLineRecord& record) {
    if (index < 0 || index >= list.Count()) return text::kDisplayPickParam;
    if (FindDuplicateLine(list, record, index) != LineList::kNone) return text::kDisplayDuplicate;
    list.Replace(index, RenderDisplayLine(record));
    list.Select(index);
    return nullptr;
}

void DeleteDisplayLine(LineList& list, int index) {
    if (index < 0 || index >= list.Count()) return;
    list.Delete(index);
    list.Select(std::min(index, list.Count() - 1));
}

std::vector<std::string> AddPickedLines(LineList& list, uint16_t channel, const std::vector<std::string>& paramLines) {
    std::vector<std::string> messages;
    AddPickedLines(list, channel, paramLines,
                   [&](const LineList&, const std::string& message) { messages.push_back(message); });
    return messages;
}

void AddPickedLines(LineList& list, uint16_t channel, const std::vector<std::string>& paramLines,
                    const std::function<void(const LineList&, const std::string&)>& onClash) {
    const int selection = list.Selection();
    for (const auto& line : paramLines) {
        const ParamRecord p = ParseParamLine(line);
        DisplayLineRecord r;
        r.address = p.address;
        r.channel = channel;
        r.formatLabel = p.formatLabel;
        r.paramLabel = p.paramLabel;
        // A dictionary address above 0377 names no label slot: refused as the editor refuses it.
        if (const char* refusal = SlotRefusal(r)) {
            onClash(list, refusal);
            continue;
        }
        bool clash = false;
        for (int i = 0; i < list.Count(); ++i) {
            if (!SameSlot(ParseDisplayLine(list.At(i)), r)) continue;
            clash = true;
            std::string message = text::kDisplayDuplicateNamed;
            message.replace(message.find("%s"), 2, Utf8FromCp1251(p.paramLabel.View()));
            onClash(list, message);
        }
        if (!clash && !ListFull(list)) list.Insert(LineList::kNone, RenderDisplayLine(r));
    }
    list.Select(selection);
}

std::optional<std::string> PickLimitMessage(int lines, int picked) {
    if (lines + picked <= kMaxListLines) return std::nullopt;
    std::string message = text::kParamPickLimit;
    message.replace(message.find("%d"), 2, FormatDec(kMaxListLines - lines));
    return message;
}

std::vector<std::string> ChannelItems(bool boardSelected, unsigned inputChannelCount) {
    const unsigned count = boardSelected ? std::min<unsigned>(inputChannelCount, kInputChannels) : kInputChannels;
    std::vector<std::string> items;
    for (unsigned c = 1; c <= count; ++c) items.push_back(FormatDec(c, 2));
    return items;
}

std::optional<uint16_t> PickedChannel(std::string_view text, unsigned itemCount) {
    const std::string_view t = Trim(text);
    if (t.empty() || t.size() > 3 || !std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const auto v = ScanDec(t);
    if (!v || *v < 1 || *v > (long long)itemCount) return std::nullopt;
    return uint16_t(*v);
}

std::vector<DisplayLineRecord> RecordsOfLines(const LineList& list) {
    std::vector<DisplayLineRecord> records;
    for (const auto& line : list.Lines()) records.push_back(ParseDisplayLine(line));
    return records;
}

std::vector<std::string> LinesOfRecords(std::span<const DisplayLineRecord> records) {
    std::vector<std::string> lines;
    for (const auto& r : records) {
        if (lines.size() == std::size_t(kMaxListLines)) break;
        lines.push_back(RenderDisplayLine(r));
    }
    return lines;
}

RestoredList RestoreDisplayList(std::span<const uint8_t> bytes, bool whole, std::string_view name) {
    const RecordFileRead<DisplayLineRecord> read = DecodeDisplayLineFile(bytes);
    RestoredList out;
    out.lines = LinesOfRecords(read.records);
    const std::size_t leftOut = read.damaged.size() + (read.trailingBytes != 0 ? 1 : 0);
    out.lossy = leftOut != 0 || !whole || read.records.size() > out.lines.size();
    if (!whole) out.messages.push_back(text::FileMessage(text::kFileReadFailed, name));
    else if (leftOut != 0) out.messages.push_back(text::DamagedRecordsMessage(name, leftOut));
    return out;
}

}  // namespace orv
