// Orvmon: a bench tool for ARINC 429 lines on an Orvel interface board.
#include <cstdio>

#include "app/ui/COrvmonApp.h"
#include "app/ui/main_command_line.h"

int main(int argc, char** argv) {
    // The command line is read before the window system is reached, so that --help and --version
    // work without a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    const orv::ui::CommandLine commandLine = orv::ui::ParseCommandLine(arguments);
    if (commandLine.exitCode) {
        std::fputs(commandLine.output.toLocal8Bit().constData(), *commandLine.exitCode == 0 ? stdout : stderr);
        return *commandLine.exitCode;
    }
    orv::ui::COrvmonApp app(argc, argv);
    return app.Run(commandLine.options);
}
