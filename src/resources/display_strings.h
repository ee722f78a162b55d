#pragma once
// Texts of the display table, the displayed-parameter editor, the row format dialog and the
// displayed-list dialogs (UTF-8).

namespace orv::text {

// ---- Displayed-parameter editor ----
inline constexpr const char* kDisplayParamTitle = "Характеристики отображаемого входного параметра";
inline constexpr const char* kDisplayParamLabelCaption = "метка  (до 8 символов)";
inline constexpr const char* kDisplayChannelCaption = "№ входного канала (1-16)";
inline constexpr const char* kDisplayAddressCaption = "Адрес Параметра (OCTAL  до 3 символов)";
inline constexpr const char* kDisplayFormatCaption = "№ формата (выбирается из таблицы форматов)";
inline constexpr const char* kDisplayClearFormat = "Очистить формат";
inline constexpr const char* kDisplayParamsHead = "           Параметры  ";
inline constexpr const char* kDisplayDoubleClickParam = "DBLCLCK для выбора параметра из списка параметров";
inline constexpr const char* kDisplayFormatsHead = "                       Форматы";
inline constexpr const char* kDisplayDoubleClickFormat = "DBLCLCK для выбора формата";

inline constexpr const char* kDisplayBadAddress = "ОШИБКА: адрес параметра";
inline constexpr const char* kDisplayBadChannel = "ОШИБКА: № канала";
inline constexpr const char* kDisplayNoParamLabel = "ОШИБКА: метка параметра";
inline constexpr const char* kDisplayDuplicate = "ОШИБКА: дублирование параметра";
// "Добавить список": the duplicate message followed by the picked parameter's label.
inline constexpr const char* kDisplayDuplicateNamed = "ОШИБКА: дублирование параметра %s";

// ---- Row format dialog ----
inline constexpr const char* kParamFormatTitle = "Задание формата для параметра";
inline constexpr const char* kParamFormatParamCaption = "Параметр";
inline constexpr const char* kDisplayPickFormat = "Укажите формат";

// ---- Table pane's add command ----
inline constexpr const char* kDisplayTableFull = "Отображается 256 параметров.";

// ---- Displayed-list dialog ----
inline constexpr const char* kDisplayListTitle = "Список отображаемых входных параметров";
inline constexpr const char* kDisplayListParamFrame = "Параметр";
inline constexpr const char* kDisplayListAdd = "Добавить";
inline constexpr const char* kDisplayListDelete = "Удалить";
inline constexpr const char* kDisplayListEdit = "Редактировать";
inline constexpr const char* kDisplayListInsert = "Вставить (выше)";
inline constexpr const char* kDisplayListFileFrame1 = "Список";
inline constexpr const char* kDisplayListFileFrame2 = "параметров";
inline constexpr const char* kDisplayListRestore = "Восстановить из файла";
inline constexpr const char* kDisplayListSave = "Сохранить";
inline constexpr const char* kDisplayListAddList = "Добавить список";
inline constexpr const char* kDisplayApply = "Применить";
inline constexpr const char* kDisplayCancel = "Отмена";

inline constexpr const char* kDisplayListFull = "В списке 256 параметров.";
inline constexpr const char* kDisplayPickParam = "Укажите параметр";
inline constexpr const char* kDisplayDeleteQuestion = "Удаляем параметр ?";
inline constexpr const char* kDisplayListEmpty = "Список пустой.";
inline constexpr const char* kNoBoardForList =
    "Рабочее устройство не выбрано. Режим может быть использован для создания и сохранения списка "
    "параметров.";

// ---- Pick dialog ----
inline constexpr const char* kParamPickTitle = "Выбор входных параметров для отображения";
inline constexpr const char* kParamPickChannelCaption = "№ входного канала";
// %d: how many lines may still be added.
inline constexpr const char* kParamPickLimit = "В списке может быть выделено не более %d параметров.";

}  // namespace orv::text
