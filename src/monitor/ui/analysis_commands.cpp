#include "monitor/ui/analysis_commands.h"

#include <QFile>
#include <span>

#include "files/file_replacement.h"
#include "monitor/csv_export.h"
#include "resources/analysis_strings.h"
#include "resources/ui/modal.h"
#include "resources/ui/save_file.h"
#include "resources/ui/text_codec.h"

namespace orv::ui {
namespace {
}  // namespace

bool SaveCsvFile(QWidget* parent, const char* caption, const QString& suggestedName, const std::string& bytes) {
    const QString path = ChooseSaveFile(parent, U(caption), suggestedName, U(text::kCsvFilter), QStringLiteral("csv"));
    if (path.isEmpty()) return false;
    const std::span<const uint8_t> data(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    if (WriteFileReplacing(QFile::encodeName(path).toStdString(), data)) return true;
    ShowMessage(parent, U(text::kExportFailed) + path + U(text::kExportFailedTail));
    return false;
}

QString CsvFileName(const QString& base) {
    QString name;
    for (const QChar c : base) {
        const bool unsafe = c.isSpace() || c.unicode() < 0x20 || QStringLiteral("/\\:*?\"<>|").contains(c);
        name += unsafe ? QChar(u'_') : c;
    }
    return name + QStringLiteral(".csv");
}

void ExportTableCommand(QWidget* parent, const ProgramState& state, const ShownTable& shown) {
    if (state.Acquisition.AcquisitionMode != kParameterReception || state.Display.DisplayListReady == 0 ||
        UsedEntries(state.Display.DisplayTable) == 0) {
        ShowMessage(parent, U(text::kNoTableToExport));
        return;
    }
    // Rendered before the save dialog opens: the refresh tick goes on while it is open.
    const std::string bytes = TableCsv(shown);
    SaveCsvFile(parent, text::kExportTableCaption, CsvFileName(QStringLiteral("table")), bytes);
}

void ExportBlockCommand(QWidget* parent, const ProgramState& state) {
    if (state.Acquisition.AcquisitionMode != kFileReception) {
        ShowMessage(parent, U(text::kNoBlockToExport));
        return;
    }
    const std::string bytes = BlockCsv(state.Board.BoardImage, state.Capture.StreamAddress);
    SaveCsvFile(parent, text::kExportBlockCaption,
                CsvFileName(QStringLiteral("block_ch%1").arg(state.Capture.FileChannel)), bytes);
}

}  // namespace orv::ui
