#include "vboard/toml_guard.h"

#include <cstdint>

namespace orv {
namespace {

// The characters on which the library's white-space test reaches an unreachable branch: its table
// of non-ASCII white space splits U+00A0..U+FEFF into blocks of 0x3FA and has no case for every
// character of blocks 0, 11 and 63 but U+00A0, U+3000 and U+FEFF.
bool TrapsWhitespaceTest(char32_t c) {
    return (c >= 0xA1 && c <= 0x499) || (c >= 0x2C5E && c <= 0x3057 && c != 0x3000) || (c >= 0xFB26 && c <= 0xFEFE);
}

bool IsBareKeyCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
}

std::string CodePointText(char32_t c) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text = "U+";
    for (int shift = 12; shift >= 0; shift -= 4) text += kHex[(c >> shift) & 0xF];
    return text;
}

// Walks the text as the parser tokenizes it: strings, comments, the brackets of values (arrays
// may span lines) and the table headers that start a line outside any value.
class Scanner {
public:
    explicit Scanner(std::string_view text) : text_(text) {}

    std::optional<TomlTrap> Run() {
        // The parser skips a byte-order mark before the first line.
        if (text_.starts_with("\xEF\xBB\xBF")) at_ = 3;
        while (at_ < text_.size() && !trap_) {
            switch (state_) {
                case State::Code: Code(); break;
                case State::Comment: Comment(); break;
                case State::Basic: Basic(); break;
                case State::Literal: Literal(); break;
                case State::MultiBasic: MultiBasic(); break;
                case State::MultiLiteral: MultiLiteral(); break;
            }
        }
        return trap_;
    }

private:
    enum class State { Code, Comment, Basic, Literal, MultiBasic, MultiLiteral };

    // The code point at `at_` and its length in bytes. Decoded leniently (an overlong form gives
    // its value too), so that nothing the library's stricter decoder accepts is missed; a stray
    // byte is one unit of its own.
    char32_t Peek(std::size_t& length) const {
        const auto b = static_cast<unsigned char>(text_[at_]);
        std::size_t n = b < 0x80 ? 1 : b >= 0xC0 && b < 0xE0 ? 2 : b >= 0xE0 && b < 0xF0 ? 3 : b >= 0xF0 && b < 0xF8 ? 4 : 0;
        char32_t c = n == 1 ? b : n == 2 ? (b & 0x1F) : n == 3 ? (b & 0x0F) : (b & 0x07);
        for (std::size_t k = 1; k < n; ++k) {
            const std::size_t i = at_ + k;
            if (i >= text_.size() || (static_cast<unsigned char>(text_[i]) & 0xC0) != 0x80) {
                n = 0;
                break;
            }
            c = (c << 6) | (static_cast<unsigned char>(text_[i]) & 0x3F);
        }
        if (n == 0) {
            length = 1;
            return 0xFFFD;  // not a trap: the parser stops at the byte
        }
        length = n;
        return c;
    }

    char32_t Take() {
        std::size_t n = 0;
        const char32_t c = Peek(n);
        at_ += n;
        if (c == '\n') ++line_;
        return c;
    }

    bool Next(char c) const { return at_ < text_.size() && text_[at_] == c; }

    std::size_t QuoteRun(char quote) const {
        std::size_t n = 0;
        while (at_ + n < text_.size() && text_[at_ + n] == quote) ++n;
        return n;
    }

    void Refuse(std::string reason) { trap_ = TomlTrap{line_, std::move(reason)}; }

    void TrapCharacter(char32_t c, const char* where) {
        if (TrapsWhitespaceTest(c)) Refuse("символ " + CodePointText(c) + " " + where);
    }

    // A string opens at a quote: three quotes open a multi-line one.
    void OpenString(char quote) {
        const bool multi = QuoteRun(quote) >= 3;
        at_ += multi ? 3 : 1;
        state_ = quote == '"' ? (multi ? State::MultiBasic : State::Basic) : (multi ? State::MultiLiteral : State::Literal);
    }

    // A run of three to five quotes closes a multi-line string (up to two belong to its text);
    // fewer are text.
    void CloseMultiLine(char quote) {
        const std::size_t run = QuoteRun(quote);
        if (run >= 3) {
            at_ += run < 5 ? run : 5;
            state_ = State::Code;
        } else {
            at_ += run;
        }
    }

