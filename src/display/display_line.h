#pragma once
// One displayed parameter (in-memory form of the 28-byte ".42i" record of
// display/display_line_file.h) and its line in the display list dialogs, with the line's column
// heads (Windows-1251).

#include <cstdint>
#include <string>
#include <string_view>

#include "text/fixed_text.h"

namespace orv {

// One displayed parameter as it travels between the editor, the list and ".42i" files
// (in-memory form of the 28-byte record).
struct DisplayLineRecord {
    uint32_t reserved = 0;
    uint16_t address = 0;     // label number 0..255
    uint16_t channel = 0;     // input channel 1..8
    Label8 formatLabel;       // eight blanks for none
    Label8 paramLabel;
    friend bool operator==(const DisplayLineRecord&, const DisplayLineRecord&) = default;
};

// Display line (43 characters): label at 0, channel at 15, address at 25, format label at 35.
// A record writes the channel "%02d"; the display table writes it "%2d".
enum class ChannelForm { ZeroPadded, BlankPadded };
std::string RenderDisplayLine(const DisplayLineRecord& record, ChannelForm form = ChannelForm::ZeroPadded);
DisplayLineRecord ParseDisplayLine(std::string_view line);

// Column heads of the display line, first and second line.
extern const char* const kDisplayLineHead1;
extern const char* const kDisplayLineHead2;

}  // namespace orv
