#include "commands.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <new>
#include <iterator>

#include "text/code_page.h"
#include "config/format_file.h"
#include "files/file_read.h"
#include "files/file_replacement.h"
#include "file_reads.h"
#include "resources/file_strings.h"
#include "vboard/scenario_file.h"
#include "vboard/scenario_limits.h"

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

// The refusal of a file or text longer than orvtool reads of `what`.
std::string TooLong(std::size_t maxBytes, const std::string& what) {
    return "longer than the " + std::to_string(maxBytes) + " bytes orvtool reads of " + what + "; not read";
}

std::string FileOfKind(Kind kind) {
    return std::string("a ") + Info(kind).name + " file" +
           (kind == Kind::Channels ? "" : " (" + std::to_string(MaxRecords(kind)) + " records)");
}

// Reads a file through the program's read loop, at most `maxBytes` of it; 0 when it was read,
// else the exit code, after a complaint on `err`: a missing file is a wrong argument (2); one that
// exists but cannot be read, or is longer than `maxBytes` (`what` names the limit), is a problem (1)
// with the program's message, on `problems` as a problem line when that is given.
int ReadArgument(const std::string& path, std::size_t maxBytes, const std::string& what, std::vector<uint8_t>& bytes,
                 std::ostream& err, std::ostream* problems = nullptr) {
    FileBytes file = ReadFileBytes(path, maxBytes + 1);
    if (file.status == ReadStatus::Missing) {
        err << path << ": no such file\n";
        return 2;
    }
    std::string message;
    if (file.unreadable()) message = text::FileMessage(text::kFileReadFailed, path);
    else if (file.bytes.size() > maxBytes)
        message = TooLong(maxBytes, what);
    if (!message.empty()) {
        if (problems) *problems << path << ": file: " << message << "\n";
        else err << path << ": " << message << "\n";
        return 1;
    }
    bytes = std::move(file.bytes);
    return 0;
}

int ReadFileArgument(const std::string& path, Kind kind, std::vector<uint8_t>& bytes, std::ostream& err,
                     std::ostream* problems = nullptr) {
    return ReadArgument(path, MaxFileBytes(kind), FileOfKind(kind), bytes, err, problems);
}

// Runs a command's body: an allocation that fails ends it with a message and exit code 1, never
// with an abort.
template <class Body>
int Guarded(const std::string& name, std::ostream& err, Body body) {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        err << name << ": not enough memory; stopped\n";
        return 1;
    }
}

// The exit code once everything is written: output that could not be written (a full disk, a
// descriptor closed) is a failure with a message, whatever the command found.
int Flushed(std::ostream& out, std::ostream& err, int code) {
    out.flush();
    if (out) return code;
    err << "orvtool: the output could not be written\n";
    return std::max(code, 1);
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

namespace {

int DecodeBody(const std::string& wordText, const std::optional<std::string>& formatLabel,
               const std::string& formatsPath, std::ostream& out, std::ostream& err) {
    const std::optional<ArincWord> word = ReadWord(wordText);
    if (!word) {
        err << "decode: \"" << wordText << "\" is not a word (up to eight hexadecimal digits, \"0x\" allowed)\n";
        return 2;
    }
    DecimalFormat format = DecimalFormat::None();
    if (formatLabel) {
        std::error_code ec;
        const std::uintmax_t size = std::filesystem::file_size(formatsPath, ec);
        if (!ec && size > MaxFileBytes(Kind::Formats)) {
            err << formatsPath << ": " << TooLong(MaxFileBytes(Kind::Formats), FileOfKind(Kind::Formats)) << "\n";
            return 1;
        }
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

int ShowBody(const std::string& path, std::optional<Kind> given, std::ostream& out, std::ostream& err) {
    const std::optional<Kind> kind = KindFor(path, given, err);
    if (!kind) return 2;
    std::vector<uint8_t> bytes;
    if (const int code = ReadFileArgument(path, *kind, bytes, err)) return code;
    const FileRead read = ReadAsProgram(*kind, bytes, path);
    for (const std::string& line : read.lines) out << Utf8FromCp1251(line) << "\n";
    for (const std::string& message : read.told) err << path << ": " << message << "\n";
    return 0;
}

int ExportBody(const std::string& path, std::optional<Kind> given, TextForm form,
               const std::optional<std::string>& output, std::ostream& out, std::ostream& err) {
    const std::optional<Kind> kind = KindFor(path, given, err);
    if (!kind) return 2;
    std::vector<uint8_t> bytes;
    if (const int code = ReadFileArgument(path, *kind, bytes, err)) return code;
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

int ImportBody(Kind kind, const std::string& input, const std::string& output, std::ostream& err) {
    std::vector<uint8_t> bytes;
    const std::string what = std::string("a text for a ") + Info(kind).name + " file";
    if (const int code = ReadArgument(input, MaxTextBytes(kind), what, bytes, err)) return code;
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
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
        for (const Problem& p : ProblemsAsProgram(kind, std::span<const uint8_t>(data, file.size()), output)) {
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
    if (const int code = ReadArgument(path, kMaxScenarioFileBytes, "a scenario file", bytes, err, &out)) return code;
    ScenarioError error;
    if (ParseScenario(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), error)) return 0;
    out << path << ": " << (error.line > 0 ? "line " + std::to_string(error.line) : std::string("file")) << ": "
        << error.reason << "\n";
    return 1;
}

int CheckBody(const std::string& path, std::optional<Kind> given, std::ostream& out, std::ostream& err) {
    if (!given && IsScenarioPath(path)) return CheckScenario(path, out, err);
    const std::optional<Kind> kind = KindFor(path, given, err);
    if (!kind) return 2;
    std::vector<uint8_t> bytes;
    if (const int code = ReadFileArgument(path, *kind, bytes, err, &out)) return code;
    const std::vector<Problem> problems = ProblemsAsProgram(*kind, bytes, path);
    for (const Problem& p : problems) out << path << ": " << Where(p) << ": " << p.message << "\n";
    return problems.empty() ? 0 : 1;
}

}  // namespace

int Decode(const std::string& word, const std::optional<std::string>& formatLabel, const std::string& formatsPath,
           std::ostream& out, std::ostream& err) {
    return Guarded(formatsPath, err,
                   [&] { return Flushed(out, err, DecodeBody(word, formatLabel, formatsPath, out, err)); });
}

int Show(const std::string& path, std::optional<Kind> kind, std::ostream& out, std::ostream& err) {
    return Guarded(path, err, [&] { return Flushed(out, err, ShowBody(path, kind, out, err)); });
}

int Export(const std::string& path, std::optional<Kind> kind, TextForm form, const std::optional<std::string>& output,
           std::ostream& out, std::ostream& err) {
    return Guarded(path, err, [&] { return Flushed(out, err, ExportBody(path, kind, form, output, out, err)); });
}

int Import(Kind kind, const std::string& input, const std::string& output, std::ostream& err) {
    return Guarded(input, err, [&] { return ImportBody(kind, input, output, err); });
}

int Check(const std::string& path, std::optional<Kind> kind, std::ostream& out, std::ostream& err) {
    return Guarded(path, err, [&] { return Flushed(out, err, CheckBody(path, kind, out, err)); });
}

int Check(const std::vector<std::string>& paths, std::optional<Kind> given, std::ostream& out, std::ostream& err) {
    int code = 0;
    for (const std::string& path : paths)
        code = std::max(code, Guarded(path, err, [&] { return CheckBody(path, given, out, err); }));
    return Flushed(out, err, code);
}

}  // namespace orv::tool
