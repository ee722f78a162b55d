#pragma once
// Fixed-width text fields of records (labels, units): N Windows-1251 bytes, blank-padded on the
// right. In files each is followed by a zero byte; in memory only the N bytes are kept.

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace orv {

template <std::size_t N>
class FixedText {
public:
    FixedText() { bytes_.fill(' '); }
    // Takes at most N bytes of `text` and pads with blanks.
    FixedText(std::string_view text) { Assign(text); }  // NOLINT: implicit by design

    void Assign(std::string_view text) {
        bytes_.fill(' ');
        std::copy_n(text.begin(), std::min(text.size(), N), bytes_.begin());
    }
    // Raw bytes exactly as given (no padding), for record decoding.
    void AssignRaw(const char* src) { std::copy_n(src, N, bytes_.begin()); }
    void Clear() { bytes_.fill(' '); }

    // All N bytes, blanks included.
    std::string_view View() const { return {bytes_.data(), N}; }
    std::string Str() const { return std::string(View()); }
    // The bytes before the first zero byte, as a C string of the field reads.
    std::string_view UpToZero() const {
        const std::string_view v = View();
        return v.substr(0, std::min(v.find('\0'), v.size()));
    }
    // Without trailing blanks (and without anything after a zero byte).
    std::string_view Trimmed() const {
        std::string_view v = View();
        v = v.substr(0, std::min(v.find('\0'), v.size()));
        const auto end = v.find_last_not_of(' ');
        return end == std::string_view::npos ? std::string_view{} : v.substr(0, end + 1);
    }
    // A field whose first byte is a blank stands for "none" (no format, no parameter).
    bool IsBlank() const { return bytes_[0] == ' '; }
    char First() const { return bytes_[0]; }
    void SetFirst(char c) { bytes_[0] = c; }

    const char* Data() const { return bytes_.data(); }
    static constexpr std::size_t Size() { return N; }

    friend bool operator==(const FixedText&, const FixedText&) = default;

private:
    std::array<char, N> bytes_{};
};

using Label8 = FixedText<8>;
using Units4 = FixedText<4>;

}  // namespace orv
