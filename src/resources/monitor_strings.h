#pragma once
// Texts of the table pane, the title pane, the mask, trace and refresh period dialogs (UTF-8).

namespace orv::text {

// ---- Table pane popups ----
inline constexpr const char* kPopupEditParam = "редактировать параметр";
inline constexpr const char* kPopupAddParam = "добавить параметр";
inline constexpr const char* kPopupChangeFormat = "изменить формат параметра";
inline constexpr const char* kPopupClearFormat = "очистить формат параметра";
inline constexpr const char* kPopupSetMask = "установить маску параметра";
inline constexpr const char* kPopupResetMask = "сбросить маску параметра";
inline constexpr const char* kPopupTrace = "трасса параметра";

// ---- Title pane ----
inline constexpr const char* kTitleModule = " Модуль Orvel";
inline constexpr const char* kTitleRefresh = " Обновление экрана:";
inline constexpr const char* kTitleCyclePrefix = " № цикла = ";        // then "%10d"
inline constexpr const char* kTitlePeriodPrefix = " период  = ";       // then "%10d"
inline constexpr const char* kTitlePeriodSuffix = " мсек";
inline constexpr const char* kTitleFilePrefix = "  Прием файла по каналу № ";  // then "%2d"
inline constexpr const char* kTitleParamHead1 =
    " метка     номер   Адрес                    код       параметра                        №        прием";
inline constexpr const char* kTitleParamHead2 =
    "параметра канала Параметра      HEX          OCTAL       M      DECIMAL              цикла     по маске ";
inline constexpr const char* kTitleStreamHead1 =
    "           номер   Адрес            код       параметра   ";
inline constexpr const char* kTitleStreamHead2 =
    "           слова Параметра      HEX          OCTAL       M  ";

// ---- Mask ----
// The foot of a printed page: "стр. N из M".
inline constexpr const char* kPrintPagePrefix = "стр. ";
inline constexpr const char* kPrintPageOf = " из ";

inline constexpr const char* kMaskTitle = "Маска входного параметра";
inline constexpr const char* kMaskBitsHead = "31 ..29 ..27 ..25 ..23 ..21 ..19 ..17 ..15 ..13 ..11 .. 9";
inline constexpr const char* kMaskRowCaption = "    №бита \nкод{0,1,X}";
inline constexpr const char* kMaskApply = "Применить";
inline constexpr const char* kMaskCancel = "Отмена";
inline constexpr const char* kMaskAlreadySet = "Для канала уже установлена маска параметра.";
inline constexpr const char* kMaskResetQuestion = "Сбрасываем маску ?";

// ---- Trace ----
inline constexpr const char* kTraceTitle = "Трасса параметра";
inline constexpr const char* kTraceCaptionLabel = "Метка: ";          // then "%8s"
inline constexpr const char* kTraceCaptionChannel = "       № канала: ";  // then "%d"
inline constexpr const char* kTraceHead =
    "                     код параметра                             интервал\n"
    "          HEX          OCTAL       M         DECIMAL            (мсек)";
inline constexpr const char* kTraceExit = "выход";
inline constexpr const char* kTraceCancel = "Cancel";

// ---- Refresh period ----
inline constexpr const char* kRefreshTitle = "Период обновления экрана";
inline constexpr const char* kRefreshPrompt = "Введите период обновления экрана  (в мсек)";
inline constexpr const char* kRefreshApply = "Применить";
inline constexpr const char* kRefreshCancel = "Отмена";

}  // namespace orv::text
