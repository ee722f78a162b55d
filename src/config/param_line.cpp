#include "config/param_line.h"

#include "arinc/word.h"
#include "text/printf_forms.h"
#include "text/scanf_forms.h"

namespace orv {

std::string RenderParamLine(const ParamRecord& record) {
    std::string line = PadRight(record.paramLabel.UpToZero(), 8);
    line += "       ";
    line += RenderAddress(record.address);
    line += "      ";
    line += PadRight(record.formatLabel.UpToZero(), 8);
    return line;
}

ParamRecord ParseParamLine(std::string_view line) {
    ParamRecord r;
    r.paramLabel.Assign(Columns(line, 0, 8));
    r.address = static_cast<uint16_t>(ScanOct(Columns(line, 15, 3)).value_or(0));
    r.formatLabel.Assign(Columns(line, 24, 8));
    return r;
}

// "  метка       Адрес      метка  "
const char* const kParamLineHead1 = "  \354\345\362\352\340       \300\344\360\345\361      \354\345\362\352\340  ";
// "параметра   Параметра   формата"
const char* const kParamLineHead2 =
    "\357\340\360\340\354\345\362\360\340   \317\340\360\340\354\345\362\360\340   \364\356\360\354\340\362\340";

}  // namespace orv
