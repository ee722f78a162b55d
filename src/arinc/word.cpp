#include "arinc/word.h"

#include "text/printf_forms.h"

namespace orv {

std::string RenderAddress(unsigned label) { return FormatOct(label, 3, true); }

std::string RenderHex(ArincWord word) { return "0x" + FormatHex(word, 8, true); }

std::string RenderOctal(ArincWord word) { return FormatOct(word, 12, true); }

std::string RenderM(ArincWord word) {
    const unsigned m = WordM(word);
    return {char('0' + (m >> 1)), char('0' + (m & 1))};
}

ArincWord ComposeWord(uint32_t code, unsigned label) { return ((code << 8) + label) & 0x7FFFFFFFu; }

}  // namespace orv
