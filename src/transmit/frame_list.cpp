#include "transmit/frame_list.h"
#include <algorithm>

#include "resources/file_strings.h"
#include "resources/transmit_strings.h"
#include "transmit/frame_line.h"

namespace orv {

const char* CheckRoomForSlot(const LineList& list) {
    return list.Count() >= kFrameSlots ? text::kList256 : nullptr;
}

void AppendWordLine(LineList& list, FrameEntry& current) {
    current.number = uint16_t(list.Count());
    list.Insert(LineList::kNone, RenderFrameLine(current));
}

void AppendPauseLines(LineList& list, int length) {
    for (int added = 0; added < length && list.Count() < kFrameSlots; ++added)
        list.Insert(LineList::kNone, RenderPauseLine(unsigned(list.Count())));
}

void InsertWordLine(LineList& list, int selection, FrameEntry& current) {
    current.number = uint16_t(selection);
    list.Insert(selection, RenderFrameLine(current));
    RenumberFrom(list, selection + 1, current);
}

const char* InsertPauseLines(LineList& list, int selection, int length, FrameEntry& current) {
    if (length + list.Count() > kFrameSlots) return text::kInsertOver256;
    for (int k = 0; k < length; ++k) list.Insert(selection, RenderPauseLine(unsigned(selection)));
    RenumberFrom(list, selection + 1, current);
    return nullptr;
}

void RenumberFrom(LineList& list, int from, FrameEntry& current) {
    for (int i = from < 0 ? 0 : from; i < list.Count(); ++i) {
        ParseFrameLine(list.At(i), current);
        current.number = uint16_t(i);
        list.Replace(i, RenderFrameLine(current));
    }
}

void DeleteFrameLine(LineList& list, int selection, FrameEntry& current) {
    if (selection < 0 || selection >= list.Count()) return;
    list.Delete(selection);
    for (int i = selection; i < list.Count(); ++i) {
        ParseFrameLine(list.At(i), current);
        current.number = uint16_t(current.number - 1);
        list.Replace(i, RenderFrameLine(current));
    }
}

void ClearFrameLines(LineList& list) { list.Clear(); }

std::vector<uint8_t> FrameFileBytes(const LineList& list, FrameEntry& current) {
    std::vector<uint8_t> bytes;
    bytes.reserve(std::size_t(list.Count()) * kFrameRecordSize);
    for (const auto& line : list.Lines()) {
        ParseFrameLine(line, current);
        const auto record = EncodeFrameEntry(current);
        bytes.insert(bytes.end(), record.begin(), record.end());
    }
    return bytes;
}

FrameFileRead DecodeFrameFile(std::span<const uint8_t> bytes, FrameEntry& current) {
    FrameFileRead out;
    const std::size_t records = bytes.size() / kFrameRecordSize;
    out.trailingBytes = bytes.size() % kFrameRecordSize;
    const std::size_t taken = std::min(records, kMaxFrameFileRecords);
    out.recordsCut = records - taken;
    for (std::size_t i = 0; i < taken; ++i) {
        const FrameEntry entry = DecodeFrameEntry(bytes.subspan(i * kFrameRecordSize, kFrameRecordSize));
        if (const char* reason = FrameEntryDefect(entry)) {
            out.damaged.push_back({i, reason});
            continue;
        }
        current = entry;
        out.lines.push_back(RenderFrameLine(current));
    }
    return out;
}

FrameFileRead ReadFrameFile(const std::string& path, FrameEntry& current) {
    const FileBytes file = ReadFileBytes(path);
    if (!file.ok()) {
        FrameFileRead out;
        out.status = file.status;
        return out;
    }
    return DecodeFrameFile(file.bytes, current);
}

std::vector<std::string> FrameFileMessages(const FrameFileRead& read, std::string_view name) {
    std::vector<std::string> messages;
    if (read.recordsCut != 0)
        messages.push_back(text::FileMessage(text::kTooLongBefore, name, text::kTooLongMiddle) +
                           std::to_string(kMaxFrameFileRecords));
    if (!read.damaged.empty()) messages.push_back(text::DamagedRecordsMessage(name, read.damaged.size()));
    if (read.trailingBytes != 0) messages.push_back(text::FileMessage(text::kTruncatedBefore, name, text::kTruncatedAfter));
    return messages;
}

RestoredList RestoreFrameList(std::span<const uint8_t> bytes, bool whole, std::string_view name, FrameEntry& current) {
    FrameFileRead read = DecodeFrameFile(bytes, current);
    RestoredList out;
    out.lines = std::move(read.lines);
    out.lossy = read.lossy() || !whole;
    if (!whole) out.messages.push_back(text::FileMessage(text::kFileReadFailed, name));
    for (std::string& m : FrameFileMessages(read, name)) out.messages.push_back(std::move(m));
    return out;
}

std::vector<std::string> FrameFileLines(std::span<const uint8_t> bytes, FrameEntry& current) {
    return DecodeFrameFile(bytes, current).lines;
}

std::vector<std::string> StoredFrameLines(const StoredFrame& frame) {
    std::vector<std::string> lines;
    for (int i = 0; i < kFrameSlots && frame[std::size_t(i)].endFlag == 0; ++i)
        lines.push_back(RenderFrameLine(frame[std::size_t(i)]));
    return lines;
}

}  // namespace orv
