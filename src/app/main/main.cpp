// Orvmon: a bench tool for ARINC 429 lines on an Orvel interface board.
#include <cstdio>

#include "app/ui/COrvmonApp.h"
#include "app/ui/main_command_line.h"

namespace {

int Print(const orv::ui::CommandLine& commandLine) {
    std::fputs(commandLine.output.toLocal8Bit().constData(), *commandLine.exitCode == 0 ? stdout : stderr);
    return *commandLine.exitCode;
}

}  // namespace

int main(int argc, char** argv) {
    // --help and --version are answered before the window system is reached, so that they work
    // without a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    if (orv::ui::AsksForHelpOrVersion(arguments)) return Print(orv::ui::ParseCommandLine(arguments));

    orv::ui::COrvmonApp app(argc, argv);
    // The application has taken its own options (-platform, -style, ...) out of the list.
    const orv::ui::CommandLine commandLine = orv::ui::ParseCommandLine(QCoreApplication::arguments());
    if (commandLine.exitCode) return Print(commandLine);
    return app.Run(commandLine.options);
}
