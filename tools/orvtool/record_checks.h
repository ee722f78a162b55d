#pragma once
// Whether the records of a file are what the program itself would write. Every rule orvtool
// applies to a record is here, in one place:
//
//   damaged-record rule   the record's bytes are exactly what the program writes for the fields
//                         it holds (text fields followed by their zero byte, reserved and
//                         padding bytes zero), and the file holds whole records only;
//   editor checks         the fields pass the checks of the editor that makes such a record
//                         (format editor, dictionary entry editor, displayed-parameter editor,
//                         output word editor), and the list accepts the record (no duplicate
//                         label, no duplicate address and channel, at most 256 displayed lines);
//   round-trip rule       the record's line, as its dialog lists it, reads back to the same fields.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "file_kinds.h"

namespace orv::tool {

struct Problem {
    std::size_t record = 0;  // index of the record in the file; the file itself when `whole`
    bool whole = false;      // a problem of the file as a whole (its length)
    std::string message;     // UTF-8; an editor's message as the editor shows it
};

// The damaged-record rule for one record.
bool IsDamagedRecord(Kind kind, std::size_t index, std::span<const uint8_t> record);

// Every problem of the records of a file of `kind` with `partialBytes` trailing bytes, in order.
std::vector<Problem> CheckRecords(Kind kind, const std::vector<std::vector<uint8_t>>& records,
                                  std::size_t partialBytes = 0);

}  // namespace orv::tool
