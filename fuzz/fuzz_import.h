#pragma once
// What `orvtool import` does with a text, for every kind of file: read its rows, build each record,
// read the file as the program would. Nothing may fault, and a text that import would write gives a
// file that exports and imports again to the same bytes.
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "file_kinds.h"
#include "file_reads.h"
#include "fuzz_check.h"
#include "text_forms.h"

namespace orv::tool {

// The file the rows give, or nothing when a row is refused.
inline std::optional<std::vector<uint8_t>> FileOfRows(Kind kind, const std::vector<TextRow>& rows) {
    std::vector<uint8_t> file;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const RecordOfRowResult record = RecordOfRow(kind, i, rows[i].row);
        if (!record.ok()) return std::nullopt;
        file.insert(file.end(), record.bytes.begin(), record.bytes.end());
    }
    return file;
}

inline void ImportEveryKind(TextForm form, std::string_view text) {
    for (Kind kind : AllKinds()) {
        const ParsedText parsed = ReadText(form, kind, text);
        if (!parsed.ok()) continue;
        const std::optional<std::vector<uint8_t>> file = FileOfRows(kind, parsed.rows);
        if (!file) continue;
        const FileRead read = ReadAsProgram(kind, *file, "fuzz");
        if (!read.problems.empty()) continue;
        // Import would write this file: its export reads back to the same bytes.
        FUZZ_CHECK(read.notInText.empty());
        const ParsedText again = ReadText(form, kind, WriteText(form, kind, read.rows));
        FUZZ_CHECK(again.ok());
        const std::optional<std::vector<uint8_t>> back = FileOfRows(kind, again.rows);
        FUZZ_CHECK(back && *back == *file);
    }
}

}  // namespace orv::tool
