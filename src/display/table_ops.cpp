#include "display/table_ops.h"

#include <algorithm>

#include "resources/display_strings.h"

namespace orv {
namespace {

// A parameter label always marks its row used: a label that starts with a zero byte (which only a
// foreign file can give) would end the table early, so it starts with a blank instead.
Label8 UsedLabel(Label8 label) {
    if (label.First() == '\0') label.SetFirst(' ');
    return label;
}

bool InTable(int row) { return row >= 0 && row < kDisplayRows; }

}  // namespace

const char* SlotRefusal(const DisplayLineRecord& record) {
    if (record.address > 255) return text::kDisplayBadAddress;
    if (!ValidSlot(record.channel, record.address)) return text::kDisplayBadChannel;
    return nullptr;
}

const char* LoadDisplayList(const std::vector<std::string>& lines, DisplayState& display,
                            AcquisitionState& acquisition, BoardState& board,
                            const std::string& formatPath) {
    std::vector<DisplayLineRecord> records;
    for (const auto& line : lines) {
        if (records.size() == std::size_t(kDisplayRows)) break;
        records.push_back(ParseDisplayLine(line));
        if (const char* refusal = SlotRefusal(records.back())) return refusal;
    }
    if (records.empty()) return text::kDisplayListEmpty;

    display.DisplayListReady = 0;
    DisplayTable& table = display.DisplayTable;
    const std::size_t n = records.size();
    for (std::size_t i = 0; i < n; ++i) {
        DisplayEntry& e = table[i];
        e.address = records[i].address;
        e.channel = records[i].channel;
        e.paramLabel = UsedLabel(records[i].paramLabel);
        e.formatLabel = records[i].formatLabel;
        e.receivedCycle = 0;
        e.slot = LabelSlotAddress(e.channel, e.address);
        display.SlotAddresses[i] = e.slot;
    }
    for (std::size_t i = n; i < std::size_t(kDisplayRows); ++i) {
        table[i].MarkFree();
        table[i].slot = 0;
        display.SlotAddresses[i] = 0;
    }

    // Every mask ends with the list it was set on.
    for (auto& e : table) e.maskMode = kMaskOff;
    for (int c = 0; c < kInputChannels; ++c) {
        acquisition.MaskActive[std::size_t(c)] = 0;
        acquisition.MaskMatchCount[std::size_t(c)] = 0;
    }

    // Formats: the file is read once; each record goes to every entry whose label it matches.
    for (std::size_t i = 0; i < n; ++i) table[i].format = DecimalFormat::None();
    for (const DecimalFormat& f : LoadFormats(formatPath)) {
        const std::string_view label = f.label.Trimmed();
        for (std::size_t i = 0; i < n; ++i) {
            DisplayEntry& e = table[i];
            if (!e.formatLabel.IsBlank() && e.formatLabel.Trimmed() == label) e.format = f;
        }
    }

    // The receive side of every input channel of the board, used by the list or not.
    StartInputReception(board);

    acquisition.AcquisitionMode = kParameterReception;
    acquisition.CycleCounter = 0;
    display.DisplayListReady = 1;
    return nullptr;
}

void StartInputReception(BoardState& board) {
    BoardImage& image = board.BoardImage;
    const unsigned channels = std::min<unsigned>(board.InputChannelCount, kInputChannels);
    for (unsigned j = 1; j <= channels; ++j) {
        board.Link.StopChannel(InputChannelCode(j));
        image.Fill(BoardImage::ReceiveArea, BoardImage::ReceiveAreaWords, 0);
        board.Link.WriteRange(uint16_t(BoardImage::ReceiveArea), uint16_t(BoardImage::ReceiveAreaWords));
        image.Fill(BoardImage::InputLabelTable + (j - 1) * 256, 256, 0);
        image.Set(ControlBlock::InputActiveFlags + (j - 1), 1);
        if (board.Link.LoadInputChannel(uint16_t(j)) != 0) continue;
        image.Set(BoardImage::ChannelControlWords + InputChannelCode(j), kParameterReceptionMode);
        if (board.Link.StartInputChannel(uint16_t(j)) == 0) image.Set(ControlBlock::InputActiveFlags + (j - 1), 0);
    }
}

AssignResult AssignEntry(DisplayState& display, int row, const DisplayLineRecord& record,
                         const std::string& formatPath) {
    DisplayTable& table = display.DisplayTable;
    const int used = UsedEntries(table);
    if (!InTable(row) || row > used || !ValidSlot(record.channel, record.address)) return AssignResult::Refused;
    for (int k = 0; k < used; ++k) {
        const DisplayEntry& e = table[std::size_t(k)];
        if (k != row && e.address == record.address && e.channel == record.channel) return AssignResult::Duplicate;
    }

    display.DisplayListReady = 0;
    DisplayEntry& e = table[std::size_t(row)];
    e.address = record.address;
    e.channel = record.channel;
    e.paramLabel = UsedLabel(record.paramLabel);
    e.formatLabel = record.formatLabel;
    e.receivedCycle = 0;
    e.slot = LabelSlotAddress(e.channel, e.address);
    display.SlotAddresses[std::size_t(row)] = e.slot;
    e.format = DecimalFormat::None();
    if (!e.formatLabel.IsBlank()) {
        if (auto f = FindFormat(e.formatLabel.View(), formatPath)) e.format = *f;
    }
    display.DisplayListReady = 1;
    return AssignResult::Assigned;
}

void SetEntryFormat(DisplayState& display, int row, const DecimalFormat& format) {
    if (!InTable(row)) return;
    display.DisplayListReady = 0;
    DisplayEntry& e = display.DisplayTable[std::size_t(row)];
    e.format = format;
    e.formatLabel = format.label;
    display.DisplayListReady = 1;
}

void ClearEntryFormat(DisplayState& display, int row) {
    if (!InTable(row)) return;
    DisplayEntry& e = display.DisplayTable[std::size_t(row)];
    e.formatLabel.Clear();
    e.format.label.Clear();
}

}  // namespace orv
