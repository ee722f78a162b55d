#include "file_kinds.h"

#include <charconv>
#include <filesystem>
#include <iterator>
#include <limits>

#include "text/code_page.h"
#include "text/printf_forms.h"
#include "config/channel_settings.h"
#include "config/format_file.h"
#include "config/param_file.h"
#include "files/record_fields.h"
#include "files/record_read.h"
#include "display/display_line_file.h"
#include "transmit/frame_line.h"

namespace orv::tool {
namespace {

FieldType TypeOf(FieldForm form) {
    switch (form) {
        case FieldForm::Dec: return FieldType::Dec;
        case FieldForm::Oct: return FieldType::Oct;
        case FieldForm::Hex: return FieldType::Hex;
        case FieldForm::Float: return FieldType::Float;
        case FieldForm::Text:
        case FieldForm::Hidden: break;
    }
    return FieldType::Text;
}

// The shown fields of a record kind's field table, in its order, each name after `prefix`.
template <class T, std::size_t N>
void AppendFields(std::vector<ColumnDef>& out, const FieldDef<T> (&table)[N], std::string_view prefix = {}) {
    for (const FieldDef<T>& f : table)
        if (f.form != FieldForm::Hidden) out.push_back({std::string(prefix) + f.name, TypeOf(f.form)});
}

template <class T, std::size_t N>
std::vector<ColumnDef> FieldsOf(const FieldDef<T> (&table)[N]) {
    std::vector<ColumnDef> fields;
    AppendFields(fields, table);
    return fields;
}

// A frame slot: its own fields, then those of its format as "fmt_<name>".
std::vector<ColumnDef> FrameFieldSpecs() {
    std::vector<ColumnDef> fields = FieldsOf(kFrameFields);
    AppendFields(fields, kFormatFields, "fmt_");
    return fields;
}

const std::vector<KindInfo>& Infos() {
    static const std::vector<KindInfo> infos = {
        {Kind::Formats, "formats", FieldsOf(kFormatFields)},
        {Kind::Dictionary, "dictionary", FieldsOf(kParamFields)},
        {Kind::Channels, "channels",
         {{"direction", FieldType::Text}, {"channel", FieldType::Dec}, {"rate", FieldType::Dec},
          {"parity", FieldType::Dec}}},
        {Kind::DisplayList, "list", FieldsOf(kDisplayLineFields)},
        {Kind::Frame, "frame", FrameFieldSpecs()},
    };
    return infos;
}

// ---- Field texts ----
template <std::size_t N>
std::string TextField(const FixedText<N>& text) {
    const FixedText<N> shown = ShownText(text);
    std::string_view v = shown.View();
    while (!v.empty() && v.back() == ' ') v.remove_suffix(1);
    return Utf8FromCp1251(v);
}
std::string DecField(long long v) { return FormatDec(v); }
std::string OctField(unsigned v) { return FormatOct(v, 3, true); }
std::string HexField(uint32_t v) { return "0x" + FormatHex(v, 8, true); }
std::string FloatField(float v) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

// Reads the fields of a row one after another; the first failure is kept.
class FieldReader {
public:
    FieldReader(const KindInfo& info, const Row& row) : info_(info), row_(row) {
        if (row.size() != info.fields.size())
            error_ = "expected " + std::to_string(info.fields.size()) + " fields, found " + std::to_string(row.size());
    }
    const std::string& Error() const { return error_; }

