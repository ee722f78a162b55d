#pragma once
// The scenario reader's view of one TOML table: the keys it may carry, and typed values that are
// refused with the key's whole path and the file's line ("board1.input5.label[2].rate_hz: нужно
// число от 0.01 до 100000"). Used only inside the reader (scenario_file.cpp and the files it
// calls), which turns a Refusal into the ScenarioError it returns.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <toml++/toml.h>

namespace orv::scenario {

// A refusal somewhere inside the file: where and why. Thrown only inside the reader.
struct Refusal {
    int line;
    std::string reason;
};

inline int LineOf(const toml::node& node) { return int(node.source().begin.line); }

[[noreturn]] inline void Refuse(const toml::node& at, std::string reason) {
    throw Refusal{LineOf(at), std::move(reason)};
}

// The whole path of a key under the table at `table` ("" for the top of the file), the key written
// as the file writes it: bare, or quoted with the escapes of a TOML string.
std::string PathOf(const std::string& table, std::string_view key);

std::string MissingKey(const std::string& path);

// A table of the file with the keys it may carry; its reasons name each key by its whole path
// ("board1.input5.label[2].rate_hz": the tables of a [[...]] list are counted from 1).
class Table {
public:
    Table(const toml::table& table, std::string path) : table_(table), path_(std::move(path)) {}

    void Allow(std::initializer_list<std::string_view> keys) const;

    const toml::node* Find(std::string_view key) const { return table_.get(key); }
    bool Has(std::string_view key) const { return Find(key) != nullptr; }
    const toml::table& Raw() const { return table_; }
    // The path of the table itself, and of one of its keys.
    const std::string& Path() const { return path_; }
    std::string Path(std::string_view key) const { return PathOf(path_, key); }

    // A number (integer or float) within [low, high].
    double Number(std::string_view key, double low, double high, std::optional<double> fallback = {}) const;
    // A whole number within [low, high].
    int64_t Integer(std::string_view key, int64_t low, int64_t high, std::optional<int64_t> fallback = {}) const;
    // One of `choices`; returns its index.
    std::size_t Choice(std::string_view key, std::initializer_list<std::string_view> choices,
                       std::optional<std::size_t> fallback = {}) const;
    const toml::table& SubTable(std::string_view key) const;
    // A string (UTF-8), not empty.
    std::string Text(std::string_view key, std::optional<std::string> fallback = {}) const;
    // true or false.
    bool Flag(std::string_view key, std::optional<bool> fallback = {}) const;

private:
    const toml::table& table_;
    std::string path_;
};

// A label number: octal digits in a string ("203") or a TOML octal integer (0o203).
uint8_t LabelNumber(const Table& t, std::string_view key);

// The path of the table number `index` (from 0) of the [[...]] list `key`: "board1.input5.label[1]".
std::string ListItemPath(const Table& t, std::string_view key, std::size_t index);

// The [[...]] list `key` of `t`, refused unless it is written as tables.
const toml::array& ArrayOfTables(const Table& t, std::string_view key);

}  // namespace orv::scenario
