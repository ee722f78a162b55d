#pragma once
// Texts of file reception on one input channel (UTF-8).

namespace orv::text {

inline constexpr const char* kInChooserTitle = "Входные каналы";
inline constexpr const char* kInChooserHint = "DBLCLCK для выбора входного канала";

inline constexpr const char* kReceiveTitle = "Прием файла";
inline constexpr const char* kReceiveChannelCaption = "Входной канал №";
inline constexpr const char* kReceiveWithStop = "С остановом по Адресу Параметра";
inline constexpr const char* kReceiveNoStop = "Без останова по Адресу Параметра";
inline constexpr const char* kReceiveStart = "Пуск";
inline constexpr const char* kReceiveCancel = "Отмена";

inline constexpr const char* kBadStopAddress = "ОШИБКА: Адрес Параметра";

}  // namespace orv::text
