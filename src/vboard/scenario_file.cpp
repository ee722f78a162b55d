#include "vboard/scenario_file.h"

#include <cmath>
#include <initializer_list>
#include <new>
#include <sstream>
#include <toml++/toml.h>

#include "files/file_read.h"
#include "vboard/scenario_limits.h"
#include "vboard/toml_guard.h"
#include "vboard/virtual_board.h"

namespace orv {
namespace {

// A refusal somewhere inside the file: where and why. Thrown only inside this reader.
struct Refusal {
    int line;
    std::string reason;
};

int LineOf(const toml::node& node) { return int(node.source().begin.line); }

[[noreturn]] void Refuse(const toml::node& at, std::string reason) { throw Refusal{LineOf(at), std::move(reason)}; }

// A key as the file writes it: bare, or quoted with the escapes of a TOML string.
std::string KeyText(std::string_view key) {
    bool bare = !key.empty();
    for (char c : key)
        bare = bare && ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-');
    if (bare) return std::string(key);
    std::string text = "\"";
    for (char c : key) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            text += '\\';
            text += c;
        } else if (u < 0x20 || u == 0x7F) {
            static constexpr char kHex[] = "0123456789ABCDEF";
            text += "\\u00";
            text += kHex[u >> 4];
            text += kHex[u & 0xF];
        } else {
            text += c;
        }
    }
    return text + "\"";
}

// The whole path of a key under the table at `table` ("" for the top of the file).
std::string PathOf(const std::string& table, std::string_view key) {
    return table.empty() ? KeyText(key) : table + "." + KeyText(key);
}

std::string MissingKey(const std::string& path) { return "нет ключа " + path; }

// A table of the file with the keys it may carry; its reasons name each key by its whole path
// ("board1.input5.label[2].rate_hz": the tables of a [[...]] list are counted from 1).
class Table {
public:
    Table(const toml::table& table, std::string path) : table_(table), path_(std::move(path)) {}

    void Allow(std::initializer_list<std::string_view> keys) const {
        for (auto&& [key, value] : table_) {
            bool known = false;
            for (std::string_view k : keys) known = known || key.str() == k;
            if (!known) throw Refusal{int(key.source().begin.line), "неизвестный ключ " + Path(key.str())};
        }
    }

    const toml::node* Find(std::string_view key) const { return table_.get(key); }
    bool Has(std::string_view key) const { return Find(key) != nullptr; }
    const toml::table& Raw() const { return table_; }
    // The path of the table itself, and of one of its keys.
    const std::string& Path() const { return path_; }
    std::string Path(std::string_view key) const { return PathOf(path_, key); }

    // A number (integer or float) within [low, high].
    double Number(std::string_view key, double low, double high, std::optional<double> fallback = {}) const {
        const toml::node* n = Find(key);
        if (!n) {
            if (fallback) return *fallback;
            Refuse(table_, MissingKey(Path(key)));
        }
        const std::optional<double> v = n->value<double>();
        if (!v || !std::isfinite(*v)) Refuse(*n, Path(key) + ": нужно число");
        if (*v < low || *v > high) {
            std::ostringstream s;
            s << Path(key) << ": нужно число от " << low << " до " << high;
            Refuse(*n, s.str());
        }
        return *v;
    }

    // A whole number within [low, high].
    int64_t Integer(std::string_view key, int64_t low, int64_t high, std::optional<int64_t> fallback = {}) const {
        const toml::node* n = Find(key);
        if (!n) {
            if (fallback) return *fallback;
            Refuse(table_, MissingKey(Path(key)));
        }
        if (!n->is_integer()) Refuse(*n, Path(key) + ": нужно целое число");
        const int64_t v = n->as_integer()->get();
        if (v < low || v > high)
            Refuse(*n, Path(key) + ": нужно целое число от " + std::to_string(low) + " до " + std::to_string(high));
        return v;
    }

