#pragma once
// What the program makes of a file of each kind, asked of the program's own readers, damage
// checks and list rules; orvtool has no record rule of its own. Every command that looks at the
// records of a file (show, export, import, check) goes through ReadAsProgram.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "file_kinds.h"

namespace orv::tool {

struct Problem {
    std::size_t record = 0;  // index of the record in the file; unused when `whole`
    bool whole = false;      // a problem of the file as a whole (its length)
    // The program leaves the record (or the bytes) out of its list: it is not shown, and a save
    // from the program would not keep it. False for a list rule (a duplicate), which the program
    // shows but its editors would never have let in.
    bool leftOut = false;
    std::string message;  // UTF-8: the program's reason (the editor's message where the editor refuses)
};

struct FileRead {
    std::vector<Row> rows;           // the records the program shows, in file order, as rows
    std::vector<std::string> lines;  // the lines of the file's dialog (Windows-1251)
    std::vector<std::string> told;   // what the program tells the engineer on reading it (UTF-8)
    // In file order; problems of the whole file last:
    //   left out    the reader's damaged records with its reason; a trailing partial record; the
    //               bytes the reader never takes in (frame records beyond the line numbers,
    //               display lines beyond 256, channel settings beyond sixteen words);
    //   list rules  a format or dictionary label already in the list, a display line whose address
    //               and channel another line has (the refusals of the dialog's "add").
    std::vector<Problem> problems;
    // Sound records the text form cannot give back exactly (a channel setting word with bits above
    // 2, which the program keeps; a setting of one byte): export refuses them.
    std::vector<Problem> notInText;
};

// The records of `bytes`, a whole file of `kind` named `name` (for the program's messages).
FileRead ReadAsProgram(Kind kind, std::span<const uint8_t> bytes, std::string_view name);
// Its problems only (ReadAsProgram(...).problems, without the rows and lines a large table needs).
std::vector<Problem> ProblemsAsProgram(Kind kind, std::span<const uint8_t> bytes, std::string_view name);

}  // namespace orv::tool
