#include "app/ui/main_command_line.h"

#include <QCommandLineParser>

#include "app/ui/CMainFrame.h"
#include "orv_version.h"
#include "resources/ui/modal.h"

namespace orv::ui {
namespace {

// The value as the bytes given (see ArgumentsOf).
std::optional<std::string> Value(const QCommandLineParser& parser, const QCommandLineOption& option) {
    if (!parser.isSet(option)) return std::nullopt;
    const QString value = parser.value(option);
    return ArgumentBytes(std::u16string_view(reinterpret_cast<const char16_t*>(value.utf16()), std::size_t(value.size())));
}

// The usage line ("Usage: PROGRAM [options]", in the language Qt speaks) names the program as it
// is installed, however it was started.
QString HelpText(const QCommandLineParser& parser) {
    QString text = parser.helpText();
    const qsizetype lineEnd = text.indexOf(u'\n');
    const qsizetype start = text.indexOf(QStringLiteral(": "));
    const qsizetype end = start < 0 ? -1 : text.indexOf(QStringLiteral(" ["), start);
    if (start > 0 && end > start && (lineEnd < 0 || end < lineEnd))
        text.replace(start + 2, end - start - 2, QStringLiteral("orvmon"));
    return text;
}

}  // namespace

bool AsksForHelpOrVersion(const QStringList& arguments) {
    for (const QString& a : arguments.mid(1))
        if (a == QLatin1String("-h") || a == QLatin1String("--help") || a == QLatin1String("--help-all") ||
            a == QLatin1String("-v") || a == QLatin1String("--version"))
            return true;
    return false;
}

CommandLine ParseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Orvmon: ARINC 429 bus monitor. Without options it starts with no board selected."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption device(
        QStringLiteral("device"),
        QStringLiteral("Select and start board NAME (arinc10 .. arinc42) with the channel settings of "
                       "Orvparam.stt when present."),
        QStringLiteral("NAME"));
    const QCommandLineOption list(QStringLiteral("list"),
                                  QStringLiteral("Load the display list FILE (.42i) into the table."),
                                  QStringLiteral("FILE"));
    const QCommandLineOption period(QStringLiteral("period"),
                                    QStringLiteral("Refresh the screen every MS milliseconds."),
                                    QStringLiteral("MS"));
    const QCommandLineOption scenario(
        QStringLiteral("scenario"),
        QStringLiteral("Play the scenario FILE (TOML) on the virtual boards instead of the built-in flight."),
        QStringLiteral("FILE"));
    const QCommandLineOption record(
        QStringLiteral("record"),
        QStringLiteral("Record every input line of the board (after --device) into the IRIG 106 Chapter 10 "
                       "file FILE, which must not exist yet."),
        QStringLiteral("FILE"));
    const QCommandLineOption playback(
        QStringLiteral("playback"),
        QStringLiteral("Play the buses of the IRIG 106 Chapter 10 recording FILE on inputs 1..8 of board 1 "
                       "(not with --scenario)."),
        QStringLiteral("FILE"));
    parser.addOptions({device, list, period, scenario, record, playback});

    CommandLine result;
    if (!parser.parse(arguments)) {
        result.exitCode = 2;
        result.output = parser.errorText() + QStringLiteral("\n") + HelpText(parser);
        return result;
    }
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        result.exitCode = 0;
        result.output = HelpText(parser);
        return result;
    }
    if (parser.isSet(version)) {
        result.exitCode = 0;
        result.output = QStringLiteral("orvmon %1\n").arg(QString::fromLatin1(kVersion));
        return result;
    }
    if (parser.isSet(playback) && parser.isSet(scenario)) {
        result.exitCode = 2;
        result.output = QStringLiteral("--playback cannot be combined with --scenario.\n") + HelpText(parser);
        return result;
    }
    result.options.device = Value(parser, device);
    result.options.list = Value(parser, list);
    result.options.period = Value(parser, period);
    result.options.scenario = Value(parser, scenario);
    result.options.record = Value(parser, record);
    result.options.playback = Value(parser, playback);
    return result;
}

QStringList ArgumentsOf(int argc, const char* const* argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        const std::u16string text = ArgumentText(argv[i]);
        arguments << QString::fromUtf16(text.data(), qsizetype(text.size()));
    }
    return arguments;
}

void ApplyCommandLine(CMainFrame& frame, const StartOptions& options) {
    ApplyStartOptions(frame.State(), options,
                      [&frame](const std::string& message) { ShowMessage(&frame, QString::fromStdString(message)); });
    frame.update();
}

}  // namespace orv::ui
