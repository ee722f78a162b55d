#pragma once
// Texts of the virtual board's own windows and messages (UTF-8).

namespace orv::text {

inline constexpr const char* kMenuBoardCounters = "Счётчики виртуальной платы";
inline constexpr const char* kBoardCountersTitle = "Счётчики виртуальной платы";
inline constexpr const char* kVirtualBoardOne = "Плата 1 (arinc10, arinc11, arinc12)";
inline constexpr const char* kVirtualBoardTwo = "Плата 2 (arinc20, arinc21, arinc22)";
inline constexpr const char* kBoardCountersNote =
    "Счёт ведёт сама виртуальная плата (у настоящей платы таких счётчиков нет). \"Не передано\": "
    "слова сценария, для которых линия была занята. Принятые слова, ошибки чётности и "
    "несовпадение частоты считает вход, пока он запущен.";
inline constexpr const char* kNoVirtualBoard = "Счётчики есть только у виртуальной платы.";
inline constexpr const char* kScenarioNeedsVirtualBoard = "Сценарии играют только виртуальные платы.";

}  // namespace orv::text