    // One of `choices`; returns its index.
    std::size_t Choice(std::string_view key, std::initializer_list<std::string_view> choices,
                       std::optional<std::size_t> fallback = {}) const {
        const toml::node* n = Find(key);
        if (!n) {
            if (fallback) return *fallback;
            Refuse(table_, MissingKey(Path(key)));
        }
        std::string list;
        std::size_t i = 0;
        for (std::string_view c : choices) {
            if (n->is_string() && n->as_string()->get() == c) return i;
            list += (i++ ? ", " : "") + std::string(c);
        }
        Refuse(*n, Path(key) + ": нужно одно из значений " + list);
    }

    const toml::table& SubTable(std::string_view key) const {
        const toml::node* n = Find(key);
        if (!n) Refuse(table_, MissingKey(Path(key)));
        if (!n->is_table()) Refuse(*n, Path(key) + ": нужна таблица");
        return *n->as_table();
    }

private:
    const toml::table& table_;
    std::string path_;
};

// A label number: octal digits in a string ("203") or a TOML octal integer (0o203).
uint8_t LabelNumber(const Table& t, std::string_view key) {
    const toml::node* n = t.Find(key);
    if (!n) Refuse(t.Raw(), MissingKey(t.Path(key)));
    const std::string range = t.Path(key) + ": метка от 0 до 377 (восьмеричная)";
    const std::string digits = t.Path(key) + ": метка пишется одной-тремя восьмеричными цифрами, как \"203\"";
    if (n->is_integer()) {
        const int64_t v = n->as_integer()->get();
        if (v < 0 || v > 0377) Refuse(*n, range);
        return uint8_t(v);
    }
    if (!n->is_string()) Refuse(*n, digits);
    const std::string& s = n->as_string()->get();
    if (s.empty() || s.size() > 3) Refuse(*n, digits);
    unsigned v = 0;
    for (char c : s) {
        if (c < '0' || c > '7') Refuse(*n, digits);
        v = v * 8 + unsigned(c - '0');
    }
    if (v > 0377) Refuse(*n, range);
    return uint8_t(v);
}

ValueProfile ReadProfile(const toml::table& raw, const std::string& path) {
    const Table t(raw, path);
    ValueProfile p;
    const std::size_t kind = t.Choice("profile", {"constant", "ramp", "sine", "steps", "table"});
    constexpr double kBig = 1e12;
    switch (kind) {
        case 0:
            t.Allow({"profile", "value"});
            p.kind = ProfileKind::Constant;
            p.value = t.Number("value", -kBig, kBig);
            break;
        case 1:
            t.Allow({"profile", "from", "to", "period_s"});
            p.kind = ProfileKind::Ramp;
            p.from = t.Number("from", -kBig, kBig);
            p.to = t.Number("to", -kBig, kBig);
            p.periodS = t.Number("period_s", 0.001, kBig);
            break;
        case 2:
            t.Allow({"profile", "mean", "amplitude", "period_s"});
            p.kind = ProfileKind::Sine;
            p.mean = t.Number("mean", -kBig, kBig, 0.0);
            p.amplitude = t.Number("amplitude", -kBig, kBig);
            p.periodS = t.Number("period_s", 0.001, kBig);
            break;
        case 3: {
            t.Allow({"profile", "values", "step_s"});
            p.kind = ProfileKind::Steps;
            p.stepS = t.Number("step_s", 0.001, kBig);
            const toml::node* n = t.Find("values");
            if (!n) Refuse(raw, MissingKey(t.Path("values")));
            const toml::array* a = n->as_array();
            const std::string list = t.Path("values") + ": нужен список чисел";
            if (!a || a->empty()) Refuse(*n, list);
            for (const toml::node& v : *a) {
                const std::optional<double> x = v.value<double>();
                if (!x || !std::isfinite(*x)) Refuse(v, list);
                p.values.push_back(*x);
            }
            break;
        }
        default: {
            t.Allow({"profile", "points"});
            p.kind = ProfileKind::Table;
            const toml::node* n = t.Find("points");
            if (!n) Refuse(raw, MissingKey(t.Path("points")));
            const toml::array* a = n->as_array();
            const std::string pairs = t.Path("points") + ": нужен список пар [секунды, значение]";
            if (!a || a->empty()) Refuse(*n, pairs);
            for (const toml::node& pt : *a) {
                const toml::array* pair = pt.as_array();
                std::optional<double> s, v;
                if (pair && pair->size() == 2) {
                    s = (*pair)[0].value<double>();
                    v = (*pair)[1].value<double>();
                }
                if (!s || !v || !std::isfinite(*s) || !std::isfinite(*v))
                    Refuse(pt, pairs);
                if (!p.points.empty() && *s <= p.points.back().first)
                    Refuse(pt, t.Path("points") + ": времена точек должны возрастать");
                p.points.emplace_back(*s, *v);
            }
            break;
        }
    }
    return p;
}

