// Every list line parser and editor check on any text: the lines of the three tables and of the
// frame, the fields the editors cut from them, the editors' checks, the word editor, the code and
// pause fields and the save chooser's name completion. Nothing may fault; what an editor accepts
// must give a sound record.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "config/format_line.h"
#include "config/param_line.h"
#include "display/display_line.h"
#include "capture/file_chooser.h"
#include "config/format_edit.h"
#include "config/format_file.h"
#include "config/param_edit.h"
#include "config/param_file.h"
#include "display/display_line_file.h"
#include "display/list_rules.h"
#include "fuzz_check.h"
#include "transmit/frame_line.h"
#include "transmit/word_editor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace orv;
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    // List lines never hold a zero byte (fields are cut at theirs): only such lines promise a
    // sound record back.
    const bool listLine = line.find('\0') == std::string_view::npos;

    (void)RenderFormatLine(ParseFormatLine(line));
    const FormatCheck format = CheckFormatFields(FieldsOfFormatLine(line));
    if (listLine && format.ok() && !HasControlCharacter(format.format.label.View()) &&
        !HasControlCharacter(format.format.units.View()) && format.format.msbBit < 100)
        FUZZ_CHECK(FormatRecordDefect(ParseFormatLine(RenderFormatLine(format.format))) == nullptr);

    (void)RenderParamLine(ParseParamLine(line));
    const ParamCheck param = CheckParamFields(FieldsOfParamLine(line));
    if (listLine && param.ok() && !HasControlCharacter(param.record.paramLabel.View()) &&
        !HasControlCharacter(param.record.formatLabel.View()))
        FUZZ_CHECK(ParamRecordDefect(param.record) == nullptr);

    (void)RenderDisplayLine(ParseDisplayLine(line));
    const DisplayParamCheck display = CheckDisplayParamFields(FieldsOfDisplayLine(line));
    if (listLine && display.ok() && !HasControlCharacter(display.record.paramLabel.View()) &&
        !HasControlCharacter(display.record.formatLabel.View()))
        FUZZ_CHECK(DisplayLineDefect(display.record) == nullptr);

    FrameEntry entry;
    ParseFrameLine(line, entry);
    (void)RenderFrameLine(entry);
    const FrameLineTexts texts = TextsOfFrameLine(line);
    LineList formats(true);
    formats.Add(RenderFormatLine(ParseFormatLine(line)));
    FrameEntry current;
    const WordEditorOutcome word =
        ApplyWordEditor({texts.address, texts.paramLabel, texts.code, texts.formatLabel}, formats, current);
    if (word.ok()) (void)RenderFrameLine(current);
    (void)CheckCodeWithList(texts.code, texts.formatLabel, formats);
    (void)CheckCodeWithFormat(line, texts.formatLabel, entry.format);
    (void)ReadPauseLength(line);
    (void)ApplyCodeChange(line, current);

    if (const auto name = CompleteFileName(line, ".42i")) {
        FUZZ_CHECK(name->size() <= kMaxReplaceableName);
        FUZZ_CHECK(name->find('/') == std::string::npos);
    }
    return 0;
}
