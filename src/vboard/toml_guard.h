#pragma once
// The TOML library the program is built with (toml++ 3.3.0, as Debian ships it) has undefined
// behaviour on two kinds of input, both fixed in later versions:
//   - a table header whose key does not start with a key character or a quote: "[" followed by a
//     line end, "[=", "[[#" (the parser assumes it never sees one);
//   - where an array expects a value, a "}" or U+0085, U+2028, U+2029 (the parser assumes a value
//     starts there): "bits = [11, }";
//   - a character in U+00A1..U+0499 (Cyrillic among them), U+2C5E..U+3057 or U+FB26..U+FEFE where
//     the parser asks whether it is white space: outside strings and comments (after a table
//     header, a key, a value), and in a """...""" string right after a backslash or as the first
//     character after a line-ending backslash.
// The scenario reader looks for them first and refuses the file with the line and the reason, so
// that such text never reaches the parser. Comments and ordinary strings may hold any character.

#include <optional>
#include <string>
#include <string_view>

namespace orv {

struct TomlTrap {
    int line = 0;        // 1-based
    std::string reason;  // UTF-8, Russian
};

// The first place in `text` that the parser must not see; nothing when there is none.
std::optional<TomlTrap> FindTomlTrap(std::string_view text);

}  // namespace orv
