// tarrowby: the native program. --help and --version answer before any
// window system is asked for; every other argument is Qt's or ignored.

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "companion_window.h"

namespace {

const char kUsage[] =
    "Usage: tarrowby [--help | --version]\n"
    "Tarrowby Companion: the currents, Tessary numbers and tokens of the\n"
    "Underground and DLR stations of the rules game, in four tools.\n"
    "\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n"
    "\n"
    "Qt's own options work too, such as -platform wayland or -platform xcb.\n";

// Whether there is a desktop to open on: an X11 or Wayland display, or a
// platform asked for by name (QT_QPA_PLATFORM, -platform). Without one, Qt
// itself prints a page about its plugins and aborts.
bool HasDisplay(int argc, char* argv[]) {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0')
            return true;
    }
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            return true;
    }
    return false;
}

}  // namespace

int main(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("tarrowby %s\n", TARROWBY_VERSION);
            return 0;
        }
    }
    if (!HasDisplay(argc, argv)) {
        std::fputs("tarrowby: no display: start it on a desktop (neither DISPLAY nor WAYLAND_DISPLAY is set)\n", stderr);
        return 1;
    }
    QApplication::setApplicationName(QStringLiteral("tarrowby"));
    QApplication::setApplicationVersion(QStringLiteral(TARROWBY_VERSION));
    // The Wayland app id, and the name of the desktop entry in packaging/.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.tarrowby.companion"));
    QApplication app(argc, argv);

    CompanionWindow window;
    window.show();
    return app.exec();
}
