#include "c10_commands.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <memory>
#include <tuple>

#include "arinc/word.h"
#include "c10/c10_reader.h"
#include "c10/c10_writer.h"
#include "commands.h"
#include "files/file_replacement.h"
#include "monitor/csv_export.h"
#include "resources/file_strings.h"
#include "c10_reading.h"

namespace orv::tool {
namespace {

using c10::Problem;
using c10::Word;

// ---- export ----

// Where the CSV goes: a stream, or a file replaced as the other exports replace files.
class CsvOut {
public:
    CsvOut(std::ostream& out, const std::optional<std::string>& path) : out_(out), path_(path) {}
    bool Begin(std::ostream& err) {
        if (!path_) return true;
        if (file_.Begin(*path_) == SaveError::None) return true;
        err << *path_ << ": " << text::FileMessage(text::kFileCreateFailed, *path_) << "\n";
        failed_ = true;
        return false;
    }
    void Put(const std::string& text) {
        if (failed_) return;
        buffer_ += text;
        if (buffer_.size() >= (1u << 20)) Drain();
    }
    bool Failed() const { return failed_; }
    // Writes what is left and ends the file (or flushes the stream); false after a message.
    bool End(std::ostream& err, const std::string& name) {
        Drain();
        if (path_) {
            if (!failed_ && file_.Commit() == SaveError::None) return true;
            file_.Abandon();
            err << *path_ << ": " << text::FileMessage(text::kFileCreateFailed, *path_) << "\n";
            return false;
        }
        if (!failed_) return Flushed(out_, err, name);
        err << name << ": the output could not be written\n";
        return false;
    }

private:
    void Drain() {
        if (failed_ || buffer_.empty()) return;
        if (path_) failed_ = !file_.Write(std::span(reinterpret_cast<const uint8_t*>(buffer_.data()), buffer_.size()));
        else failed_ = !out_.write(buffer_.data(), std::streamsize(buffer_.size()));
        buffer_.clear();
    }
    std::ostream& out_;
    const std::optional<std::string>& path_;
    FileReplacement file_;
    std::string buffer_;
    bool failed_ = false;
};

// Appends the CSV line of a word. Its fields are numbers and ISO times, which never need quoting,
// so the line is put together here rather than field by field through CsvRecord (export goes at
// several times the speed); it ends in CR LF as CsvRecord's lines do.
void AppendCsvLine(const Word& w, std::string& to) {
    to += Seconds(w.relative);
    to += ',';
    if (w.absolute != c10::kNoTime) to += c10::IsoTime(w.absolute);
    char text[96];
    std::snprintf(text, sizeof text, ",%u,%u,%s,%u,0x%05x,%s,%c,%c,%s\r\n", unsigned(w.channel), unsigned(w.bus),
                  RenderAddress(WordLabel(w.word)).c_str(), WordSdi(w.word), unsigned(WordData(w.word)),
                  RenderM(w.word).c_str(), (w.flags & c10::kWordParityError) ? '1' : '0',
                  (w.flags & c10::kWordFormatError) ? '1' : '0', RenderHex(w.word).c_str());
    to += text;
}

struct ExportSink : ProblemSink {
    ExportSink(const std::string& name, std::ostream& problems, CsvOut& to) : ProblemSink(name, problems), csv(to) {}
    void OnWords(std::span<const Word> span, const c10::PacketInfo&) override {
        if (csv.Failed()) return;
        for (const Word& w : span) AppendCsvLine(w, line);
        csv.Put(line);
        line.clear();
    }
    CsvOut& csv;
    std::string line;  // the lines of one packet
};

}  // namespace

int C10Export(const std::string& path, const std::optional<std::string>& output, std::ostream& out,
              std::ostream& err) {
    if (Missing(path)) {
        err << path << ": no such file\n";
        return 2;
    }
    CsvOut csv(out, output);
    if (!csv.Begin(err)) return 1;
    csv.Put(CsvRecord(SplitCsvLine(kC10CsvHead).value()));
    ExportSink sink(path, err, csv);
    c10::ReadSummary summary;
    const int read = ReadRecording(path, sink, summary, err);
    if (!csv.End(err, path)) return 1;
    return std::max(read, sink.count ? 1 : 0);
}
}  // namespace orv::tool
