#include "commands.h"

#include <charconv>

#include "arinc/text.h"
#include "config/format_file.h"
#include "config/record_file.h"
#include "record_checks.h"

namespace orv::tool {
namespace {

// The kind of a file, or a complaint.
std::optional<Kind> KindFor(const std::string& path, std::optional<Kind> given, std::ostream& err) {
    if (given) return given;
    if (auto kind = KindOfPath(path)) return kind;
    err << path << ": cannot tell the kind of file from its name; give --kind\n";
    return std::nullopt;
}

std::optional<std::vector<uint8_t>> ReadOrComplain(const std::string& path, std::ostream& err) {
    auto bytes = ReadWholeFile(path);
    if (!bytes) err << path << ": cannot be read\n";
    return bytes;
}

std::string Where(const Problem& p, const std::vector<TextRow>* rows = nullptr) {
    if (p.whole) return "file";
    if (rows && p.record < rows->size()) return (*rows)[p.record].where;
    return "record " + std::to_string(p.record + 1);
}

bool Write(const std::string& path, const std::string& text, std::ostream& err) {
    const auto* data = reinterpret_cast<const uint8_t*>(text.data());
    if (WriteFileReplacing(path, std::span<const uint8_t>(data, text.size()))) return true;
    err << path << ": cannot be written\n";
    return false;
}

}  // namespace

WordFields DecodeWord(ArincWord word, const DecimalFormat& format) {
    return {RenderAddress(WordLabel(word)), RenderHex(word), RenderOctal(word), RenderM(word),
            RenderDecimal(word, format).substr(0, kDecimalWidth)};
}

std::optional<ArincWord> ReadWord(std::string_view text) {
    if (text.starts_with("0x") || text.starts_with("0X")) text.remove_prefix(2);
    uint32_t w = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), w, 16);
    if (text.empty() || text.size() > 8 || r.ec != std::errc() || r.ptr != text.data() + text.size())
        return std::nullopt;
    return w;
}

int Decode(const std::string& wordText, const std::optional<std::string>& formatLabel, const std::string& formatsPath,
           std::ostream& out, std::ostream& err) {
    const std::optional<ArincWord> word = ReadWord(wordText);
    if (!word) {
        err << "decode: \"" << wordText << "\" is not a word (up to eight hexadecimal digits, \"0x\" allowed)\n";
        return 2;
    }
    DecimalFormat format = DecimalFormat::None();
    if (formatLabel) {
        const std::optional<std::string> label = Cp1251FromUtf8(*formatLabel);
        const std::optional<DecimalFormat> found = label ? FindFormat(*label, formatsPath) : std::nullopt;
        if (!found) {
            err << "decode: no format \"" << *formatLabel << "\" in " << formatsPath << "\n";
            return 1;
        }
        format = *found;
    }
    const WordFields f = DecodeWord(*word, format);
    out << "label    " << f.label << "\n"
        << "HEX      " << f.hex << "\n"
        << "OCTAL    " << f.octal << "\n"
        << "M        " << f.m << "\n"
        << "DECIMAL  " << Utf8FromCp1251(f.decimal) << "\n";
    return 0;
}

int Show(const std::string& path, std::optional<Kind> given, std::ostream& out, std::ostream& err) {
    const std::optional<Kind> kind = KindFor(path, given, err);
    if (!kind) return 2;
    const auto bytes = ReadOrComplain(path, err);
    if (!bytes) return 1;
    for (const std::string& line : DialogLines(*kind, *bytes)) out << Utf8FromCp1251(line) << "\n";
    return 0;
}

int Export(const std::string& path, std::optional<Kind> given, TextForm form, const std::optional<std::string>& output,
           std::ostream& out, std::ostream& err) {
    const std::optional<Kind> kind = KindFor(path, given, err);
    if (!kind) return 2;
    const auto bytes = ReadOrComplain(path, err);
    if (!bytes) return 1;
    // Only records the text can give back exactly are exported; editor checks are left to
    // `check` and `import`, so that a file can be exported, mended and imported again.
    const Records split = SplitFile(*kind, *bytes);
    std::vector<Row> rows;
    bool damaged = false;
    for (std::size_t i = 0; i < split.records.size(); ++i) {
        if (IsDamagedRecord(*kind, i, split.records[i])) {
            err << path << ": record " << i + 1 << ": damaged record, not exported\n";
            damaged = true;
        }
        rows.push_back(RowOfRecord(*kind, i, split.records[i]));
    }
    if (split.partialBytes) {
        err << path << ": file: ends in a partial record of " << split.partialBytes << " bytes\n";
        damaged = true;
    }
    if (damaged) return 1;
    const std::string text = WriteText(form, *kind, rows);
    if (output) return Write(*output, text, err) ? 0 : 1;
    out << text;
    return 0;
}

int Import(Kind kind, const std::string& input, const std::string& output, std::ostream& err) {
    const auto bytes = ReadOrComplain(input, err);
    if (!bytes) return 1;
    const std::string text(bytes->begin(), bytes->end());
    const ParsedText parsed = ReadText(TextFormOf(input, text), kind, text);
    if (!parsed.ok()) {
        err << input << ": " << parsed.error << "\n";
        return 1;
    }
    std::vector<std::vector<uint8_t>> records;
    bool refused = false;
    for (std::size_t i = 0; i < parsed.rows.size(); ++i) {
        RecordOfRowResult r = RecordOfRow(kind, i, parsed.rows[i].row);
        if (!r.ok()) {
            err << input << ": " << parsed.rows[i].where << ": " << r.error << "\n";
            refused = true;
        }
        records.push_back(std::move(r.bytes));
    }
    if (refused) return 1;
    for (const Problem& p : CheckRecords(kind, records)) {
        err << input << ": " << Where(p, &parsed.rows) << ": " << p.message << "\n";
        refused = true;
    }
    if (refused) {
        err << output << ": not written\n";
        return 1;
    }
    std::string file;
    for (const auto& r : records) file.append(r.begin(), r.end());
    return Write(output, file, err) ? 0 : 1;
}

int Check(const std::string& path, std::optional<Kind> given, std::ostream& out, std::ostream& err) {
    const std::optional<Kind> kind = KindFor(path, given, err);
    if (!kind) return 2;
    const auto bytes = ReadOrComplain(path, err);
    if (!bytes) return 1;
    const Records split = SplitFile(*kind, *bytes);
    const std::vector<Problem> problems = CheckRecords(*kind, split.records, split.partialBytes);
    for (const Problem& p : problems) out << path << ": " << Where(p) << ": " << p.message << "\n";
    return problems.empty() ? 0 : 1;
}

}  // namespace orv::tool
