#pragma once
// Shared pieces of the transmission tests: the format of the examples and entries built from it.
#include <string>

#include "text/code_page.h"
#include "arinc/word.h"
#include "state/frame_entry.h"
#include "support/example_formats.h"

namespace orv::test {


inline FrameEntry WordEntry(uint16_t number, const char* label, uint16_t address, ArincWord word,
                            bool withFormat = false) {
    FrameEntry e;
    e.number = number;
    e.paramLabel.Assign(label);
    e.address = address;
    e.word = word;
    if (withFormat) {
        e.format = test::Alt1Format();
        e.formatLabel = e.format.label;
    }
    return e;
}

// Windows-1251 of a UTF-8 literal.
inline std::string W(const char* utf8) { return Cp1251(utf8); }

}  // namespace orv::test
