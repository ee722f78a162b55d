#pragma once
// Texts of the recordings library (UTF-8): the reasons the reader gives for each problem it finds
// in a file, and the writer's messages. The library depends on the standard library only, so its
// texts live here rather than in resources/.

namespace orv::text {

// Reader: each problem is reported as kAtOffset + byte offset + ": " + reason.
inline constexpr const char* kAtOffset = "Смещение ";
inline constexpr const char* kBadSync = "нет синхрослова 0xEB25 в начале пакета";
inline constexpr const char* kBadHeaderChecksum = "неверная контрольная сумма заголовка пакета";
inline constexpr const char* kBadLengths = "недопустимые длины в заголовке пакета";
inline constexpr const char* kBeyondFile = "длина пакета выходит за конец файла";
inline constexpr const char* kTruncated = "последний пакет обрезан";
inline constexpr const char* kBadSecondaryChecksum = "неверная контрольная сумма вторичного заголовка";
inline constexpr const char* kBadDataChecksum = "неверная контрольная сумма данных пакета";
inline constexpr const char* kBadCount = "число слов ARINC-429 не согласуется с длиной данных";
inline constexpr const char* kBadTime = "недопустимое время в пакете времени";
inline constexpr const char* kDayOfYearTime = "пакет времени без года (формат дня года) не используется";
inline constexpr const char* kNoTmats = "файл не начинается с пакета TMATS";
inline constexpr const char* kNoTimeBeforeData = "нет пакета времени перед первым пакетом данных";
inline constexpr const char* kTimeGoesBack = "счётчик времени пакета времени идёт назад";
// Appended to a reason when the reader skipped bytes to find the next sound packet.
inline constexpr const char* kSkippedBefore = ", пропущено байт: ";
inline constexpr const char* kFileOpenFailed = "Не удалось открыть файл записи ";
inline constexpr const char* kFileReadFailedC10 = "Ошибка чтения файла записи ";

// Writer.
inline constexpr const char* kRecordingExists = "Файл уже существует: ";
inline constexpr const char* kRecordingNotRegular = "Это не обычный файл: ";
inline constexpr const char* kRecordingCreateFailed = "Не удалось создать файл записи ";
inline constexpr const char* kRecordingWriteFailed = "Ошибка записи в файл ";
inline constexpr const char* kRecordingStopped =
    ". Запись остановлена; файл читается до последнего целого пакета.";
inline constexpr const char* kNoSpace = "нет места на диске";
inline constexpr const char* kTooLarge = "превышен допустимый размер файла";
inline constexpr const char* kSetupBadName = "имя в описании записи пусто или содержит ';' или управляющий символ";
inline constexpr const char* kSetupBadChannel = "номер канала записи меньше 2 или повторяется";
inline constexpr const char* kSetupBadBus = "номер шины в канале записи повторяется";
inline constexpr const char* kSetupBadRate = "частота шины в описании записи недопустима";

}  // namespace orv::text
