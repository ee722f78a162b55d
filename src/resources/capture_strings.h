#pragma once
// Texts of the data file choosers (UTF-8).

namespace orv::text {

inline constexpr const char* kSaveChooserTitle = "Сохранение данных в файле";
inline constexpr const char* kOpenChooserTitle = "Чтение данных из файла";
inline constexpr const char* kFileNameCaption = "Имя файла";
inline constexpr const char* kSaveButton = "Сохранить";
inline constexpr const char* kChooserCancel = "Отмена";
inline constexpr const char* kChooserOk = "OK";
inline constexpr const char* kDoubleClickFile = "DBLCLCK для выбора файла";

inline constexpr const char* kBadFileName = "ОШИБКА: имя файла";
// The overwrite question: kOverwriteBefore + name + kOverwriteAfter.
inline constexpr const char* kOverwriteBefore = "Файл с именем ";
inline constexpr const char* kOverwriteAfter = " существует. Продолжить запись ?";
inline constexpr const char* kOpenFailed = "Ошибка открытия файла ";
inline constexpr const char* kCreateFailed = "Ошибка создания файла ";

}  // namespace orv::text