uint32_t BitMask(const Table& t, std::string_view key) {
    const toml::node* n = t.Find(key);
    if (!n) return 0;
    const toml::array* a = n->as_array();
    const std::string bits = t.Path(key) + ": нужен список номеров битов от 11 до 29";
    if (!a) Refuse(*n, bits);
    uint32_t mask = 0;
    for (const toml::node& b : *a) {
        if (!b.is_integer() || b.as_integer()->get() < 11 || b.as_integer()->get() > 29) Refuse(b, bits);
        mask |= 1u << (b.as_integer()->get() - 1);
    }
    return mask;
}

// The encoding keys of a label (bnr, bcd or discrete, and value); `discreteByDefault` lets an
// extra label carry none of them (a discrete word without bits).
LabelCoding ReadCoding(const Table& t, bool discreteByDefault) {
    LabelCoding c;
    const int given = int(t.Has("bnr")) + int(t.Has("bcd")) + int(t.Has("discrete"));
    if (given > 1) Refuse(t.Raw(), t.Path() + ": у метки одна кодировка: bnr, bcd или discrete");
    if (given == 0 && !discreteByDefault) Refuse(t.Raw(), t.Path() + ": у метки нет кодировки: задайте bnr, bcd или discrete");
    if (t.Has("ssm")) c.ssm = int(t.Integer("ssm", 0, 3));
    if (t.Has("bnr")) {
        const Table b(t.SubTable("bnr"), t.Path("bnr"));
        b.Allow({"sign_bit", "msb", "msb_weight", "resolution"});
        c.encoding = TrafficEncoding::Bnr;
        c.bnr.msb = unsigned(b.Integer("msb", 11, 29, 28));
        c.bnr.signBit = unsigned(b.Integer("sign_bit", 0, 29, 29));
        if (c.bnr.signBit != 0 && c.bnr.signBit <= c.bnr.msb) {
            const toml::node* at = b.Find("sign_bit");
            Refuse(at ? *at : static_cast<const toml::node&>(b.Raw()),
                   b.Path("sign_bit") + ": знаковый бит должен быть выше msb (или 0, если знака нет)");
        }
        c.bnr.msbWeight = b.Number("msb_weight", 1e-12, 1e12);
        c.bnr.resolution = b.Number("resolution", 1e-12, 1e12);
        const double steps = std::log2(c.bnr.msbWeight / c.bnr.resolution);
        const double whole = std::round(steps);
        if (std::fabs(steps - whole) > 1e-9 || whole < 0)
            Refuse(*b.Find("resolution"), b.Path("resolution") + ": нужен вес msb_weight, делённый пополам целое число раз");
        if (whole > double(c.bnr.msb - 11))
            Refuse(*b.Find("resolution"), b.Path("resolution") + ": младший бит поля оказывается ниже бита 11");
        c.bnr.lsb = c.bnr.msb - unsigned(whole);
    } else if (t.Has("bcd")) {
        const Table b(t.SubTable("bcd"), t.Path("bcd"));
        b.Allow({"digits", "resolution"});
        c.encoding = TrafficEncoding::Bcd;
        c.bcd.digits = unsigned(b.Integer("digits", 1, 5, 4));
        c.bcd.resolution = b.Number("resolution", 1e-12, 1e12, 1.0);
    } else {
        c.encoding = TrafficEncoding::Discrete;
        if (t.Has("discrete")) {
            const Table d(t.SubTable("discrete"), t.Path("discrete"));
            d.Allow({"bits", "toggle", "toggle_period_s"});
            c.discrete.bits = BitMask(d, "bits");
            c.discrete.toggleBits = BitMask(d, "toggle");
            if (c.discrete.toggleBits != 0) c.discrete.toggleS = d.Number("toggle_period_s", 0.001, 1e9);
        }
    }
    if (c.encoding == TrafficEncoding::Discrete) {
        if (t.Has("value")) Refuse(*t.Find("value"), t.Path("value") + ": у дискретной метки нет профиля значения");
    } else {
        c.value = ReadProfile(t.SubTable("value"), t.Path("value"));
    }
    return c;
}

