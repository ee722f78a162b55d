#pragma once
// The field layout of a record kind as one table: each field's name, its text form, its byte
// offset in the record and the member of the in-memory struct that holds it. The record's encoder
// and decoder, its damage check and orvtool's rows all walk the same table.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

#include "files/record_codec.h"
#include "files/record_read.h"
#include "resources/file_strings.h"
#include "text/fixed_text.h"

namespace orv {

// How a field travels as text (orvtool's CSV and JSON); Hidden fields are kept in the record but
// never shown (the reserved words).
enum class FieldForm {
    Text,    // a Windows-1251 text, blank-padded in the record
    Dec,     // decimal integer
    Oct,     // octal, three digits (labels)
    Hex,     // "0x" and eight hexadecimal digits (words)
    Float,   // single precision
    Hidden,  // stored, not shown
};

template <class T>
using FieldMember = std::variant<uint8_t T::*, uint16_t T::*, uint32_t T::*, float T::*, Units4 T::*, Label8 T::*>;

template <class T>
struct FieldDef {
    const char* name;
    FieldForm form;
    std::size_t at;  // byte offset in the record
    FieldMember<T> member;
};

// Writes every field of `record` at its offset; bytes no field covers stay as they are.
template <class T>
void EncodeFields(std::span<const FieldDef<std::type_identity_t<T>>> fields, const T& record, std::span<uint8_t> bytes) {
    for (const FieldDef<T>& f : fields) {
        std::visit(
            [&](auto member) {
                const auto& v = record.*member;
                using V = std::remove_cvref_t<decltype(v)>;
                if constexpr (std::is_same_v<V, uint8_t>) bytes[f.at] = v;
                else if constexpr (std::is_same_v<V, uint16_t>) PutU16(bytes, f.at, v);
                else if constexpr (std::is_same_v<V, uint32_t>) PutU32(bytes, f.at, v);
                else if constexpr (std::is_same_v<V, float>) PutF32(bytes, f.at, v);
                else PutText(bytes, f.at, v);
            },
            f.member);
    }
}

// Reads every field of the record from its offset into `record`.
template <class T>
void DecodeFields(std::span<const FieldDef<std::type_identity_t<T>>> fields, std::span<const uint8_t> bytes, T& record) {
    for (const FieldDef<T>& f : fields) {
        std::visit(
            [&](auto member) {
                auto& v = record.*member;
                using V = std::remove_cvref_t<decltype(v)>;
                if constexpr (std::is_same_v<V, uint8_t>) v = bytes[f.at];
                else if constexpr (std::is_same_v<V, uint16_t>) v = GetU16(bytes, f.at);
                else if constexpr (std::is_same_v<V, uint32_t>) v = GetU32(bytes, f.at);
                else if constexpr (std::is_same_v<V, float>) v = GetF32(bytes, f.at);
                else v = GetText<V::Size()>(bytes, f.at);
            },
            f.member);
    }
}

// True when a text field of the record holds a control character (HasControlCharacter).
template <class T>
bool TextsHoldControlCharacter(std::span<const FieldDef<std::type_identity_t<T>>> fields, const T& record) {
    for (const FieldDef<T>& f : fields) {
        const bool control = std::visit(
            [&](auto member) {
                using V = std::remove_cvref_t<decltype(record.*member)>;
                if constexpr (std::is_same_v<V, Label8> || std::is_same_v<V, Units4>)
                    return HasControlCharacter((record.*member).View());
                else
                    return false;
            },
            f.member);
        if (control) return true;
    }
    return false;
}

// True when every shown field of `back` (a record read back from its list line) equals that of
// `record`: numbers as they are, texts as a list line shows them (ShownText).
template <class T>
bool ShownFieldsReadBack(std::span<const FieldDef<std::type_identity_t<T>>> fields, const T& back, const T& record) {
    for (const FieldDef<T>& f : fields) {
        if (f.form == FieldForm::Hidden) continue;
        const bool same = std::visit(
            [&](auto member) {
                using V = std::remove_cvref_t<decltype(record.*member)>;
                if constexpr (std::is_same_v<V, Label8> || std::is_same_v<V, Units4>)
                    return back.*member == ShownText(record.*member);
                else
                    return back.*member == record.*member;
            },
            f.member);
        if (!same) return false;
    }
    return true;
}

// A whole record of N bytes made from its fields (bytes no field covers are 0), and one read back.
template <std::size_t N, class T>
std::array<uint8_t, N> EncodeRecord(std::span<const FieldDef<std::type_identity_t<T>>> fields, const T& record) {
    std::array<uint8_t, N> bytes{};
    EncodeFields<T>(fields, record, bytes);
    return bytes;
}
template <class T>
T DecodeRecord(std::span<const FieldDef<std::type_identity_t<T>>> fields, std::span<const uint8_t> bytes) {
    T record;
    DecodeFields<T>(fields, bytes, record);
    return record;
}

// The damage rule of a record the lists keep as its line: a control character in a text, or shown
// fields that do not come back the same through the line (`throughLine` renders and parses it).
template <class T, class ThroughLine>
const char* LineRecordDefect(std::span<const FieldDef<std::type_identity_t<T>>> fields, const T& record,
                             ThroughLine throughLine) {
    if (TextsHoldControlCharacter<T>(fields, record)) return text::kDefectControl;
    if (!ShownFieldsReadBack<T>(fields, throughLine(record), record)) return text::kDefectColumns;
    return nullptr;
}

// The records one after another, each `size` bytes made by `encode`.
template <class T, class Encode>
std::vector<uint8_t> EncodeRecords(std::span<const T> records, std::size_t size, Encode encode) {
    std::vector<uint8_t> bytes;
    bytes.reserve(records.size() * size);
    for (const T& r : records) {
        const auto rec = encode(r);
        bytes.insert(bytes.end(), rec.begin(), rec.end());
    }
    return bytes;
}

}  // namespace orv
