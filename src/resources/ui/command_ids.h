#pragma once
// The ids of the program's commands: the main menu, the table pane's popup menus and the frame's
// own. Each menu action carries its id as object name, so tests find a command by it.

namespace orv::ui {

enum class CommandId : int {
    // "Файл", "Справка"
    Exit = 57665,
    HelpIndex = 57667,
    About = 57664,
    // "Устройства", "Данные", "Установки"
    SelectDevice = 32771,
    ReceiveParams = 32772,
    ReceiveFile = 32773,
    Transmit = 32774,
    Formats = 32775,
    Params = 32776,
    RefreshPeriod = 32777,
    ChannelRates = 32778,
    // The table pane's popup menus
    ChangeFormat = 32779,
    ClearFormat = 32780,
    AddParam = 32781,
    EditParam = 32782,
    ResetMask = 32783,
    Trace = 32784,
    SetMask = 32787,
    // "Анализ"
    ExportTable = 32900,
    ExportBlock = 32901,
    BoardCounters = 32914,
    RecordBus = 32915,
    StopRecording = 32916,
};

}  // namespace orv::ui