    template <std::size_t N>
    FixedText<N> Text() {
        FixedText<N> t;
        if (const std::string* s = Next()) {
            const std::optional<std::string> cp = Cp1251FromUtf8(*s);
            if (!cp) Fail("has a character that Windows-1251 cannot hold");
            // The program's texts end at a zero byte: what follows it would be lost unseen.
            else if (cp->find('\0') != std::string::npos) Fail("holds a zero byte");
            else if (cp->size() > N) Fail("is longer than " + std::to_string(N) + " characters");
            else t.Assign(*cp);
        }
        return t;
    }
    template <typename T>
    T Number(int base = 10) {
        T v{};
        if (const std::string* s = Next()) {
            std::string_view digits = *s;
            if (base == 16 && (digits.starts_with("0x") || digits.starts_with("0X"))) digits.remove_prefix(2);
            long long n = 0;
            const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), n, base);
            if (digits.empty() || r.ec != std::errc() || r.ptr != digits.data() + digits.size())
                Fail("is not a number");
            else if (n < (long long)std::numeric_limits<T>::min() || n > (long long)std::numeric_limits<T>::max())
                Fail("is out of range");
            else v = T(n);
        }
        return v;
    }
    float Float() {
        float v = 0;
        if (const std::string* s = Next()) {
            const auto r = std::from_chars(s->data(), s->data() + s->size(), v);
            if (s->empty() || r.ec != std::errc() || r.ptr != s->data() + s->size()) Fail("is not a number");
        }
        return v;
    }
    std::string Plain() {
        const std::string* s = Next();
        return s ? *s : std::string();
    }

private:
    const std::string* Next() {
        if (!error_.empty() || at_ >= row_.size()) return nullptr;
        current_ = at_;
        return &row_[at_++];
    }
    void Fail(const std::string& what) {
        if (error_.empty()) error_ = std::string("field ") + info_.fields[current_].name + " " + what;
    }
    const KindInfo& info_;
    const Row& row_;
    std::size_t at_ = 0;
    std::size_t current_ = 0;
    std::string error_;
};

void AppendFormat(Row& row, const DecimalFormat& f) {
    row.push_back(TextField(f.label));
    row.push_back(DecField(f.bit29Role));
    row.push_back(DecField(f.msbBit));
    row.push_back(DecField(f.lsbBit));
    row.push_back(TextField(f.units));
    row.push_back(FloatField(f.msbWeight));
}
DecimalFormat ReadFormat(FieldReader& in) {
    DecimalFormat f;
    f.label = in.Text<8>();
    f.bit29Role = in.Number<uint8_t>();
    f.msbBit = in.Number<uint16_t>();
    f.lsbBit = in.Number<uint16_t>();
    f.units = in.Text<4>();
    f.msbWeight = in.Float();
    return f;
}

template <std::size_t N>
std::vector<uint8_t> Bytes(const std::array<uint8_t, N>& a) {
    return {a.begin(), a.end()};
}

}  // namespace

const KindInfo& Info(Kind kind) { return Infos()[std::size_t(kind)]; }

const std::vector<Kind>& AllKinds() {
    static const std::vector<Kind> kinds = {Kind::Formats, Kind::Dictionary, Kind::Channels, Kind::DisplayList,
                                            Kind::Frame};
    return kinds;
}

std::optional<Kind> KindOfName(std::string_view name) {
    for (const KindInfo& info : Infos())
        if (name == info.name) return info.kind;
    return std::nullopt;
}

std::optional<Kind> KindOfPath(const std::string& path) {
    const std::string name = std::filesystem::path(path).filename().string();
    if (EqualNoCase1251(name, kFormatFileName)) return Kind::Formats;
    if (EqualNoCase1251(name, kParamFileName)) return Kind::Dictionary;
    if (EqualNoCase1251(name, kChannelSettingsFileName)) return Kind::Channels;
    const std::string ext = std::filesystem::path(path).extension().string();
    if (EqualNoCase1251(ext, ".42i")) return Kind::DisplayList;
    if (EqualNoCase1251(ext, ".42o")) return Kind::Frame;
    return std::nullopt;
}

std::size_t MaxRecords(Kind kind) {
    constexpr std::size_t kTableRecords = std::size_t(1) << 20, kDataFileRecords = std::size_t(1) << 16;
    if (kind == Kind::Formats || kind == Kind::Dictionary) return kTableRecords;
    if (kind == Kind::Channels) return kDataFileRecords / sizeof(uint16_t);  // 65,536 bytes of setting words
    return kDataFileRecords;
}

std::size_t MaxFileBytes(Kind kind) {
    switch (kind) {
        case Kind::Formats: return MaxRecords(kind) * kFormatRecordSize;
        case Kind::Dictionary: return MaxRecords(kind) * kParamRecordSize;
        case Kind::DisplayList: return MaxRecords(kind) * kDisplayLineRecordSize;
        case Kind::Frame: return MaxRecords(kind) * kFrameRecordSize;
        case Kind::Channels: break;
    }
    return MaxRecords(kind) * sizeof(uint16_t);
}