constexpr double kMaxRateHz = 100000.0;

std::string OctalText(unsigned label) {
    std::string text;
    for (int shift = 6; shift >= 0; shift -= 3) text += char('0' + ((label >> shift) & 7));
    return text;
}

LabelTraffic ReadLabel(const toml::table& raw, const std::string& path) {
    const Table t(raw, path);
    t.Allow({"label", "sdi", "ssm", "rate_hz", "jitter", "bnr", "bcd", "discrete", "value"});
    LabelTraffic l;
    l.line = LineOf(raw);
    l.label = LabelNumber(t, "label");
    l.sdi = unsigned(t.Integer("sdi", 0, 3, 0));
    l.rateHz = t.Number("rate_hz", 0.01, kMaxRateHz);
    l.jitter = t.Number("jitter", 0.0, 0.5, 0.0);
    l.coding = ReadCoding(t, false);
    return l;
}

TrafficFault ReadFault(const toml::table& raw, const InputTraffic& traffic, const std::string& path) {
    const Table t(raw, path);
    TrafficFault f;
    f.line = LineOf(raw);
    f.kind = FaultKind(t.Choice("kind", {"parity", "dropout", "ssm", "burst", "bit_rate", "extra_label"}));
    switch (f.kind) {
        case FaultKind::Parity:
        case FaultKind::Dropout:
            t.Allow({"kind", "label", "start_s", "duration_s", "repeat_s", "probability"});
            break;
        case FaultKind::Ssm:
            t.Allow({"kind", "label", "start_s", "duration_s", "repeat_s", "probability", "ssm"});
            break;
        case FaultKind::Burst:
            t.Allow({"kind", "label", "start_s", "duration_s", "repeat_s", "rate_hz"});
            break;
        case FaultKind::BitRate:
            t.Allow({"kind", "label", "start_s", "duration_s", "repeat_s", "probability", "bit_rate_kbps"});
            break;
        case FaultKind::ExtraLabel:
            t.Allow({"kind", "label", "start_s", "duration_s", "repeat_s", "sdi", "ssm", "rate_hz", "bnr", "bcd",
                     "discrete", "value"});
            break;
    }
    f.window.startS = t.Number("start_s", 0.0, 1e9, 0.0);
    if (t.Has("duration_s")) f.window.durationS = t.Number("duration_s", 0.0, 1e9);
    if (t.Has("repeat_s")) {
        if (!t.Has("duration_s")) Refuse(*t.Find("repeat_s"), t.Path("repeat_s") + ": нужен и ключ duration_s");
        f.window.repeatS = t.Number("repeat_s", 0.001, 1e9);
        if (f.window.repeatS <= f.window.durationS)
            Refuse(*t.Find("repeat_s"), t.Path("repeat_s") + ": должно быть больше duration_s");
    }
    f.probability = t.Number("probability", 0.0, 1.0, 1.0);
    if (f.kind == FaultKind::ExtraLabel) {
        f.extraLabel = LabelNumber(t, "label");
        f.extraSdi = unsigned(t.Integer("sdi", 0, 3, 0));
        f.extraRateHz = t.Number("rate_hz", 0.01, kMaxRateHz);
        f.extraCoding = ReadCoding(t, true);
        return f;
    }
    if (t.Has("label")) {
        f.label = LabelNumber(t, "label");
        bool known = false;
        for (const LabelTraffic& l : traffic.labels) known = known || l.label == f.label;
        if (!known) Refuse(*t.Find("label"), t.Path("label") + ": вход не передаёт такую метку");
    }
    if (f.kind == FaultKind::Ssm) {
        const toml::node* n = t.Find("ssm");
        if (!n) Refuse(raw, MissingKey(t.Path("ssm")));
        if (n->is_integer()) {
            f.ssm = unsigned(t.Integer("ssm", 0, 3));
        } else {
            f.ssm = unsigned(t.Choice("ssm", {"failure", "ncd", "test", "normal"}));
        }
    }
    if (f.kind == FaultKind::Burst) f.burstHz = t.Number("rate_hz", 0.01, kMaxRateHz);
    if (f.kind == FaultKind::BitRate) f.bitRateKbps = t.Number("bit_rate_kbps", 10.0, 100.0);
    return f;
}

