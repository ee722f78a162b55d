#include "transmit/word_editor.h"

#include <optional>

#include "text/printf_forms.h"
#include "text/scanf_forms.h"
#include "arinc/word.h"
#include "config/decimal_format.h"
#include "config/format_line.h"
#include "resources/transmit_strings.h"

namespace orv {
namespace {

std::string MOfCode(uint32_t code) { return RenderM(ArincWord(code) << 8); }

}  // namespace

bool IsNoFormatText(std::string_view formatLabel) { return Trim(formatLabel).empty(); }

int FindFormatLine(const LineList& formats, std::string_view formatLabel) {
    const std::string wanted = PadRight(formatLabel, 8);
    for (int i = 0; i < formats.Count(); ++i)
        if (std::string_view(formats.At(i)).substr(0, 8) == wanted) return i;
    return LineList::kNone;
}

std::optional<uint32_t> ReadCode(std::string_view code) {
    const std::string_view t = Trim(code);
    if (t.empty() || t.front() == '-' || t.front() == '+') return std::nullopt;
    const auto v = ScanHex(t);
    if (!v || *v < 0 || *v > 0xFFFFFFFFll) return std::nullopt;
    return uint32_t(*v);
}

WordEditorOutcome ApplyWordEditor(const WordEditorTexts& texts, const LineList& formats, FrameEntry& current) {
    WordEditorOutcome out;
    // 1. Address: octal, 0..377.
    const std::string_view address = Trim(texts.address);
    const auto a = address.empty() || address.front() == '-' ? std::nullopt : ScanOct(address);
    if (!a || *a < 0 || *a > 255) {
        out.error = text::kBadAddress;
        return out;
    }
    current.address = uint16_t(*a);
    // 2. Parameter label, blank-padded to eight characters.
    const std::string_view label = Trim(texts.paramLabel);
    if (label.empty()) {
        out.error = text::kBadLabel;
        return out;
    }
    current.paramLabel.Assign(label);
    // 3. Code: the word of code and address, a word slot.
    const auto code = ReadCode(texts.code);
    if (!code) {
        out.error = text::kBadCode;
        return out;
    }
    current.word = ComposeWord(*code, current.address);
    current.pause = 0;
    // 4. Format from the list; a label missing there is reported and the word kept without a
    // format: a made-up format of zero fields would show its DECIMAL as a plausible "+0.000000e+000".
    std::string_view formatLabel = Trim(texts.formatLabel);
    if (!IsNoFormatText(texts.formatLabel)) {
        out.formatLine = FindFormatLine(formats, texts.formatLabel);
        if (out.formatLine != LineList::kNone) {
            current.format = ParseFormatLine(formats.At(out.formatLine));
        } else {
            out.formatMissing = true;
            current.format = DecimalFormat::None();
            formatLabel = {};
        }
    }
    // 5. Format label, eight blanks for none.
    current.formatLabel.Assign(formatLabel);
    return out;
}

namespace {
// M and DECIMAL of a typed code. `formatFor` gives the format to render with, or nullopt when it
// cannot be found (it may note the reason in the view).
template <typename FormatFor>
CodeView ViewOfCode(std::string_view code, std::string_view formatLabel, FormatFor formatFor) {
    CodeView view;
    const auto v = ReadCode(code);
    if (!v) {  // no number: DECIMAL shows nothing
        view.decimal = std::string();
        return view;
    }
    view.m = MOfCode(*v);
    if (IsNoFormatText(formatLabel)) {
        view.decimal = " ";
        return view;
    }
    if (const std::optional<DecimalFormat> f = formatFor(view))
        view.decimal = RenderDecimal(ArincWord(*v) << 8, *f);
    return view;
}
}  // namespace

CodeView CheckCodeWithList(std::string_view code, std::string_view formatLabel, const LineList& formats) {
    return ViewOfCode(code, formatLabel, [&](CodeView& view) -> std::optional<DecimalFormat> {
        view.formatLine = FindFormatLine(formats, formatLabel);
        if (view.formatLine == LineList::kNone) {
            view.error = text::kFormatMissing;
            return std::nullopt;
        }
        return ParseFormatLine(formats.At(view.formatLine));
    });
}

CodeView CheckCodeWithFormat(std::string_view code, std::string_view formatLabel, const DecimalFormat& format) {
    return ViewOfCode(code, formatLabel, [&](CodeView&) -> std::optional<DecimalFormat> {
        DecimalFormat f = format;
        f.label.Assign(Trim(formatLabel));
        return f;
    });
}

std::optional<uint16_t> ReadPauseLength(std::string_view text) {
    const auto v = ScanDec(text);
    if (!v || *v < 0 || *v > 255) return std::nullopt;
    return uint16_t(*v);
}

const char* ApplyCodeChange(std::string_view code, FrameEntry& current) {
    const auto v = ReadCode(code);
    if (!v) return text::kBadCode;
    current.word = ComposeWord(*v, current.address);
    return nullptr;
}

}  // namespace orv
