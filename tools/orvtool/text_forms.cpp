#include "text_forms.h"

#include <charconv>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "arinc/text.h"
#include "monitor/csv_export.h"

namespace orv::tool {
namespace {

using Json = nlohmann::ordered_json;

bool Quoted(FieldType type) { return type == FieldType::Text; }

std::string WriteCsv(const KindInfo& info, const std::vector<Row>& rows) {
    std::string out;
    for (std::size_t i = 0; i < info.fields.size(); ++i) out += (i ? "," : "") + std::string(info.fields[i].name);
    out += '\n';
    for (const Row& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i)
            out += (i ? "," : "") + CsvField(row[i], Quoted(info.fields[i].type));
        out += '\n';
    }
    return out;
}

Json JsonValue(const FieldSpec& field, const std::string& text) {
    switch (field.type) {
        case FieldType::Dec: {
            long long v = 0;
            std::from_chars(text.data(), text.data() + text.size(), v);
            return v;
        }
        // The exact value of the single-precision number: it reads back to the same bits.
        case FieldType::Float: {
            float v = 0;
            std::from_chars(text.data(), text.data() + text.size(), v);
            return double(v);
        }
        default: return text;
    }
}

std::string WriteJson(const KindInfo& info, const std::vector<Row>& rows) {
    std::string out = "{\n  \"kind\": " + Json(info.name).dump() + ",\n  \"records\": [";
    for (std::size_t r = 0; r < rows.size(); ++r) {
        Json record = Json::object();
        for (std::size_t i = 0; i < info.fields.size(); ++i) record[info.fields[i].name] = JsonValue(info.fields[i], rows[r][i]);
        out += (r ? ",\n    " : "\n    ") + record.dump(-1, ' ', false, Json::error_handler_t::strict);
    }
    out += rows.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return out;
}

// RFC 4180 records: quoted fields may hold commas, quotes (doubled) and line ends.
ParsedText ReadCsv(const KindInfo& info, std::string_view text) {
    ParsedText parsed;
    std::vector<std::pair<Row, std::size_t>> records;
    Row row;
    std::string field;
    bool inQuotes = false, fieldStarted = false, wasQuoted = false;
    std::size_t line = 1, recordLine = 1;
    auto endField = [&] {
        row.push_back(field);
        field.clear();
        fieldStarted = wasQuoted = false;
    };
    auto endRecord = [&] {
        endField();
        if (!(row.size() == 1 && row[0].empty())) records.emplace_back(std::move(row), recordLine);
        row.clear();
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inQuotes) {
            if (c == '"') {
                if (i + 1 < text.size() && text[i + 1] == '"') { field += '"'; ++i; }
                else inQuotes = false;
            } else {
                if (c == '\n') ++line;
                field += c;
            }
            continue;
        }
        if (c == '"' && !fieldStarted) { inQuotes = wasQuoted = fieldStarted = true; continue; }
        if (c == ',') { endField(); continue; }
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        if (c == '\n') {
            endRecord();
            recordLine = ++line;
            continue;
        }
        if (wasQuoted) {
            parsed.error = "line " + std::to_string(line) + ": text after a closing quote";
            return parsed;
        }
        fieldStarted = true;
        field += c;
    }
    if (inQuotes) {
        parsed.error = "line " + std::to_string(recordLine) + ": a quote is not closed";
        return parsed;
    }
    if (fieldStarted || !row.empty()) endRecord();

    std::string head;
    for (std::size_t i = 0; i < info.fields.size(); ++i) head += (i ? "," : "") + std::string(info.fields[i].name);
    if (records.empty()) {
        parsed.error = "line 1: the head line \"" + head + "\" is missing";
        return parsed;
    }
    Row expected;
    for (const FieldSpec& f : info.fields) expected.push_back(f.name);
    if (records[0].first != expected) {
        parsed.error = "line " + std::to_string(records[0].second) + ": the head line must be \"" + head + "\"";
        return parsed;
    }
    for (std::size_t r = 1; r < records.size(); ++r)
        parsed.rows.push_back({std::move(records[r].first), "line " + std::to_string(records[r].second)});
    return parsed;
}

ParsedText ReadJson(const KindInfo& info, std::string_view text) {
    ParsedText parsed;
    Json doc = Json::parse(text, nullptr, false);
    if (doc.is_discarded() || !doc.is_object()) {
        parsed.error = "not a JSON object";
        return parsed;
    }
    if (!doc.contains("kind") || doc["kind"] != info.name) {
        parsed.error = std::string("\"kind\" must be \"") + info.name + "\"";
        return parsed;
    }
    if (!doc.contains("records") || !doc["records"].is_array()) {
        parsed.error = "\"records\" must be an array";
        return parsed;
    }
    std::size_t n = 0;
    for (const Json& record : doc["records"]) {
        const std::string where = "record " + std::to_string(++n);
        if (!record.is_object() || record.size() != info.fields.size()) {
            parsed.error = where + ": must be an object with the fields of a " + info.name + " record";
            return parsed;
        }
        Row row;
        for (const FieldSpec& f : info.fields) {
            const auto it = record.find(f.name);
            const bool number = f.type == FieldType::Dec || f.type == FieldType::Float;
            if (it == record.end() || (number ? !it->is_number() : !it->is_string()) ||
                (f.type == FieldType::Dec && !it->is_number_integer())) {
                parsed.error = where + ": field " + f.name + (number ? " must be a number" : " must be a string");
                return parsed;
            }
            if (f.type == FieldType::Dec) row.push_back(FormatDec(it->get<long long>()));
            else if (f.type == FieldType::Float) {
                char buf[64];
                const float v = float(it->get<double>());
                const auto r = std::to_chars(buf, buf + sizeof buf, v);
                row.emplace_back(buf, r.ptr);
            } else row.push_back(it->get<std::string>());
        }
        parsed.rows.push_back({std::move(row), where});
    }
    return parsed;
}

}  // namespace

std::string WriteText(TextForm form, Kind kind, const std::vector<Row>& rows) {
    return form == TextForm::Csv ? WriteCsv(Info(kind), rows) : WriteJson(Info(kind), rows);
}

ParsedText ReadText(TextForm form, Kind kind, std::string_view text) {
    return form == TextForm::Csv ? ReadCsv(Info(kind), text) : ReadJson(Info(kind), text);
}

TextForm TextFormOf(const std::string& path, std::string_view text) {
    const std::string ext = std::filesystem::path(path).extension().string();
    if (EqualNoCase1251(ext, ".csv")) return TextForm::Csv;
    if (EqualNoCase1251(ext, ".json")) return TextForm::Json;
    const std::string_view t = Trim(text);
    return !t.empty() && t.front() == '{' ? TextForm::Json : TextForm::Csv;
}

}  // namespace orv::tool
