#include "commands.h"

#include <algorithm>
#include <charconv>
#include <iterator>

#include "arinc/text.h"
#include "config/format_file.h"
#include "config/record_file.h"
#include "file_reads.h"
#include "resources/file_strings.h"
#include "vboard/scenario_file.h"

namespace orv::tool {
namespace {

// The kind of a file, or a complaint.
std::optional<Kind> KindFor(const std::string& path, std::optional<Kind> given, std::ostream& err) {
    if (given) return given;
    if (auto kind = KindOfPath(path)) return kind;
    if (IsScenarioPath(path)) {
        err << path << ": a scenario file has no records; only check reads it\n";
        return std::nullopt;
    }
    err << path << ": cannot tell the kind of file from its name; give --kind\n";
    return std::nullopt;
}

// Reads a file through the program's read loop; 0 when it was read, else the exit code, after a
// complaint on `err`: a missing file is a wrong argument (2); one that exists but cannot be read is
// a problem (1) with the program's message, on `problems` as a problem line when that is given.
int ReadArgument(const std::string& path, std::vector<uint8_t>& bytes, std::ostream& err,
                 std::ostream* problems = nullptr) {
    FileBytes file = ReadFileBytes(path);
    if (file.status == ReadStatus::Missing) {
        err << path << ": no such file\n";
        return 2;
    }
    if (file.unreadable()) {
        const std::string message = text::FileMessage(text::kFileReadFailed, path);
        if (problems) *problems << path << ": file: " << message << "\n";
        else err << path << ": " << message << "\n";
        return 1;
    }
    bytes = std::move(file.bytes);
    return 0;
}

std::string Where(const Problem& p, const std::vector<TextRow>* rows = nullptr) {
    if (p.whole) return "file";
    if (rows && p.record < rows->size()) return (*rows)[p.record].where;
    return "record " + std::to_string(p.record + 1);
}

bool Write(const std::string& path, const std::string& text, std::ostream& err) {
    const auto* data = reinterpret_cast<const uint8_t*>(text.data());
    if (ReplaceFile(path, std::span<const uint8_t>(data, text.size())) == SaveError::None) return true;
    err << path << ": " << text::FileMessage(text::kFileCreateFailed, path) << "\n";
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
    std::vector<uint8_t> bytes;
    if (const int code = ReadArgument(path, bytes, err)) return code;
    const FileRead read = ReadAsProgram(*kind, bytes, path);
    for (const std::string& line : read.lines) out << Utf8FromCp1251(line) << "\n";
    for (const std::string& message : read.told) err << path << ": " << message << "\n";
    return 0;
}

int Export(const std::string& path, std::optional<Kind> given, TextForm form, const std::optional<std::string>& output,
           std::ostream& out, std::ostream& err) {
    const std::optional<Kind> kind = KindFor(path, given, err);
    if (!kind) return 2;
    std::vector<uint8_t> bytes;
    if (const int code = ReadArgument(path, bytes, err)) return code;
    // The records the program shows, as the text can give them back exactly; list rules (a
    // duplicate) are left to `check` and `import`, so that such a file can be exported, mended and
    // imported again.
    const FileRead read = ReadAsProgram(*kind, bytes, path);
    std::vector<Problem> refusals = read.notInText;
    std::copy_if(read.problems.begin(), read.problems.end(), std::back_inserter(refusals),
                 [](const Problem& p) { return p.leftOut; });
    for (const Problem& p : refusals) err << path << ": " << Where(p) << ": " << p.message << "\n";
    if (!refusals.empty()) {
        err << path << ": not exported\n";
        return 1;
    }
    const std::string text = WriteText(form, *kind, read.rows);
    if (output) return Write(*output, text, err) ? 0 : 1;
    out << text;
    return 0;
}

int Import(Kind kind, const std::string& input, const std::string& output, std::ostream& err) {
    std::vector<uint8_t> bytes;
    if (const int code = ReadArgument(input, bytes, err)) return code;
    const std::string text(bytes.begin(), bytes.end());
    const ParsedText parsed = ReadText(TextFormOf(input, text), kind, text);
    if (!parsed.ok()) {
        err << input << ": " << parsed.error << "\n";
        return 1;
    }
    std::string file;
    bool refused = false;
    for (std::size_t i = 0; i < parsed.rows.size(); ++i) {
        const RecordOfRowResult record = RecordOfRow(kind, i, parsed.rows[i].row);
        if (!record.ok()) {
            err << input << ": " << parsed.rows[i].where << ": " << record.error << "\n";
            refused = true;
        }
        file.append(record.bytes.begin(), record.bytes.end());
    }
    if (!refused) {
        // The file as it would be written, read as the program would read it.
        const auto* data = reinterpret_cast<const uint8_t*>(file.data());
        for (const Problem& p : ReadAsProgram(kind, std::span<const uint8_t>(data, file.size()), output).problems) {
            err << input << ": " << Where(p, &parsed.rows) << ": " << p.message << "\n";
            refused = true;
        }
    }
    if (refused) {
        err << output << ": not written\n";
        return 1;
    }
    return Write(output, file, err) ? 0 : 1;
}

// A scenario file, read by the program's scenario reader: its reason (Russian) on the line it
// names, as "FILE: line N: reason".
int CheckScenario(const std::string& path, std::ostream& out, std::ostream& err) {
    std::vector<uint8_t> bytes;
    if (const int code = ReadArgument(path, bytes, err, &out)) return code;
    ScenarioError error;
    if (ParseScenario(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), error)) return 0;
    out << path << ": " << (error.line > 0 ? "line " + std::to_string(error.line) : std::string("file")) << ": "
        << error.reason << "\n";
    return 1;
}

int Check(const std::string& path, std::optional<Kind> given, std::ostream& out, std::ostream& err) {
    if (!given && IsScenarioPath(path)) return CheckScenario(path, out, err);
    const std::optional<Kind> kind = KindFor(path, given, err);
    if (!kind) return 2;
    std::vector<uint8_t> bytes;
    if (const int code = ReadArgument(path, bytes, err, &out)) return code;
    const std::vector<Problem> problems = ReadAsProgram(*kind, bytes, path).problems;
    for (const Problem& p : problems) out << path << ": " << Where(p) << ": " << p.message << "\n";
    return problems.empty() ? 0 : 1;
}

int Check(const std::vector<std::string>& paths, std::optional<Kind> given, std::ostream& out, std::ostream& err) {
    int code = 0;
    for (const std::string& path : paths) code = std::max(code, Check(path, given, out, err));
    return code;
}

}  // namespace orv::tool
