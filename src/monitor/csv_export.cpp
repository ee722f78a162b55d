#include "monitor/csv_export.h"

#include <charconv>
#include <cmath>
#include <iterator>

#include "text/code_page.h"
#include "text/scanf_forms.h"
#include "monitor/table_rows.h"
#include "resources/analysis_strings.h"

namespace orv {
namespace {

std::string YesNo(bool b) { return b ? text::kCsvYes : text::kCsvNo; }

template <std::size_t N>
std::string Head(const char* const (&names)[N]) {
    return CsvRecord(std::vector<std::string>(std::begin(names), std::end(names)));
}

}  // namespace

std::string CsvField(std::string_view text, bool alwaysQuote) {
    if (!alwaysQuote && text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
    return out;
}

std::string CsvRecord(const std::vector<std::string>& fields) {
    std::string out;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i != 0) out += ',';
        out += CsvField(fields[i]);
    }
    out += "\r\n";
    return out;
}

std::string PlainDecimal(float value) {
    if (!std::isfinite(value)) return {};
    // Nine significant digits in exponent form first ("d.dddddddde+XX"), then the point moved.
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 8);
    std::string_view sci(buf, std::size_t(res.ptr - buf));
    std::string out;
    if (sci.front() == '-') {
        out += '-';
        sci.remove_prefix(1);
    }
    const std::size_t e = sci.find('e');
    std::string digits;
    digits += sci[0];
    digits += sci.substr(2, e - 2);  // the eight digits after the point
    int exponent = 0;
    std::from_chars(sci.data() + e + 1 + (sci[e + 1] == '+' ? 1 : 0), sci.data() + sci.size(), exponent);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    const int point = exponent + 1;  // digits before the point
    if (point <= 0) {
        out += "0.";
        out.append(std::size_t(-point), '0');
        out += digits;
    } else if (std::size_t(point) >= digits.size()) {
        out += digits;
        out.append(std::size_t(point) - digits.size(), '0');
    } else {
        out += digits.substr(0, std::size_t(point));
        out += '.';
        out += digits.substr(std::size_t(point));
    }
    return out;
}

std::string ValueCell(ArincWord word, const DecimalFormat& format) {
    if (format.IsNone()) return {};
    return PlainDecimal(DecimalValue(word, format));
}

std::string LabelCell(std::string_view cp1251) {
    return Utf8FromCp1251(Trim(cp1251.substr(0, std::min(cp1251.find('\0'), cp1251.size()))));
}

std::string UnitsCell(const DecimalFormat& format) {
    if (format.IsNone()) return {};
    return LabelCell(format.units.View());
}

std::string TraceCsv(const TraceSnapshot& snapshot, const DecimalFormat& format) {
    std::string out = Head(text::kTraceCsvHead);
    const std::string units = UnitsCell(format);
    for (std::size_t k = 0; k < snapshot.points.size(); ++k) {
        const TracePoint& p = snapshot.points[k];
        out += CsvRecord({std::to_string(p.slot), std::to_string(p.timeMs), std::to_string(p.intervalMs),
                          RenderHex(p.word), RenderOctal(p.word), RenderM(p.word), ValueCell(p.word, format), units,
                          YesNo(snapshot.Fits(k))});
    }
    return out;
}

std::string TableCsv(const ShownTable& shown) {
    std::string out = Head(text::kTableCsvHead);
    for (const ShownRow& row : shown) {
        const DisplayEntry& e = row.entry;
        const ArincWord v = row.word;
        const std::string count = e.maskMode == kMaskOn ? std::to_string(row.maskCount) : std::string();
        out += CsvRecord({LabelCell(e.paramLabel.View()), std::to_string(e.channel), RenderAddress(e.address),
                          RenderHex(v), RenderOctal(v), RenderM(v), ValueCell(v, e.format), UnitsCell(e.format),
                          std::to_string(e.receivedCycle), count, YesNo(row.stale)});
    }
    return out;
}

std::string BlockCsv(const BoardImage& image, uint16_t streamAddress) {
    std::string out = Head(text::kBlockCsvHead);
    for (int i = 0; i < kStreamRows; ++i) {
        const ArincWord w = StreamWord(image, streamAddress, i);
        out += CsvRecord({std::to_string(i), RenderAddress(WordLabel(w)), RenderHex(w), RenderOctal(w), RenderM(w)});
    }
    return out;
}

}  // namespace orv