std::size_t MaxTextBytes(Kind kind) { return MaxRecords(kind) * 256; }

bool IsScenarioPath(const std::string& path) {
    return EqualNoCase1251(std::filesystem::path(path).extension().string(), ".toml");
}

Row RowOfFormat(const DecimalFormat& format) {
    Row row;
    AppendFormat(row, format);
    return row;
}

Row RowOfParam(const ParamRecord& p) { return {TextField(p.paramLabel), OctField(p.address), TextField(p.formatLabel)}; }

Row RowOfChannelSetting(std::size_t index, uint16_t setting) {
    const bool input = index < std::size_t(kSettingsPerKind);
    return {input ? "in" : "out", DecField(long(index % kSettingsPerKind) + 1), DecField(RateCode(setting)),
            DecField(ParityChoice(setting))};
}

Row RowOfDisplayLine(const DisplayLineRecord& d) {
    return {TextField(d.paramLabel), DecField(d.channel), OctField(d.address), TextField(d.formatLabel)};
}

Row RowOfFrameEntry(const FrameEntry& e) {
    Row row = {DecField(e.number),  DecField(e.pause), DecField(e.endFlag),      TextField(e.paramLabel),
               OctField(e.address), HexField(e.word),  TextField(e.formatLabel)};
    AppendFormat(row, e.format);
    return row;
}

RecordOfRowResult RecordOfRow(Kind kind, std::size_t index, const Row& row) {
    FieldReader in(Info(kind), row);
    RecordOfRowResult out;
    switch (kind) {
        case Kind::Formats: {
            const DecimalFormat f = ReadFormat(in);
            out.bytes = Bytes(EncodeFormat(f));
            break;
        }
        case Kind::Dictionary: {
            ParamRecord p;
            p.paramLabel = in.Text<8>();
            p.address = in.Number<uint16_t>(8);
            p.formatLabel = in.Text<8>();
            out.bytes = Bytes(EncodeParam(p));
            break;
        }
        case Kind::Channels: {
            const bool input = index < std::size_t(kSettingsPerKind);
            const std::string direction = in.Plain();
            const auto channel = in.Number<uint16_t>();
            const auto rate = in.Number<uint16_t>();
            const auto parity = in.Number<uint16_t>();
            if (in.Error().empty() && index >= std::size_t(kChannelSettingCount)) {
                out.error = "the file holds " + std::to_string(kChannelSettingCount) +
                            " settings (inputs 1-8, outputs 1-8); the program reads no more";
            } else if (in.Error().empty()) {
                const std::string expected = std::string(input ? "in" : "out") + " " +
                                             std::to_string(index % kSettingsPerKind + 1);
                if (direction + " " + std::to_string(channel) != expected)
                    out.error = "expected the setting of " + expected + " here";
                else if (rate > 3 || parity > 1)
                    out.error = "field rate or parity is out of range";
                else
                    out.bytes = {uint8_t(SettingWord(rate, parity)), 0};
            }
            break;
        }
        case Kind::DisplayList: {
            DisplayLineRecord d;
            d.paramLabel = in.Text<8>();
            d.channel = in.Number<uint16_t>();
            d.address = in.Number<uint16_t>(8);
            d.formatLabel = in.Text<8>();
            out.bytes = Bytes(EncodeDisplayLine(d));
            break;
        }
        case Kind::Frame: {
            FrameEntry e;
            e.number = in.Number<uint16_t>();
            e.pause = in.Number<uint16_t>();
            e.endFlag = in.Number<uint16_t>();
            e.paramLabel = in.Text<8>();
            e.address = in.Number<uint16_t>(8);
            e.word = in.Number<uint32_t>(16);
            e.formatLabel = in.Text<8>();
            e.format = ReadFormat(in);
            out.bytes = Bytes(EncodeFrameEntry(e));
            break;
        }
    }
    if (!in.Error().empty()) out.error = in.Error();
    if (!out.ok()) out.bytes.clear();
    return out;
}

}  // namespace orv::tool
