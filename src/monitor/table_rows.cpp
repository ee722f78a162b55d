#include "monitor/table_rows.h"

#include "text/printf_forms.h"

namespace orv {

std::string PaddedLabel(const Label8& label) {
    std::string_view v = label.View();
    v = v.substr(0, std::min(v.find('\0'), v.size()));
    return PadLeft(v, Label8::Size());
}

ArincWord RowValue(const DisplayState& display, const BoardImage&, int row) {
    if (row < 0 || row >= kDisplayRows) return 0;
    const DisplayEntry& entry = display.DisplayTable[std::size_t(row)];
    if (entry.maskMode == kMaskOn || entry.receivedCycle == 0) return 0;
    return entry.receivedWord;
}

int32_t RowMaskCount(const AcquisitionState& acquisition, const DisplayEntry& entry) {
    if (entry.channel < 1 || entry.channel > kInputChannels) return 0;
    return acquisition.MaskMatchCount[std::size_t(entry.channel - 1)].load();
}

std::string ParameterRowText(const DisplayEntry& entry, ArincWord value, int32_t maskCount) {
    std::string row;
    row.reserve(kParameterRowWidth + 3);
    row += ' ';
    row += PaddedLabel(entry.paramLabel);
    row += ' ';
    row += "   ";
    row += FormatDec(entry.channel, 2);
    row += "  ";
    row += "   ";
    row += FormatOct(entry.address, 3, true);
    row += "   ";
    row += "  ";
    row += RenderHex(value);
    row += ' ';
    row += "  ";
    row += RenderOctal(value);
    row += ' ';
    row += "   ";
    row += RenderM(value);
    row += "  ";
    // The DECIMAL cell is cut by the cycle column: only its first 21 characters remain.
    row += RenderDecimal(value, entry.format).substr(0, kDecimalWidth);
    row += ' ';
    row += FormatDec(entry.receivedCycle, 10);
    std::string mask;
    if (entry.maskMode == kMaskOn) mask = "    " + FormatDec(maskCount, 10);
    row += PadLeft(mask, 14);
    row += ' ';
    return row;
}

std::string ParameterRowText(const DisplayState& display, const AcquisitionState& acquisition,
                             const BoardImage& image, int row) {
    const DisplayEntry& entry = display.DisplayTable[std::size_t(row)];
    return ParameterRowText(entry, RowValue(display, image, row), RowMaskCount(acquisition, entry));
}

std::string StreamRowText(int index, ArincWord word) {
    std::string row;
    row.reserve(kStreamRowWidth);
    row += "  ";
    row += FormatDec(index, 3, true);
    row += "  ";
    row += "   ";
    row += RenderAddress(WordLabel(word));
    row += "   ";
    row += "  ";
    row += RenderHex(word);
    row += ' ';
    row += "  ";
    row += RenderOctal(word);
    row += ' ';
    row += "   ";
    row += RenderM(word);
    row += "  ";
    return row;
}

ArincWord StreamWord(const BoardImage& image, uint16_t streamAddress, int index) {
    return image.Get32(uint32_t(streamAddress) + 2u * uint32_t(index));
}

TableContent ContentOf(uint16_t acquisitionMode, int32_t displayListReady) {
    switch (acquisitionMode) {
        case 1: return displayListReady == 0 ? TableContent::NotReady : TableContent::Parameters;
        case 2: return TableContent::Stream;
        default: return TableContent::White;
    }
}

int DrawnRows(TableContent content, const DisplayTable& table) {
    switch (content) {
        case TableContent::Parameters: return UsedEntries(table);
        case TableContent::Stream: return kStreamRows;
        default: return 0;
    }
}

int SeparatorBottom(TableContent content, const DisplayTable& table) {
    if (content == TableContent::Stream) return kDocumentHeight;
    return kRowPixels * DrawnRows(content, table);
}

PopupChoice ChoosePopup(const DisplayState& display, int docX, int docY) {
    if (display.DisplayListReady == 0) return {};
    PopupChoice choice;
    choice.row = docY < 0 ? 0 : docY / kRowPixels;
    const bool occupied =
        choice.row < kDisplayRows && display.DisplayTable[std::size_t(choice.row)].Used();
    if (!occupied) {
        choice.popup = Popup::Add;
        return choice;
    }
    const DisplayEntry& entry = display.DisplayTable[std::size_t(choice.row)];
    if (docX <= 182) choice.popup = Popup::Edit;
    else if (docX >= 427 && docX <= 574) choice.popup = Popup::Format;
    else if (docX >= 651 && docX <= 756) choice.popup = entry.maskMode == 0 ? Popup::SetMask : Popup::MaskOps;
    else choice.popup = Popup::None;
    return choice;
}

int FirstFreeRow(const DisplayTable& table) {
    for (int r = 0; r < kDisplayRows; ++r)
        if (!table[std::size_t(r)].Used()) return r;
    return -1;
}

}  // namespace orv
