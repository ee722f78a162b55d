#include "transmit/frame_line.h"

#include <algorithm>
#include <bit>

#include "text/printf_forms.h"
#include "text/scanf_forms.h"
#include "config/format_file.h"
#include "config/format_line.h"
#include "files/record_read.h"
#include "resources/file_strings.h"

namespace orv {
namespace {

// Writes `text` into `line` at `col`, growing the line with blanks when needed; a later field
// overwrites the blank tail of an earlier one.
void Put(std::string& line, std::size_t col, std::string_view text) {
    if (line.size() < col + text.size()) line.resize(col + text.size(), ' ');
    std::copy(text.begin(), text.end(), line.begin() + std::ptrdiff_t(col));
}

// The entry's format under the label the entry carries.
DecimalFormat LabelledFormat(const FrameEntry& entry) {
    DecimalFormat f = entry.format;
    f.label = entry.formatLabel;
    return f;
}

}  // namespace

bool IsPauseEntry(const FrameEntry& entry) { return entry.pause != 0 || entry.paramLabel.IsBlank(); }

std::string RenderPauseLine(unsigned number) {
    std::string line = "  " + FormatHex(number, 3, true) + std::string(12, ' ');
    line += kPauseWord;
    line += ' ';
    return line;
}

std::string RenderFrameLine(const FrameEntry& entry) {
    if (IsPauseEntry(entry)) return RenderPauseLine(entry.number);
    std::string line;
    Put(line, 0, "  " + FormatHex(entry.number, 3, true) + "    ");
    Put(line, kColParamLabel, PadLeft(ShownText(entry.paramLabel).View(), 8) + std::string(11, ' '));
    Put(line, kColAddress, RenderAddress(entry.address & 0xFF) + std::string(8, ' '));
    Put(line, kColHex, RenderHex(entry.word) + std::string(9, ' '));
    Put(line, kColOctal, RenderOctal(entry.word) + std::string(8, ' '));
    Put(line, kColM, PadLeft(RenderM(entry.word), 2, '0') + std::string(9, ' '));
    line.resize(kColDecimal, ' ');
    if (entry.formatLabel.IsBlank()) {
        line.append(kFrameNoFormatLineLength - kColDecimal, ' ');
        return line;
    }
    const DecimalFormat f = LabelledFormat(entry);
    line += RenderDecimal(entry.word, f).substr(0, kDecimalWidth);
    line += RenderFormatLine(f);
    return line;
}

void ParseFrameLine(std::string_view line, FrameEntry& entry) {
    entry.number = uint16_t(ScanHex(Columns(line, kColNumber, 3)).value_or(0));
    entry.endFlag = 0;
    entry.paramLabel.Assign(Columns(line, kColParamLabel, 8));
    if (Columns(line, kColAddress, 1) == kPauseWord.substr(0, 1)) {
        entry.pause = 1;
        return;
    }
    entry.pause = 0;
    entry.address = uint16_t(ScanOct(Columns(line, kColAddress, 3)).value_or(0) & 0xFF);
    entry.word = ArincWord(ScanHex(Columns(line, kColHex + 2, 8)).value_or(0));
    entry.formatLabel.Assign(Columns(line, kColFormat, 8));
    if (!entry.formatLabel.IsBlank()) entry.format = ParseFormatLine(Columns(line, kColFormat, std::string_view::npos));
}

bool IsPauseLine(std::string_view line) { return line.size() <= kColParamLabel || line[kColParamLabel] == ' '; }

FrameLineTexts TextsOfFrameLine(std::string_view line) {
    return {std::string(Columns(line, kColAddress, 3)), std::string(Columns(line, kColParamLabel, 8)),
            std::string(Columns(line, kColFormat, 8)), std::string(Columns(line, kColCode, 6))};
}

std::array<uint8_t, kFrameRecordSize> EncodeFrameEntry(const FrameEntry& entry) {
    std::array<uint8_t, kFrameRecordSize> rec{};
    EncodeFields<FrameEntry>(kFrameFields, entry, rec);
    const auto format = EncodeFormat(entry.format);
    std::copy(format.begin(), format.end(), rec.begin() + kFrameFormatAt);
    return rec;
}

FrameEntry DecodeFrameEntry(std::span<const uint8_t> record) {
    FrameEntry e;
    DecodeFields<FrameEntry>(kFrameFields, record, e);
    e.formatLabel = ShownText(e.formatLabel);
    e.paramLabel = ShownText(e.paramLabel);
    e.format = DecodeFormat(record.subspan(kFrameFormatAt, kFormatRecordSize));
    e.format.label = ShownText(e.format.label);
    e.format.units = ShownText(e.format.units);
    return e;
}

const char* FrameEntryDefect(const FrameEntry& entry) {
    if (entry.number > kMaxFrameLineNumber) return text::kDefectColumns;
    if (IsPauseEntry(entry)) return nullptr;
    if (TextsHoldControlCharacter<FrameEntry>(kFrameFields, entry)) return text::kDefectControl;
    FrameEntry back;
    ParseFrameLine(RenderFrameLine(entry), back);
    if (back.pause != 0 || back.address != entry.address || back.word != entry.word ||
        back.number != entry.number || back.paramLabel != ShownText(entry.paramLabel) ||
        back.formatLabel != ShownText(entry.formatLabel))
        return text::kDefectColumns;
    if (entry.formatLabel.IsBlank()) return nullptr;
    if (HasControlCharacter(entry.format.units.View())) return text::kDefectControl;
    const DecimalFormat& f = entry.format;
    // The weight travels as six-decimal text: one that text does not give back exactly (only a
    // foreign file holds one) would change the DECIMAL column of the line at the next save.
    if (back.format.msbBit != f.msbBit || back.format.lsbBit != f.lsbBit || back.format.bit29Role != f.bit29Role ||
        Trim(back.format.units.Trimmed()) != Trim(f.units.Trimmed()) ||
        std::bit_cast<uint32_t>(back.format.msbWeight) != std::bit_cast<uint32_t>(f.msbWeight))
        return text::kDefectColumns;
    return nullptr;
}

}  // namespace orv
