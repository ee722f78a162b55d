#pragma once
// Texts of the main window: title, menus, command guards and the close question (UTF-8).

namespace orv::text {

inline constexpr const char* kMainTitle = "Monitor Orvel";

inline constexpr const char* kMenuFile = "Файл";
inline constexpr const char* kMenuExit = "Выход";
inline constexpr const char* kMenuDevices = "Устройства";
inline constexpr const char* kMenuSelectDevice = "Выбор рабочего устройства";
inline constexpr const char* kMenuData = "Данные";
inline constexpr const char* kMenuReceive = "Прием";
inline constexpr const char* kMenuReceiveParams = "параметров по всем каналам";
inline constexpr const char* kMenuReceiveFile = "файла по одному каналу";
inline constexpr const char* kMenuTransmit = "Выдача";
inline constexpr const char* kMenuSettings = "Установки";
inline constexpr const char* kMenuFormats = "Десятичные форматы";
inline constexpr const char* kMenuParams = "Параметры";
inline constexpr const char* kMenuRefreshPeriod = "Период обновления экрана";
inline constexpr const char* kMenuChannelRates = "Частоты каналов";
inline constexpr const char* kMenuHelp = "Справка";
inline constexpr const char* kMenuHelpIndex = "Справка";
inline constexpr const char* kMenuAbout = "О программе";

inline constexpr const char* kNoBoardList =
    "Рабочее устройство не выбрано. Режим может быть использован для создания и сохранения списка параметров.";
inline constexpr const char* kNoBoard = "Рабочее устройство не выбрано. ";
inline constexpr const char* kNoBoardFrame =
    "Рабочее устройство не выбрано. Режим может быть использован для создания и сохранения кадра выдачи.";
inline constexpr const char* kRatesNeedBoard =
    "Команда используется для изменения частот каналов работающего устройства.";
inline constexpr const char* kRatesRestartQuestion =
    "При выполнении команды произойдет перезапуск устройства, после чего режимы каналов следует задать заново. Продолжить? ";
inline constexpr const char* kExitQuestion = "Выходим из программы?";

inline constexpr const char* kNoHelp =
    "Справочная система не поставляется. Описание программы - в файле README.md.";

inline constexpr const char* kSplitterError = "Error setting up splitter frames!";
inline constexpr const char* kSplitterErrorCaption = "Init Error!";

}  // namespace orv::text
