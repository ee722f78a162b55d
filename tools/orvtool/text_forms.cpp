#include "text_forms.h"

#include <algorithm>
#include <charconv>
#include <unordered_set>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "text/code_page.h"
#include "text/printf_forms.h"
#include "text/scanf_forms.h"
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

Json JsonValue(const ColumnDef& field, const std::string& text) {
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

std::string TooManyRecords(const KindInfo& info, const std::string& where) {
    return where + ": more than the " + std::to_string(MaxRecords(info.kind)) + " records orvtool takes for a " +
           info.name + " file";
}

std::string NulAt(std::size_t line) {
    return "line " + std::to_string(line) + ": a NUL character, which no text of a record can hold";
}

// RFC 4180 records: quoted fields may hold commas, quotes (doubled) and line ends, but no NUL,
// which a record's text could not hold (it would end the text there and hide the rest). A UTF-8
// byte-order mark before the head line, which spreadsheets write, is skipped.
ParsedText ReadCsv(const KindInfo& info, std::string_view text) {
    ParsedText parsed;
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    std::vector<std::pair<Row, std::size_t>> records;
    Row row;
    std::string field;
    bool inQuotes = false, fieldStarted = false, wasQuoted = false;
    std::size_t line = 1, recordLine = 1;
    // The fields a text of the most records the kind takes holds: no more are kept, whatever
    // the lines hold (a line of commas would otherwise cost a string per byte).
    const std::size_t maxFields = (MaxRecords(info.kind) + 2) * info.fields.size();
    std::size_t fields = 0;
    auto endField = [&] {
        ++fields;
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
            } else if (c == '\0') {
                parsed.error = NulAt(line);
                return parsed;
            } else {
                if (c == '\n') ++line;
                field += c;
            }
            continue;
        }
        if (c == '"' && !fieldStarted) { inQuotes = wasQuoted = fieldStarted = true; continue; }
        if (c == ',') {
            endField();
            if (fields > maxFields) {
                parsed.error = "line " + std::to_string(line) + ": more fields than " +
                               std::to_string(MaxRecords(info.kind)) + " records of a " + info.name + " file hold";
                return parsed;
            }
            continue;
        }
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        if (c == '\n') {
            endRecord();
            // The head line and the records.
            if (records.size() > MaxRecords(info.kind) + 1) {
                parsed.error = TooManyRecords(info, "line " + std::to_string(records.back().second));
                return parsed;
            }
            recordLine = ++line;
            continue;
        }
        if (wasQuoted) {
            parsed.error = "line " + std::to_string(line) + ": text after a closing quote";
            return parsed;
        }
        if (c == '\0') {
            parsed.error = NulAt(line);
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
    if (records.size() > MaxRecords(info.kind) + 1) {
        parsed.error = TooManyRecords(info, "line " + std::to_string(records.back().second));
        return parsed;
    }

    std::string head;
    for (std::size_t i = 0; i < info.fields.size(); ++i) head += (i ? "," : "") + std::string(info.fields[i].name);
    if (records.empty()) {
        parsed.error = "line 1: the head line \"" + head + "\" is missing";
        return parsed;
    }
    Row expected;
    for (const ColumnDef& f : info.fields) expected.push_back(f.name);
    if (records[0].first != expected) {
        parsed.error = "line " + std::to_string(records[0].second) + ": the head line must be \"" + head + "\"";
        return parsed;
    }
    for (std::size_t r = 1; r < records.size(); ++r)
        parsed.rows.push_back({std::move(records[r].first), "line " + std::to_string(records[r].second)});
    return parsed;
}

// The JSON text read as a stream of events (nlohmann's SAX interface): a large text never becomes
// a whole document in memory, and every object's keys are checked, since a document would keep
// one of two values of a key silently. The checks and their messages are those of the document:
// a text that does not parse or is no object, then "kind", then "records", then the first record
// that is not one; a key given twice in any object is refused before those.
class JsonRecords final : public nlohmann::json_sax<Json> {
public:
    explicit JsonRecords(const KindInfo& info) : info_(info) {}

    ParsedText Result(bool parsedToEnd) {
        ParsedText parsed;
        if (!stop_.empty()) parsed.error = stop_;
        else if (!parsedToEnd || !isObject_) parsed.error = "not a JSON object";
        else if (!kindOk_) parsed.error = std::string("\"kind\" must be \"") + info_.name + "\"";
        else if (!recordsArray_) parsed.error = "\"records\" must be an array";
        else if (!recordError_.empty()) parsed.error = recordError_;
        else parsed.rows = std::move(rows_);
        return parsed;
    }

    bool null() override { return Scalar(Value{}); }
    bool boolean(bool) override { return Scalar(Value{}); }
    bool number_integer(number_integer_t v) override { return Scalar(Value{Type::Integer, "", v, double(v)}); }
    bool number_unsigned(number_unsigned_t v) override {
        // As the document's get<long long>() gives it.
        return Scalar(Value{Type::Integer, "", static_cast<long long>(v), double(v)});
    }
    bool number_float(number_float_t v, const string_t&) override { return Scalar(Value{Type::Float, "", 0, v}); }
    bool string(string_t& v) override { return Scalar(Value{Type::String, std::move(v), 0, 0}); }
    bool binary(binary_t&) override { return Scalar(Value{}); }

    bool start_object(std::size_t) override {
        if (TooDeep()) return false;
        const Role role = Opened(true);
        if (role == Role::Stop) return false;
        frames_.push_back({role, {}, {}});
        if (role == Role::Record) values_.clear();
        return true;
    }
    bool key(string_t& k) override {
        Frame& frame = frames_.back();
        if (frame.keys.size() == kMaxKeys) {
            stop_ = (InRecord() ? Where() + ": " : std::string()) + "an object with more than " +
                    std::to_string(kMaxKeys) + " keys";
            return false;
        }
        if (!frame.keys.insert(k).second) {
            stop_ = (InRecord() ? Where() + ": " : std::string()) + "the key \"" + k + "\" is given twice in one object";
            return false;
        }
        frame.key = std::move(k);
        return true;
    }
    bool end_object() override {
        if (frames_.back().role == Role::Record) EndRecord();
        frames_.pop_back();
        return true;
    }
    bool start_array(std::size_t) override {
        if (TooDeep()) return false;
        const Role role = Opened(false);
        if (role == Role::Stop) return false;
        frames_.push_back({role, {}, {}});
        return true;
    }
    bool end_array() override {
        frames_.pop_back();
        return true;
    }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override { return false; }

private:
    enum class Role { Top, Records, Record, Other, Stop };
    enum class Type { Other, Integer, Float, String };
    struct Value {
        Type type = Type::Other;
        std::string text;
        long long integer = 0;
        double number = 0;
    };
    struct Frame {
        Role role;
        std::unordered_set<std::string> keys;
        std::string key;  // the key whose value comes next (objects)
    };

    // Far beyond what a text of records holds (three levels; thirteen fields at most), and so
    // small that the keys and levels kept for the checks stay few whatever the text is.
    static constexpr std::size_t kMaxDepth = 64, kMaxKeys = 64;
    bool TooDeep() {
        if (frames_.size() < kMaxDepth) return false;
        stop_ = "values nested more than " + std::to_string(kMaxDepth) + " deep";
        return true;
    }

    bool InRecord() const {
        return std::any_of(frames_.begin(), frames_.end(), [](const Frame& f) { return f.role == Role::Record; });
    }
    std::string Where() const { return "record " + std::to_string(records_); }

    // A value (`container`: an object or array about to open) in the place the frames say.
    Role Placed(const Value& value, bool container, bool object) {
        if (frames_.empty()) {
            isObject_ = object;
            return object ? Role::Top : Role::Stop;
        }
        Frame& parent = frames_.back();
        switch (parent.role) {
            case Role::Top:
                if (parent.key == "kind") kindOk_ = value.type == Type::String && value.text == info_.name;
                if (parent.key == "records") recordsArray_ = container && !object;
                return parent.key == "records" && container && !object ? Role::Records : Role::Other;
            case Role::Records:
                if (++records_ > MaxRecords(info_.kind)) {
                    stop_ = TooManyRecords(info_, Where());
                    return Role::Stop;
                }
                if (object) return Role::Record;
                RecordError(Where() + ": must be an object with the fields of a " + info_.name + " record");
                return Role::Other;
            case Role::Record:
                values_.emplace_back(parent.key, value);
                return Role::Other;
            default: return Role::Other;
        }
    }
    Role Opened(bool object) { return Placed(Value{}, true, object); }
    bool Scalar(Value value) {
        if (frames_.empty()) return false;  // a text that is no object
        return Placed(value, false, false) != Role::Stop;
    }

    void RecordError(std::string message) {
        if (recordError_.empty()) recordError_ = std::move(message);
        rows_.clear();
    }

    void EndRecord() {
        const std::string where = Where();
        if (values_.size() != info_.fields.size()) {
            RecordError(where + ": must be an object with the fields of a " + info_.name + " record");
            return;
        }
        Row row;
        for (const ColumnDef& f : info_.fields) {
            const auto it = std::find_if(values_.begin(), values_.end(), [&](const auto& v) { return v.first == f.name; });
            const bool number = f.type == FieldType::Dec || f.type == FieldType::Float;
            const Type type = it == values_.end() ? Type::Other : it->second.type;
            const bool fits = f.type == FieldType::Dec     ? type == Type::Integer
                              : f.type == FieldType::Float ? type == Type::Integer || type == Type::Float
                                                           : type == Type::String;
            if (!fits) {
                RecordError(where + ": field " + f.name + (number ? " must be a number" : " must be a string"));
                return;
            }
            const Value& v = it->second;
            if (f.type == FieldType::Dec) row.push_back(FormatDec(v.integer));
            else if (f.type == FieldType::Float) {
                char buf[64];
                const auto r = std::to_chars(buf, buf + sizeof buf, float(v.number));
                row.emplace_back(buf, r.ptr);
            } else if (v.text.find('\0') != std::string::npos) {
                RecordError(where + ": field " + f.name + " holds a NUL character, which no text of a record can hold");
                return;
            } else row.push_back(v.text);
        }
        if (recordError_.empty()) rows_.push_back({std::move(row), where});
    }

    const KindInfo& info_;
    std::vector<Frame> frames_;
    std::vector<std::pair<std::string, Value>> values_;  // of the record being read
    std::size_t records_ = 0;
    bool isObject_ = false, kindOk_ = false, recordsArray_ = false;
    std::string stop_;         // what ended the reading early (a key given twice, too many records)
    std::string recordError_;  // the first record that is not one
    std::vector<TextRow> rows_;
};

ParsedText ReadJson(const KindInfo& info, std::string_view text) {
    JsonRecords records(info);
    const bool parsed = Json::sax_parse(text.begin(), text.end(), &records);
    return records.Result(parsed);
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
