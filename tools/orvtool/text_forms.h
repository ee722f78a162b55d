#pragma once
// The records of a file as text: CSV (a head line of field names, then one line per record) and
// JSON (the kind and an array of records, one record per line). Both are UTF-8 and written the
// same way every time, so that text -> file -> text gives the text back byte for byte.

#include <string>
#include <string_view>
#include <vector>

#include "file_kinds.h"

namespace orv::tool {

enum class TextForm { Csv, Json };

std::string WriteText(TextForm form, Kind kind, const std::vector<Row>& rows);

struct TextRow {
    Row row;
    std::string where;  // "line N" (CSV) or "record N" (JSON), for messages
};
struct ParsedText {
    std::vector<TextRow> rows;
    std::string error;  // the first thing that could not be read, with where it is
    bool ok() const { return error.empty(); }
};
ParsedText ReadText(TextForm form, Kind kind, std::string_view text);

// By extension (.csv, .json), else JSON when the text begins with '{'.
TextForm TextFormOf(const std::string& path, std::string_view text);

}  // namespace orv::tool