    // After the "[" that opens a table header: white space, a second "[" right after the first,
    // white space, and then the parser assumes a key character, a quote, "]" or the end.
    void TableHeader() {
        std::size_t i = at_;
        auto blanks = [&] {
            const std::size_t from = i;
            while (i < text_.size() && (text_[i] == ' ' || text_[i] == '\t')) ++i;
            return i != from;
        };
        if (blanks() && i < text_.size() && text_[i] == '[') return;  // "[ [": the parser refuses it itself
        if (i < text_.size() && text_[i] == '[') {
            ++i;
            blanks();
        }
        if (i == text_.size()) return;
        const char c = text_[i];
        if (IsBareKeyCharacter(c) || c == '"' || c == '\'' || c == ']') return;
        Refuse("после \"[\" должно идти имя таблицы");
    }

    void Code() {
        const char b = text_[at_];
        if (b == '"' || b == '\'') {
            lineStart_ = false;
            element_ = false;
            OpenString(b);
            return;
        }
        const char32_t c = Take();
        // Where an array expects its next value, the parser takes anything but blanks, line ends,
        // comments, "," and "]" for the start of one and assumes it is not a value's end.
        if (element_ && (c == '}' || c == 0x85 || c == 0x2028 || c == 0x2029)) {
            Refuse(c == '}' ? std::string("в списке [...] вместо значения стоит \"}\"")
                            : "в списке [...] вместо значения стоит символ " + CodePointText(c));
            return;
        }
        switch (c) {
            case '\n':
                lineStart_ = true;
                header_ = false;
                return;
            case ' ':
            case '\t':
            case '\r': return;
            case '#': state_ = State::Comment; return;
            case '[':
                if (lineStart_ && depth_.empty()) {
                    header_ = true;
                    TableHeader();
                } else if (!header_) {
                    depth_ += '[';
                    lineStart_ = false;
                    element_ = true;
                    return;
                }
                break;
            case '{':
                if (!header_) depth_ += '{';
                break;
            case ',':
                if (!depth_.empty() && depth_.back() == '[') {
                    lineStart_ = false;
                    element_ = true;
                    return;
                }
                break;
            case ']':
            case '}':
                if (!header_ && !depth_.empty()) depth_.pop_back();
                break;
            default: TrapCharacter(c, "допустим только в строке или комментарии"); break;
        }
        lineStart_ = false;
        element_ = false;
    }

    void Comment() {
        if (Take() == '\n') {
            state_ = State::Code;
            lineStart_ = true;
            header_ = false;
        }
    }

    // A line end ends a one-line string for the parser too (it refuses the string there).
    void Basic() {
        if (Next('\n')) {
            state_ = State::Code;
            return;
        }
        const char32_t c = Take();
        if (c == '"') state_ = State::Code;
        else if (c == '\\' && at_ < text_.size() && !Next('\n')) Take();
    }

    void Literal() {
        if (Next('\n')) {
            state_ = State::Code;
            return;
        }
        if (Take() == '\'') state_ = State::Code;
    }

    void MultiBasic() {
        if (Next('"')) {
            CloseMultiLine('"');
            return;
        }
        if (Take() != '\\' || at_ >= text_.size()) return;
        // The parser tests the escaped character for white space; when it is (a line-ending
        // backslash), it skips blanks and line ends and tests the first character after them.
        std::size_t n = 0;
        char32_t c = Peek(n);
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            while (at_ < text_.size() && (c == ' ' || c == '\t' || c == '\r' || c == '\n')) {
                Take();
                if (at_ < text_.size()) c = Peek(n);
            }
            if (at_ >= text_.size()) return;
        }
        if (c == '"' || c == '\\') return;  // a quote or the next escape: handled as such
        TrapCharacter(c, "не может идти в строке \"\"\"...\"\"\" после \"\\\"");
        Take();
    }

    void MultiLiteral() {
        if (Next('\'')) CloseMultiLine('\'');
        else Take();
    }

    std::string_view text_;
    std::size_t at_ = 0;
    int line_ = 1;
    State state_ = State::Code;
    bool lineStart_ = true;  // only blanks so far on this line, outside strings
    bool header_ = false;    // on the line of a table header
    std::string depth_;      // the open brackets and braces of values, innermost last
    bool element_ = false;   // where an array expects a value (after its "[" or a ",")
    std::optional<TomlTrap> trap_;
};

}  // namespace

std::optional<TomlTrap> FindTomlTrap(std::string_view text) { return Scanner(text).Run(); }

}  // namespace orv
