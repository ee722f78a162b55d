#include "record_checks.h"

#include "arinc/line_list.h"
#include "arinc/text.h"
#include "arinc/word.h"
#include "config/channel_settings.h"
#include "config/record_file.h"
#include "config/format_edit.h"
#include "config/format_file.h"
#include "config/param_edit.h"
#include "config/param_file.h"
#include "config/table_rules.h"
#include "display/display_line_file.h"
#include "display/list_rules.h"
#include "transmit/frame_line.h"
#include "transmit/word_editor.h"

namespace orv::tool {
namespace {

constexpr const char* kNoRoundTrip = "the line does not read back to the same fields: ";

std::string Quoted(const std::string& line) { return "\"" + Utf8FromCp1251(line) + "\""; }

// Each returns the problem of one record (empty when it is sound) and adds it to the list the
// dialog keeps, to find duplicates.
std::string CheckFormat(const DecimalFormat& f, LineList& list) {
    const std::string line = RenderFormatLine(f);
    const FormatCheck check = CheckFormatFields(FieldsOfFormatLine(line));
    if (!check.ok()) return check.error;
    if (!(ParseFormatLine(line) == f)) return kNoRoundTrip + Quoted(line);
    if (const char* refusal = AddFormatLine(list, f)) return refusal;
    return {};
}

std::string CheckParam(const ParamRecord& p, LineList& list) {
    const std::string line = RenderParamLine(p);
    ParamFields fields = FieldsOfParamLine(line);
    const ParamCheck check = CheckParamFields(fields);
    if (!check.ok()) return check.error;
    if (!(ParseParamLine(line) == p)) return kNoRoundTrip + Quoted(line);
    if (const char* refusal = AddParamLine(list, p)) return refusal;
    return {};
}

std::string CheckDisplayLine(const DisplayLineRecord& d, LineList& list) {
    const std::string line = RenderDisplayLine(d);
    const DisplayParamCheck check = CheckDisplayParamFields(FieldsOfDisplayLine(line));
    if (!check.ok()) return check.error;
    if (!(ParseDisplayLine(line) == d)) return kNoRoundTrip + Quoted(line);
    if (ListFull(list)) return "more than 256 lines";
    if (const char* refusal = AddDisplayLine(list, d)) return refusal;
    return {};
}

std::string CheckFrameEntry(const FrameEntry& e) {
    const std::string line = RenderFrameLine(e);
    // Everything the line shows reads back; what it does not show is left as it was.
    FrameEntry back = e;
    ParseFrameLine(line, back);
    if (!(back == e)) return kNoRoundTrip + Quoted(line);
    if (IsPauseLine(line)) return {};
    const FrameLineTexts texts = TextsOfFrameLine(line);
    LineList formats(true);
    if (!e.formatLabel.IsBlank()) formats.Add(RenderFormatLine(e.format));
    FrameEntry current;
    const WordEditorOutcome outcome =
        ApplyWordEditor({texts.address, texts.paramLabel, texts.code, texts.formatLabel}, formats, current);
    if (!outcome.ok()) return outcome.error;
    return {};
}

std::string CheckChannelSetting(std::size_t index, uint16_t word) {
    if (index >= std::size_t(kChannelSettingCount)) return "more than 16 channel settings";
    if (RateCode(word) > 2) return "rate code 3 names no rate";
    return {};
}

}  // namespace

bool IsDamagedRecord(Kind kind, std::size_t index, std::span<const uint8_t> record) {
    if (record.size() != Info(kind).recordSize) return true;
    const RecordOfRowResult again = RecordOfRow(kind, index, RowOfRecord(kind, index, record));
    return !again.ok() || !std::equal(record.begin(), record.end(), again.bytes.begin(), again.bytes.end());
}

std::vector<Problem> CheckRecords(Kind kind, const std::vector<std::vector<uint8_t>>& records,
                                  std::size_t partialBytes) {
    std::vector<Problem> problems;
    LineList list(kind != Kind::DisplayList);
    for (std::size_t i = 0; i < records.size(); ++i) {
        const std::vector<uint8_t>& rec = records[i];
        std::string message;
        if (IsDamagedRecord(kind, i, rec)) {
            message = "damaged record (its bytes are not what the program writes for its fields)";
        } else {
            switch (kind) {
                case Kind::Formats: message = CheckFormat(DecodeFormat(rec), list); break;
                case Kind::Dictionary: message = CheckParam(DecodeParam(rec), list); break;
                case Kind::DisplayList: message = CheckDisplayLine(DecodeDisplayLine(rec), list); break;
                case Kind::Frame: message = CheckFrameEntry(DecodeFrameEntry(rec)); break;
                case Kind::Channels: message = CheckChannelSetting(i, GetU16(rec, 0)); break;
            }
        }
        if (!message.empty()) problems.push_back({i, false, message});
    }
    if (partialBytes != 0)
        problems.push_back({records.size(), true,
                            "the file ends in a partial record of " + std::to_string(partialBytes) + " bytes"});
    if (kind == Kind::Channels && records.size() < std::size_t(kChannelSettingCount) && partialBytes == 0)
        problems.push_back({records.size(), true, "the file holds fewer than 16 channel settings"});
    return problems;
}

}  // namespace orv::tool
