#include "display/display_line.h"

#include "arinc/word.h"
#include "text/printf_forms.h"
#include "text/scanf_forms.h"

namespace orv {

std::string RenderDisplayLine(const DisplayLineRecord& record, ChannelForm form) {
    std::string line = PadRight(record.paramLabel.UpToZero(), 8);
    line += "       ";
    line += FormatDec(record.channel, 2, form == ChannelForm::ZeroPadded);
    line += "        ";
    line += RenderAddress(record.address);
    line += "       ";
    line += PadRight(record.formatLabel.UpToZero(), 8);
    return line;
}

DisplayLineRecord ParseDisplayLine(std::string_view line) {
    DisplayLineRecord r;
    r.paramLabel.Assign(Columns(line, 0, 8));
    r.channel = static_cast<uint16_t>(ScanDec(Columns(line, 15, 2)).value_or(0));
    r.address = static_cast<uint16_t>(ScanOct(Columns(line, 25, 3)).value_or(0));
    r.formatLabel.Assign(Columns(line, 35, 8));
    return r;
}

// "  метка        №        Адрес       метка    "
const char* const kDisplayLineHead1 =
    "  \354\345\362\352\340        \271        \300\344\360\345\361       \354\345\362\352\340    ";
// "параметра    канала    Параметра   формата  "
const char* const kDisplayLineHead2 =
    "\357\340\360\340\354\345\362\360\340    \352\340\355\340\353\340    \317\340\360\340\354\345\362\360\340"
    "   \364\356\360\354\340\362\340  ";

}  // namespace orv
