#include "vboard/scenario_table.h"

#include <cmath>
#include <sstream>

namespace orv::scenario {
namespace {

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

}  // namespace

// The whole path of a key under the table at `table` ("" for the top of the file).
std::string PathOf(const std::string& table, std::string_view key) {
    return table.empty() ? KeyText(key) : table + "." + KeyText(key);
}

std::string MissingKey(const std::string& path) { return "нет ключа " + path; }

void Table::Allow(std::initializer_list<std::string_view> keys) const {
    for (auto&& [key, value] : table_) {
        bool known = false;
        for (std::string_view k : keys) known = known || key.str() == k;
        if (!known) throw Refusal{int(key.source().begin.line), "неизвестный ключ " + Path(key.str())};
    }
}

double Table::Number(std::string_view key, double low, double high, std::optional<double> fallback) const {
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

int64_t Table::Integer(std::string_view key, int64_t low, int64_t high, std::optional<int64_t> fallback) const {
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

std::size_t Table::Choice(std::string_view key, std::initializer_list<std::string_view> choices,
                          std::optional<std::size_t> fallback) const {
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

const toml::table& Table::SubTable(std::string_view key) const {
    const toml::node* n = Find(key);
    if (!n) Refuse(table_, MissingKey(Path(key)));
    if (!n->is_table()) Refuse(*n, Path(key) + ": нужна таблица");
    return *n->as_table();
}

std::string Table::Text(std::string_view key, std::optional<std::string> fallback) const {
    const toml::node* n = Find(key);
    if (!n) {
        if (fallback) return *fallback;
        Refuse(table_, MissingKey(Path(key)));
    }
    if (!n->is_string() || n->as_string()->get().empty()) Refuse(*n, Path(key) + ": нужна непустая строка");
    return n->as_string()->get();
}

bool Table::Flag(std::string_view key, std::optional<bool> fallback) const {
    const toml::node* n = Find(key);
    if (!n) {
        if (fallback) return *fallback;
        Refuse(table_, MissingKey(Path(key)));
    }
    if (!n->is_boolean()) Refuse(*n, Path(key) + ": нужно true или false");
    return n->as_boolean()->get();
}

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

}  // namespace orv::scenario