// The path of the table number `index` (from 0) of the [[...]] list `key`: "board1.input5.label[1]".
std::string ListItemPath(const Table& t, std::string_view key, std::size_t index) {
    return t.Path(key) + "[" + std::to_string(index + 1) + "]";
}

const toml::array& ArrayOfTables(const Table& t, std::string_view key) {
    const toml::node* n = t.Find(key);
    const toml::array* a = n ? n->as_array() : nullptr;
    if (!a || !a->is_array_of_tables())
        Refuse(n ? *n : t.Raw(), t.Path(key) + ": пишется таблицами [[" + t.Path(key) + "]]");
    return *a;
}

// An input holding more tables of `key` than it may is refused at the first one too many, before
// any of them is read.
void RefuseTooMany(const toml::array& tables, std::string_view key, unsigned board, unsigned input) {
    const std::size_t limit = InputTableLimit(key);
    if (tables.size() > limit) Refuse(tables[limit], TooManyTablesReason(key, board, input));
}

InputScenario ReadInput(const toml::table& raw, const VirtualBoardSpec& spec, unsigned input, unsigned board) {
    const Table t(raw, "board" + std::to_string(board) + ".input" + std::to_string(input));
    t.Allow({"hears", "bit_rate_kbps", "parity", "label", "fault"});
    InputScenario s;
    static constexpr InputHears kHears[] = {InputHears::Loopback, InputHears::Nothing, InputHears::Flight,
                                            InputHears::Traffic};
    s.hears = kHears[t.Choice("hears", {"loopback", "nothing", "flight", "traffic"})];
    if (s.hears == InputHears::Loopback && input > spec.outputs)
        Refuse(*t.Find("hears"), t.Path("hears") + ": у платы " + std::to_string(board) + " нет выхода " + std::to_string(input));
    if (s.hears != InputHears::Traffic) {
        for (std::string_view key : {"bit_rate_kbps", "parity", "label", "fault"})
            if (t.Has(key)) Refuse(*t.Find(key), t.Path(key) + ": ключ только для входа с hears = \"traffic\"");
        return s;
    }
    InputTraffic& traffic = s.traffic;
    traffic.bitRateKbps = t.Number("bit_rate_kbps", 10.0, 100.0, 12.5);
    traffic.evenParity = t.Choice("parity", {"odd", "even"}, 0) == 1;
    if (t.Has("label")) {
        double offered = 0.0;  // words per second the labels offer together
        const toml::array& labels = ArrayOfTables(t, "label");
        RefuseTooMany(labels, "label", board, input);
        for (const toml::node& n : labels) {
            const std::string path = ListItemPath(t, "label", traffic.labels.size());
            const LabelTraffic l = ReadLabel(*n.as_table(), path);
            for (const LabelTraffic& other : traffic.labels)
                if (other.label == l.label && other.sdi == l.sdi)
                    Refuse(n, path + ": метка " + OctalText(l.label) + " с SDI " + std::to_string(l.sdi) + " уже задана");
            offered += l.rateHz;
            if (offered > kMaxRateHz)
                Refuse(n, path + ": метки входа " + t.Path() + " вместе дают больше 100000 слов/с");
            traffic.labels.push_back(l);
        }
    }
    if (t.Has("fault")) {
        const toml::array& faults = ArrayOfTables(t, "fault");
        RefuseTooMany(faults, "fault", board, input);
        for (const toml::node& n : faults)
            traffic.faults.push_back(ReadFault(*n.as_table(), traffic, ListItemPath(t, "fault", traffic.faults.size())));
    }
    if (auto breach = CheckInputLimits(traffic, board, input)) throw Refusal{breach->line, breach->reason};
    return s;
}

