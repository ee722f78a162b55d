#pragma once
// Texts of board selection and of the channel rate and parity dialogs (UTF-8).

namespace orv::text {

// Device selection.
inline constexpr const char* kDeviceSelectTitle = "Выбор устройства";
inline constexpr const char* kDeviceSelectButton = "Выбрать";
inline constexpr const char* kCancelButton = "Отмена";
inline constexpr const char* kBoardAlreadySelected = "ПРЕДУПРЕЖДЕНИЕ: Рабочее устройство задано.";
// %s stands for the device name.
inline constexpr const char* kStartDeviceQuestion = "Пуск устройства  %s \n Продолжить ?";
inline constexpr const char* kDeviceOpenError = "Ошибка открытия устройства.";

// Channel list dialog.
inline constexpr const char* kChannelFreqTitle = "Рабочие частоты каналов и контроль нечетности";
inline constexpr const char* kInputChannelsTitle = "Входные каналы";
inline constexpr const char* kOutputChannelsTitle = "Выходные каналы";
inline constexpr const char* kInputListHead = " №      частота     контроль\nканала    КГц       нечетности";
inline constexpr const char* kOutputListHead = " №      частота      дополнение\nканала    КГц       ";
inline constexpr const char* kDoubleClickHint = "DBLCK для  редактирования строки";
inline constexpr const char* kSaveToFile = "Сохранить в файле";
inline constexpr const char* kRestoreFromFile = "Восстановить из файла";
inline constexpr const char* kApplyButton = "Применить";
inline constexpr const char* kHiddenCancel = "Cancel";

// Channel editors.
inline constexpr const char* kChannelEditTitle = "Настройка частоты и контроля нечетности ";
inline constexpr const char* kInputChannelNumber = "№ входного канала";
inline constexpr const char* kOutputChannelNumber = "№ выходного канала";
inline constexpr const char* kRateGroup = "Частота ПК";
inline constexpr const char* kParityCheckGroup = "Контроль \nнечетности";
inline constexpr const char* kParityFillGroup = "Дополнение";
inline constexpr const char* kInputRate0 = "12...14,5";
inline constexpr const char* kInputRate1 = "36...60";
inline constexpr const char* kInputRate2 = "100";
inline constexpr const char* kParityCheckOn = "включен";
inline constexpr const char* kParityCheckOff = "выключен";
inline constexpr const char* kOutputRate0 = "12,5";
inline constexpr const char* kOutputRate1 = "50";
inline constexpr const char* kOutputRate2 = "100";
inline constexpr const char* kParityOdd = "до нечетности";
inline constexpr const char* kParityEven = "до четности";

}  // namespace orv::text
