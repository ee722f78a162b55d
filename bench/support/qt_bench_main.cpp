// The main of the benchmark programs that drive widgets: Google Benchmark inside a QApplication,
// on the offscreen platform unless QT_QPA_PLATFORM names another; with --window=xvfb, on an X
// server of the program's own (Xvfb), so that the window system's own costs count.

#include <QApplication>
#include <QGuiApplication>
#include <benchmark/benchmark.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "app/ui/window_system.h"

namespace {

// An Xvfb server of the benchmark's own, on the first free display; stopped by its pid.
struct OwnXServer {
    pid_t pid = -1;
    bool Start() {
        int fds[2];
        if (pipe(fds) != 0) return false;
        pid = fork();
        if (pid == 0) {
            close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        // The server writes its display number and a line end once it accepts clients.
        QByteArray number;
        char c = 0;
        while (pid > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
        close(fds[0]);
        if (number.isEmpty()) return false;
        qputenv("DISPLAY", ":" + number);
        qputenv("QT_QPA_PLATFORM", "xcb");
        return true;
    }
    ~OwnXServer() {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    OwnXServer server;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--window=xvfb") == 0) {
            if (!server.Start()) {
                std::fprintf(stderr, "Xvfb could not be started\n");
                return 1;
            }
            for (int j = i; j + 1 < argc; ++j) argv[j] = argv[j + 1];
            --argc;
            break;
        }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    orv::ui::PrepareWindowSystem();  // as the program does
    {
        QApplication app(argc, argv);
        benchmark::AddCustomContext("platform", QGuiApplication::platformName().toStdString());
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
    }
    return 0;
}
