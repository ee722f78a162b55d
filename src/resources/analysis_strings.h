#pragma once
// Texts of the analysis features: the menu "Анализ", the live trace with its plot and statistics,
// and the CSV exports (UTF-8).

namespace orv::text {

// ---- Menu ----
inline constexpr const char* kMenuAnalysis = "Анализ";
inline constexpr const char* kMenuExportTable = "Сохранить таблицу параметров в CSV...";
inline constexpr const char* kMenuExportBlock = "Сохранить принятый блок в CSV...";
inline constexpr const char* kMenuRecordBus = "Запись шины в файл...";
inline constexpr const char* kMenuStopRecording = "Остановить запись";

// ---- Bus recording ----
inline constexpr const char* kRecordCaption = "Запись шины в файл";
inline constexpr const char* kRecordFilter = "Запись IRIG 106 гл. 10 (*.ch10 *.c10)";
inline constexpr const char* kRecordInputs = "Записывать входы:";
inline constexpr const char* kRecordNoBoard = "Устройство не выбрано: записывать нечего.";
inline constexpr const char* kRecordNoStream =
    "Устройство не выдает поток слов своих входов: запись шины на нем недоступна.";
inline constexpr const char* kRecordNoInputs = "Не выбрано ни одного входа для записи.";
inline constexpr const char* kRecordReplace = "Файл уже существует:\n%1\nЗаменить его?";
// "Запись: <words> слов, <bytes> байт[, потеряно слов: <lost>]"
inline constexpr const char* kRecordStatusWords = "Запись: ";
inline constexpr const char* kRecordStatusBytes = " слов, ";
inline constexpr const char* kRecordStatusTail = " байт";
inline constexpr const char* kRecordStatusLost = ", потеряно слов: ";

// ---- Exports ----
inline constexpr const char* kCsvFilter = "CSV (*.csv)";
inline constexpr const char* kExportTraceCaption = "Сохранить трассу в CSV";
inline constexpr const char* kExportTableCaption = "Сохранить таблицу параметров в CSV";
inline constexpr const char* kExportBlockCaption = "Сохранить принятый блок в CSV";
inline constexpr const char* kExportFailed = "Не удалось записать файл ";  // then the path
inline constexpr const char* kExportFailedTail = ".\nПрежний файл с этим именем, если он был, не изменен.";
inline constexpr const char* kNoTableToExport = "Нет таблицы параметров: прием параметров не запущен.";
inline constexpr const char* kNoBlockToExport = "Нет принятого блока: прием файла не запущен.";

inline constexpr const char* kCsvYes = "да";
inline constexpr const char* kCsvNo = "нет";
inline constexpr const char* kTraceCsvHead[] = {"индекс", "время (мс)", "интервал (мс)", "HEX", "OCTAL",
                                               "M", "значение", "единицы", "по маске"};
inline constexpr const char* kTableCsvHead[] = {"метка параметра", "канал", "адрес (окт)", "HEX",
                                               "OCTAL", "M", "значение", "единицы",
                                               "цикл приема", "прием по маске", "устарел"};
inline constexpr const char* kBlockCsvHead[] = {"номер слова", "адрес (окт)", "HEX", "OCTAL", "M"};

// ---- Trace dialog ----
inline constexpr const char* kTraceLive = "в реальном времени";
inline constexpr const char* kTraceExport = "Сохранить в CSV...";
inline constexpr const char* kTraceAxisTime = "время от первого слова, с";
inline constexpr const char* kTraceAxisField = "поле данных (биты 11..29)";
inline constexpr const char* kTraceAxisValue = "значение";  // then ", " and the units
inline constexpr const char* kStatWords = "Слов в трассе:";
inline constexpr const char* kStatFitting = "Из них по маске:";
inline constexpr const char* kStatMatches = "Прием по маске (счетчик):";
inline constexpr const char* kStatSpan = "Длительность, мс:";
inline constexpr const char* kStatRate = "Темп, слов/с:";
inline constexpr const char* kStatIntervalMin = "Интервал мин., мс:";
inline constexpr const char* kStatIntervalMean = "Интервал средн., мс:";
inline constexpr const char* kStatIntervalMax = "Интервал макс., мс:";
inline constexpr const char* kStatJitter = "Разброс (СКО), мс:";
inline constexpr const char* kStatNone = "—";
inline constexpr const char* kStatNote =
    "Время слова - момент, когда программа его обслужила; разрешение 1 мс. Слова, ждавшие "
    "обслуживания, получают одно время (интервал 0).";
inline constexpr const char* kPointTime = "время ";  // then the seconds
inline constexpr const char* kPointSeconds = " с";

}  // namespace orv::text
