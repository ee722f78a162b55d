#pragma once
// The two menu commands of "Установки" served by this folder.

class QWidget;

namespace orv {

// "Десятичные форматы": the format table dialog, modal.
void RunFormatTable(QWidget* parent);
// "Параметры": the parameter dictionary dialog, modal.
void RunParamDict(QWidget* parent);

}  // namespace orv
