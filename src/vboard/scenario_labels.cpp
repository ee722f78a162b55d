#include "vboard/scenario_labels.h"

#include <cmath>

#include "vboard/scenario_table.h"

namespace orv::scenario {
namespace {

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

}  // namespace

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

}  // namespace orv::scenario
