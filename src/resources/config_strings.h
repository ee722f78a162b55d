#pragma once
// Texts of the decimal format table, the parameter dictionary and their editors (UTF-8).

namespace orv::text {

// Buttons shared by the configuration dialogs.
inline constexpr const char* kApply = "Применить";
inline constexpr const char* kCancel = "Отмена";

// ---- Decimal format table ----
inline constexpr const char* kFormatTableTitle = "Десятичные форматы";
inline constexpr const char* kFormatFrame = "Формат";
inline constexpr const char* kFormatAdd = "добавить";
inline constexpr const char* kFormatEdit = "редактировать";
inline constexpr const char* kFormatDelete = "удалить";
inline constexpr const char* kPickFormat = "Укажите формат";
inline constexpr const char* kDeleteFormatQuestion = "Удаляем формат?";
inline constexpr const char* kDuplicateFormatOnAdd = "Дублирование метки формата не допускается. ";
inline constexpr const char* kDuplicateFormatOnEdit = "Дублирование метки формата не допускается.";

// ---- Decimal format editor ----
inline constexpr const char* kFormatEditTitle = "Характеристики десятичного формата";
inline constexpr const char* kFormatLabelCaption = "Метка формата";
inline constexpr const char* kRoleCaption = "29-й бит";
inline constexpr const char* kRoleSign = "знак";
inline constexpr const char* kRoleData = "данные";
inline constexpr const char* kMsbCaption = "№ старшего значащего разряда";
inline constexpr const char* kLsbCaption = "№ младшего значащего разряда";
inline constexpr const char* kWeightCaption = "цена старшего значащего разряда ";
inline constexpr const char* kUnitsCaption = "Ед.измерения (4 бита)";

inline constexpr const char* kNoMsb = "ОШИБКА: не задан № старшего разряда";
inline constexpr const char* kNoLsb = "ОШИБКА: не задан № младшего разряда";
inline constexpr const char* kNoWeight = "ОШИБКА: не задана цена разряда";
inline constexpr const char* kMsbBelowLsb = "ОШИБКА: № старшего разряда меньше № младшего";
inline constexpr const char* kMsbAbove29 = "ОШИБКА: № старшего разряда больше 29";
inline constexpr const char* kMsbAbove28 = "ОШИБКА: № старшего разряда больше 28";
inline constexpr const char* kLsbBelow9 = "ОШИБКА: № младшего разряда меньше 9";
inline constexpr const char* kNoUnits = "ОШИБКА: не заданы единицы измерения";
inline constexpr const char* kNoFormatLabel = "ОШИБКА: не задана метка формата";

// ---- Parameter dictionary ----
inline constexpr const char* kParamDictTitle = "Параметры";
inline constexpr const char* kParamFrame = "Параметр";
inline constexpr const char* kParamAdd = "Добавить";
inline constexpr const char* kParamDelete = "Удалить";
inline constexpr const char* kParamEdit = "Редактировать";
inline constexpr const char* kPickParam = "Укажите параметр";
inline constexpr const char* kDeleteParamQuestion = "Удаляем параметр ?";
inline constexpr const char* kDuplicateParamOnAdd = "Дублирование метки параметра. ";
inline constexpr const char* kDuplicateParamOnEdit = "Дублирование метки формата. Внести в список?";

// ---- Parameter editor ----
inline constexpr const char* kParamEditTitle = "Характеристики параметра";
inline constexpr const char* kParamLabelCaption = "метка  (до 8 символов)";
inline constexpr const char* kAddressCaption = "Адрес Параметра (OCTAL  до 3 символов)";
inline constexpr const char* kFormatLabelFieldCaption =
    "Метка десятичного формата (выбрать из таблицы или очистить кнопкой)";
inline constexpr const char* kClearFormat = "Очистить формат";
inline constexpr const char* kFormatsForReference = "СПРАВОЧНО:десятичные форматы";
inline constexpr const char* kDoubleClickFormat = "DBLCLCK для выбора формата";

inline constexpr const char* kBadAddress = "ОШИБКА: адрес параметра";
inline constexpr const char* kNoParamLabel = "ОШИБКА: метка параметра";

}  // namespace orv::text
