#pragma once
// Texts about the program's files that were not read or written whole, and about the records a
// reader left out (UTF-8). Messages that name a file are built by the functions below.

#include <cstddef>
#include <string>
#include <string_view>

namespace orv::text {

// A settings file that could not be written: the text followed by the file's name.
inline constexpr const char* kFileCreateFailed = "Ошибка создания файла ";
// A settings file that exists but could not be read: the text followed by the file's name.
inline constexpr const char* kFileReadFailed = "Ошибка чтения файла ";
// "Применить" over a file that could not be read: kKeptBefore + name + kKeptAfter.
inline constexpr const char* kKeptBefore = "Файл ";
inline constexpr const char* kKeptAfter = " не был прочитан и не перезаписан.";
// Records left out: kDamagedBefore + name + kDamagedMiddle + count.
inline constexpr const char* kDamagedBefore = "В файле ";
inline constexpr const char* kDamagedMiddle = " пропущено поврежденных записей: ";
// A frame file ending in part of a record: kTruncatedBefore + name + kTruncatedAfter.
inline constexpr const char* kTruncatedBefore = "Файл ";
inline constexpr const char* kTruncatedAfter = " поврежден: неполная последняя запись отброшена.";
// A frame file with more records than line numbers: kTooLongBefore + name + kTooLongMiddle + count.
inline constexpr const char* kTooLongBefore = "В файле ";
inline constexpr const char* kTooLongMiddle = " больше записей, чем номеров строк. Прочитано записей: ";

// Why a record was left out (besides the editors' own refusals).
inline constexpr const char* kDefectColumns = "поле не помещается в свою колонку";
inline constexpr const char* kDefectControl = "управляющий символ в тексте";
inline constexpr const char* kDefectUnknownRate = "неизвестный код частоты";

inline std::string FileMessage(std::string_view before, std::string_view name, std::string_view after = {}) {
    std::string m(before);
    m += name;
    m += after;
    return m;
}

inline std::string DamagedRecordsMessage(std::string_view name, std::size_t count) {
    return FileMessage(kDamagedBefore, name, kDamagedMiddle) + std::to_string(count);
}

}  // namespace orv::text
