#pragma once
// The rules of the output word editors: the word editor's validation into CurrentEntry, the code
// check that shows M and DECIMAL for a typed code, the pause length and the code change. Texts are
// Windows-1251 as the dialogs hold them; messages are UTF-8 (transmit_strings.h).

#include <optional>
#include <string>
#include <string_view>

#include "text/line_list.h"
#include "state/frame_entry.h"

namespace orv {

// The word editor's four text fields as shown.
struct WordEditorTexts {
    std::string address;      // octal
    std::string paramLabel;
    std::string code;         // hexadecimal
    std::string formatLabel;  // as shown, eight characters or empty
};

// A format label text that names no format: empty or blanks only.
bool IsNoFormatText(std::string_view formatLabel);

// Index of the first line of the format list whose eight-character label equals the label text
// (blank-padded to eight); LineList::kNone when none does.
int FindFormatLine(const LineList& formats, std::string_view formatLabel);

// A code text read as hexadecimal; nullopt when it holds no number or a sign.
std::optional<uint32_t> ReadCode(std::string_view code);

struct WordEditorOutcome {
    // A refusal: the dialog stays open. Fields stored before the failing step stay in `current`.
    const char* error = nullptr;
    // The format label is not in the format list: the message is shown and the dialog still ends
    // with OK. The word then carries no format (format label eight blanks, DECIMAL blank), as with
    // a blank format label.
    bool formatMissing = false;
    int formatLine = LineList::kNone;  // the matching line, to select
    bool ok() const { return error == nullptr; }
};

// "Применить" of the word editor, in this order: address (octal 0..377), parameter label, code
// (word = ComposeWord(code, address), pause 0), format (looked up in `formats`), format label.
WordEditorOutcome ApplyWordEditor(const WordEditorTexts& texts, const LineList& formats, FrameEntry& current);

// M and DECIMAL of a typed code, as "Контроль кода параметра" and "Обновить" show them. A code
// that holds no number shows nothing in either field.
struct CodeView {
    std::string m;
    // nullopt: DECIMAL keeps its text (the format was not found).
    std::optional<std::string> decimal;
    const char* error = nullptr;  // the format is not in the list
    int formatLine = LineList::kNone;
};
// Word editor: the format is looked up in the format list.
CodeView CheckCodeWithList(std::string_view code, std::string_view formatLabel, const LineList& formats);
// Code change: the format is the one parsed from the frame line.
CodeView CheckCodeWithFormat(std::string_view code, std::string_view formatLabel, const DecimalFormat& format);

// "Применить" of the pause dialog: the length 0..255, or nullopt (refused with kBadPause).
std::optional<uint16_t> ReadPauseLength(std::string_view text);

// "Применить" of the code change dialog: the word composed with `current`'s address. Returns
// kBadCode when the code is empty (or holds no number), else nullptr.
const char* ApplyCodeChange(std::string_view code, FrameEntry& current);

}  // namespace orv
