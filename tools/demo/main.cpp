// SPDX-License-Identifier: GPL-3.0-or-later
#include "demolauncher.h"
#include "demooptions.h"
#include "meterbench.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace {

// Set on the way into umockdev-wrapper, so that a wrapper that does not set up
// the emulated bus ends in a message instead of an endless chain of restarts.
const char RestartedMarker[] = "AMMETER_DEMO_UNDER_UMOCKDEV";

QStringList argumentList(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

// The emulated USB bus exists only for processes that umockdev's preload
// library sits in, so the launcher starts again inside umockdev-wrapper; the
// program it starts later inherits the preload from it.
int restartUnderUmockdev(char *argv[])
{
    if (std::getenv(RestartedMarker)) {
        std::fprintf(stderr, "ammeter-demo: umockdev-wrapper did not set up an emulated USB bus\n");
        return 1;
    }
    setenv(RestartedMarker, "1", 1);
    char self[4096];
    const ssize_t size = readlink("/proc/self/exe", self, sizeof self - 1);
    if (size <= 0) {
        std::fprintf(
            stderr, "ammeter-demo: cannot find my own executable: %s\n", std::strerror(errno));
        return 1;
    }
    self[size] = '\0';
    std::vector<char *> arguments {const_cast<char *>("umockdev-wrapper"), self};
    for (char **argument = argv + 1; *argument; ++argument)
        arguments.push_back(*argument);
    arguments.push_back(nullptr);
    execvp(arguments.front(), arguments.data());
    std::fprintf(stderr,
        "ammeter-demo: cannot run umockdev-wrapper: %s (scripts/setup installs the umockdev "
        "package)\n",
        std::strerror(errno));
    return 1;
}

bool hasDisplay()
{
    return qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY")
        || qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
}

} // namespace

int main(int argc, char *argv[])
{
    DemoOptions options;
    QString error;
    switch (options.parse(argumentList(argc, argv), &error)) {
    case DemoOptions::ShowHelp: {
        QCoreApplication app(argc, argv);
        std::printf("%s", qPrintable(DemoOptions::helpText()));
        return 0;
    }
    case DemoOptions::Invalid:
        std::fprintf(stderr, "ammeter-demo: %s\n", qPrintable(error));
        return 2;
    case DemoOptions::Run:
        break;
    }
    if (!hasDisplay()) {
        std::fprintf(stderr,
            "ammeter-demo: no display to show the program on; scripts/demo runs "
            "it on a virtual one (xvfb-run)\n");
        return 1;
    }
    if (!MeterBench::inMockEnvironment())
        return restartUnderUmockdev(argv);

    // The emulated bus has to exist before the application object.
    MeterBench bench;
    QGuiApplication app(argc, argv);
    DemoLauncher launcher(bench, options);
    if (!launcher.start())
        return 1;
    return app.exec();
}
