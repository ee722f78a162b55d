#pragma once
// Texts of the output frame dialog, the output word editors and the output channel control
// (UTF-8).

namespace orv::text {

// ---- Output channel chooser ----
inline constexpr const char* kOutChooserTitle = "Выходные каналы";
inline constexpr const char* kOutChooserHint = "DBLCLCK для выбора выходного канала";

// ---- Output frame dialog ----
inline constexpr const char* kFrameTitle = "Формирование кадра выдачи и пуск канала";
inline constexpr const char* kFrameNoBoardHeader = " Рабочее устройство не выбрано";
// "Выходной канал № %2d ": kFrameChannelHeader + channel in two columns + " ".
inline constexpr const char* kFrameChannelHeader = "Выходной канал № ";
inline constexpr const char* kFrameAdd = "Добавить";
inline constexpr const char* kFrameDelete = "Удалить";
inline constexpr const char* kFrameEdit = "Редактировать";
inline constexpr const char* kFrameInsert = "Вставить (выше)";
inline constexpr const char* kFrameChangeCode = "изменить код";
inline constexpr const char* kFrameRestore = "Восстановить из файла";
inline constexpr const char* kFrameSave = "Сохранить";
inline constexpr const char* kFrameClear = "Очистить";
inline constexpr const char* kFrameOneShot = "Однократный";
inline constexpr const char* kFrameCyclic = "Циклический";
inline constexpr const char* kFrameStart = "Пуск";
inline constexpr const char* kFrameStop = "Останов канала";
inline constexpr const char* kFrameExit = "Выход";
inline constexpr const char* kFrameCancel = "Cancel";
inline constexpr const char* kFrameGroupParam = "Параметр";
inline constexpr const char* kFrameGroupList = "Список параметров";
inline constexpr const char* kFrameGroupChannel = "Канал";
inline constexpr const char* kFrameGroupMode = "Режим канала";
inline constexpr const char* kFrameHeading1 =
    " №   | метка   |  Адрес  |                 код параметра                         |   метка";
inline constexpr const char* kFrameHeading2 =
    "слова|параметра|Параметра|  HEX       |    OCTAL     |   M  |  DECIMAL           | формата";
inline constexpr const char* kFrameExtension = ".42o";

inline constexpr const char* kList256 = "В списке 256 параметров.";
inline constexpr const char* kAddQuestion =
    "Добавить:\n''Да '' - параметр \n''Нет'' - паузу \n \n''Отмена''-отмена операции";
inline constexpr const char* kInsertOver256 = "Количество параметров после вставки превысит 256 .";
inline constexpr const char* kPickParameter = "Укажите параметр";
inline constexpr const char* kDeleteQuestion = "Удаляем параметр ?";
inline constexpr const char* kPauseOnlyDelete = "Паузу можно только удалить";
inline constexpr const char* kNoParameters = "Не заданы параметры.";
inline constexpr const char* kNoDeviceForCode = "Устройство не выбрано. Режим не работает.";
// Refusals of a code change that the board could not take.
inline constexpr const char* kSlotOutsideFrameArea =
    "ОШИБКА: смещение кадра канала, сообщенное устройством, выводит слово за пределы области выдачи. Код не изменен.";
inline constexpr const char* kSlotBeyondFrame =
    "ОШИБКА: параметр находится за пределами 256 слов кадра. Код не изменен.";

// ---- Output word editor ----
inline constexpr const char* kWordTitle = "Характеристики выходного параметра";
inline constexpr const char* kWordLabelCaption = "метка  (до 8 символов)";
inline constexpr const char* kWordAddressCaption = "Адрес Параметра (OCTAL  до 3 символов)";
inline constexpr const char* kWordFormatCaption = "№ формата (выбирается из таблицы форматов)";
inline constexpr const char* kCodeCaption = "Код параметра HEX  (биты  31..9)";
inline constexpr const char* kWordDataGroup = "Данные";
inline constexpr const char* kWordParamHint = "DBLCLCK для выбора параметра из списка параметров";
inline constexpr const char* kWordFormatsCaption = "                  Форматы";
inline constexpr const char* kWordFormatHint = "DBLCLCK для выбора формата из списка форматов";
inline constexpr const char* kWordCheck = "Контроль кода параметра";
inline constexpr const char* kWordDecimalCaption = "DECIMAL:";
inline constexpr const char* kWordMCaption = "Матрица:";
inline constexpr const char* kWordClearFormat = "Очистить формат";
inline constexpr const char* kApplyButton = "Применить";
inline constexpr const char* kCancelButton = "Отмена";

inline constexpr const char* kBadAddress = "ОШИБКА: адрес параметра";
inline constexpr const char* kBadLabel = "ОШИБКА: метка параметра";
inline constexpr const char* kBadCode = "ОШИБКА: код параметра";
inline constexpr const char* kFormatMissing = "ОШИБКА: указанный формат в списке отсутствует";

// ---- Pause dialog ----
inline constexpr const char* kPauseTitle = "Длительность паузы";
inline constexpr const char* kPausePrompt = "Введите длительность паузы (слов ПК)";
inline constexpr const char* kBadPause = "ОШИБКА: длительность паузы не более 255 слов ПК";

// ---- Code change dialog ----
inline constexpr const char* kCodeChangeTitle = "Изменение кода выходного параметра";
inline constexpr const char* kCodeInputGroup = "Ввод кода параметра";
inline constexpr const char* kCodeCheckGroup = "Контроль кода параметра";
inline constexpr const char* kCodeDecimalCaption = "DECIMAL ";
inline constexpr const char* kCodeMCaption = "Матрица";
inline constexpr const char* kCodeUpdate = "Обновить";

}  // namespace orv::text
