#include "file_reads.h"

#include <algorithm>

#include "text/line_list.h"
#include "config/channel_settings.h"
#include "config/format_file.h"
#include "config/param_file.h"
#include "files/record_read.h"
#include "files/settings_guard.h"
#include "config/table_rules.h"
#include "display/display_line_file.h"
#include "display/list_rules.h"
#include "display/table_ops.h"
#include "resources/display_strings.h"
#include "transmit/frame_list.h"

namespace orv::tool {
namespace {

void LeaveOut(const std::vector<DamagedRecord>& damaged, FileRead& out) {
    for (const DamagedRecord& d : damaged) out.problems.push_back({d.index, false, true, d.reason});
}

void LeaveOutFile(std::string message, FileRead& out) { out.problems.push_back({0, true, true, std::move(message)}); }

void LeaveOutTrailing(std::size_t trailingBytes, FileRead& out) {
    if (trailingBytes != 0)
        LeaveOutFile("the file ends in a partial record of " + std::to_string(trailingBytes) + " bytes", out);
}

void Tell(std::string message, FileRead& out) {
    if (!message.empty()) out.told.push_back(std::move(message));
}

// The file index of each record a reader kept: the indexes of the file's records that are not
// among its damaged ones.
template <class T>
std::vector<std::size_t> KeptIndexes(const RecordFileRead<T>& read) {
    std::vector<std::size_t> kept;
    std::size_t index = 0;
    for (const DamagedRecord& d : read.damaged) {
        while (index < d.index) kept.push_back(index++);
        index = d.index + 1;
    }
    while (kept.size() < read.records.size()) kept.push_back(index++);
    return kept;
}

// A settings table file (formats or dictionary): the dialog's list, in which `add` refuses a
// label that is already there (`clashes` answers for the whole file at once). Without `full` only
// the problems are gathered.
template <class T, class RowOf, class Lines, class Clashes>
void TakeTable(const RecordFileRead<T>& read, std::string_view name, RowOf rowOf, Lines lines, Clashes clashes,
               bool full, FileRead& out) {
    LeaveOut(read.damaged, out);
    LeaveOutTrailing(read.trailingBytes, out);
    const std::vector<std::size_t> kept = KeptIndexes(read);
    const std::vector<const char*> refusals = clashes(read.records);
    if (full) out.rows.reserve(read.records.size());
    for (std::size_t i = 0; i < read.records.size(); ++i) {
        if (full) out.rows.push_back(rowOf(read.records[i]));
        if (refusals[i]) out.problems.push_back({kept[i], false, false, refusals[i]});
    }
    if (full) out.lines = lines(read.records).Lines();
    Tell(GuardOf(read, std::string(name)).openMessage, out);
}

void TakeDisplayList(std::span<const uint8_t> bytes, std::string_view name, FileRead& out) {
    const RecordFileRead<DisplayLineRecord> read = DecodeDisplayLineFile(bytes);
    LeaveOut(read.damaged, out);
    LeaveOutTrailing(read.trailingBytes, out);
    const std::vector<std::size_t> kept = KeptIndexes(read);
    LineList list(false);
    for (std::size_t i = 0; i < read.records.size(); ++i) {
        // The list dialog takes the first 256 records it keeps.
        if (i >= std::size_t(kMaxListLines)) {
            out.problems.push_back({kept[i], false, true, text::kDisplayListFull});
            continue;
        }
        out.rows.push_back(RowOfDisplayLine(read.records[i]));
        // Kept in the list, but loading the list refuses a line with no label slot.
        if (const char* refusal = SlotRefusal(read.records[i])) out.problems.push_back({kept[i], false, false, refusal});
        if (const char* clash = AddDisplayLine(list, read.records[i]))
            out.problems.push_back({kept[i], false, false, clash});
    }
    out.lines = LinesOfRecords(read.records);
    Tell(GuardOf(read, std::string(name)).openMessage, out);
}

void TakeChannelSettings(std::span<const uint8_t> bytes, std::string_view name, FileRead& out) {
    // Over the cleared table, as the settings dialog restores it.
    ChannelSettingTable table{};
    const ChannelSettingsRead read = DecodeChannelSettings(table, bytes);
    LeaveOut(read.damaged, out);
    if (bytes.size() > kChannelSettingsFileBytes)
        LeaveOutFile("the program reads the first " + std::to_string(kChannelSettingsFileBytes) + " bytes only; " +
                         std::to_string(bytes.size() - kChannelSettingsFileBytes) + " more are not read",
                     out);
    const std::size_t taken = std::min(bytes.size(), kChannelSettingsFileBytes);
    for (std::size_t w = 0; 2 * w < taken; ++w) {
        if (std::any_of(read.damaged.begin(), read.damaged.end(), [&](const DamagedRecord& d) { return d.index == w; }))
            continue;
        const uint16_t setting = table[w];
        if (2 * w + 1 == taken)
            out.notInText.push_back({w, false, false, "a setting of one byte (its low byte only)"});
        else if (setting != BoardSettingWord(setting))
            out.notInText.push_back({w, false, false, "bits above 2 are set; the text holds the rate and parity only"});
        out.rows.push_back(RowOfChannelSetting(w, setting));
    }
    for (int c = 1; c <= kSettingsPerKind; ++c) out.lines.push_back(InputChannelLine(c, table[std::size_t(InputSettingIndex(c))]));
    out.lines.emplace_back();
    for (int c = 1; c <= kSettingsPerKind; ++c) out.lines.push_back(OutputChannelLine(c, table[std::size_t(OutputSettingIndex(c))]));
    Tell(GuardOfRead(std::string(name), read.status, read.damaged.size()).openMessage, out);
}

void TakeFrame(std::span<const uint8_t> bytes, std::string_view name, FileRead& out) {
    FrameEntry current;
    FrameFileRead read = DecodeFrameFile(bytes, current);
    LeaveOut(read.damaged, out);
    const std::size_t taken = bytes.size() / kFrameRecordSize - read.recordsCut;
    for (std::size_t i = 0, d = 0; i < taken; ++i) {
        if (d < read.damaged.size() && read.damaged[d].index == i) {
            ++d;
            continue;
        }
        out.rows.push_back(RowOfFrameEntry(DecodeFrameEntry(bytes.subspan(i * kFrameRecordSize, kFrameRecordSize))));
    }
    out.lines = std::move(read.lines);
    out.told = FrameFileMessages(read, name);
    // The records beyond the line numbers and a trailing partial record, as the dialog tells them;
    // the damaged records are named one by one above.
    read.damaged.clear();
    for (std::string& message : FrameFileMessages(read, name)) LeaveOutFile(std::move(message), out);
}

FileRead Read(Kind kind, std::span<const uint8_t> bytes, std::string_view name, bool full) {
    FileRead out;
    switch (kind) {
        case Kind::Formats:
            TakeTable(DecodeFormatFile(bytes), name, RowOfFormat, FormatLines, FormatLabelClashes, full, out);
            break;
        case Kind::Dictionary:
            TakeTable(DecodeParamFile(bytes), name, RowOfParam, ParamLines, ParamLabelClashes, full, out);
            break;
        case Kind::Channels: TakeChannelSettings(bytes, name, out); break;
        case Kind::DisplayList: TakeDisplayList(bytes, name, out); break;
        case Kind::Frame: TakeFrame(bytes, name, out); break;
    }
    std::stable_sort(out.problems.begin(), out.problems.end(), [](const Problem& a, const Problem& b) {
        return a.whole != b.whole ? b.whole : !a.whole && a.record < b.record;
    });
    return out;
}

}  // namespace

FileRead ReadAsProgram(Kind kind, std::span<const uint8_t> bytes, std::string_view name) {
    return Read(kind, bytes, name, true);
}

std::vector<Problem> ProblemsAsProgram(Kind kind, std::span<const uint8_t> bytes, std::string_view name) {
    return Read(kind, bytes, name, false).problems;
}

}  // namespace orv::tool
