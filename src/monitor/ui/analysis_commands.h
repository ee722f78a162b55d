#pragma once
// The commands of the menu "Анализ" and the CSV saving they share with the trace dialog.

#include <QString>
#include <string>

#include "state/program_state.h"
#include "monitor/shown_table.h"

class QWidget;

namespace orv::ui {

// Asks for a file (the platform's save dialog, proposing `suggestedName`) and writes `bytes` to it
// by replacing it as a whole. A file that cannot be written is reported with a message and any
// file of that name stays as it was. True once the file is written.
bool SaveCsvFile(QWidget* parent, const char* caption, const QString& suggestedName, const std::string& bytes);

// A file name made of `base`, with blanks and characters file names should not hold turned into
// "_", and ".csv".
QString CsvFileName(const QString& base);

// "Сохранить таблицу параметров в CSV...": `shown`, the rows of the monitor table as the last
// refresh drew them (COrvmonView::Shown); a message when parameter reception is not running.
void ExportTableCommand(QWidget* parent, const ProgramState& state, const ShownTable& shown);

// "Сохранить принятый блок в CSV...": the 256 words of the capture block as the pane shows them;
// a message when file reception is not running.
void ExportBlockCommand(QWidget* parent, const ProgramState& state);

}  // namespace orv::ui