Scenario ReadScenario(const toml::table& root) {
    const Table top(root, "");
    top.Allow({"seed", "board1", "board2"});
    Scenario scenario;
    scenario.seed = uint64_t(top.Integer("seed", 0, INT64_MAX, 1));
    for (unsigned b = 1; b <= 2; ++b) {
        const std::string name = "board" + std::to_string(b);
        if (!top.Has(name)) continue;
        const VirtualBoardSpec spec = b == 1 ? VirtualBoardOne() : VirtualBoardTwo();
        const Table board(top.SubTable(name), name);
        for (auto&& [key, value] : board.Raw()) {
            const std::string k(key.str());
            unsigned input = 0;
            if (k.size() == 6 && k.starts_with("input") && k[5] >= '1' && k[5] <= '8') input = unsigned(k[5] - '0');
            if (input == 0 || input > spec.inputs)
                throw Refusal{int(key.source().begin.line), "неизвестный вход " + board.Path(key.str()) + ": у платы " +
                                                                std::to_string(b) + " входы input1..input" +
                                                                std::to_string(spec.inputs)};
            if (!value.is_table()) Refuse(value, board.Path(key.str()) + ": нужна таблица");
            scenario.boards[b - 1].inputs[input - 1] = ReadInput(*value.as_table(), spec, input, b);
        }
    }
    return scenario;
}

}  // namespace

std::optional<Scenario> ParseScenario(std::string_view text, ScenarioError& error) {
    if (text.size() > kMaxScenarioFileBytes) {
        error = {0, ScenarioTooLongReason()};
        return std::nullopt;
    }
    if (std::optional<TomlTrap> trap = FindTomlTrap(text)) {
        error = {trap->line, std::move(trap->reason)};
        return std::nullopt;
    }
    try {
        const toml::table root = toml::parse(text);
        return ReadScenario(root);
    } catch (const toml::parse_error& e) {
        error = {int(e.source().begin.line), std::string(e.description())};
    } catch (const Refusal& r) {
        error = {r.line, r.reason};
    } catch (const std::bad_alloc&) {
        error = {0, "не хватило памяти"};
    }
    return std::nullopt;
}

std::optional<Scenario> LoadScenarioFile(const std::string& path, ScenarioError& error) {
    // The name exactly as given, whatever its length. Only a regular file is read: a FIFO under
    // the name would block, a folder reads as nothing.
    const FileBytes file = ReadFileBytes(path, kMaxScenarioFileBytes + 1);
    switch (file.status) {
        case ReadStatus::Ok: break;
        case ReadStatus::Missing: error = {0, "нет такого файла"}; return std::nullopt;
        case ReadStatus::NotRegular: error = {0, "это не обычный файл"}; return std::nullopt;
        case ReadStatus::Unreadable: error = {0, "файл не читается"}; return std::nullopt;
    }
    if (file.bytes.size() > kMaxScenarioFileBytes) {
        error = {0, ScenarioTooLongReason()};
        return std::nullopt;
    }
    return ParseScenario(std::string(file.bytes.begin(), file.bytes.end()), error);
}

std::string ScenarioErrorMessage(const std::string& path, const ScenarioError& error) {
    std::string text = "Сценарий " + path + " не прочитан:\n";
    if (error.line > 0) text += "строка " + std::to_string(error.line) + ": ";
    return text + error.reason + ".\nПлаты играют встроенный полёт.";
}

}  // namespace orv
