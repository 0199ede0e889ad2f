#include "ui/qt/CommandLine.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include <QString>

#include "version/VersionNotice.h"

namespace ferro::qt {
namespace {

constexpr const char* kHelp =
    "Usage: ferrowinder [--help] [--version]\n"
    "\n"
    "Starts FerroWinder: a splash, then the main window, from which the boost wizard\n"
    "writes a fixed set of TCP/IP, name-resolution and Internet-client tuning values for\n"
    "a connection speed, and Restore Registry puts the earlier values back.\n"
    "\n"
    "Outside Windows the registry is the file $XDG_DATA_HOME/FerroWinder/registry.db\n"
    "(~/.local/share/FerroWinder/registry.db when XDG_DATA_HOME is unset).\n"
    "\n"
    "It needs a display (DISPLAY or WAYLAND_DISPLAY). ferrowinder-cli does the same\n"
    "from a terminal or a script: see ferrowinder-cli --help.\n"
    "\n"
    "Options:\n"
    "  -h, --help     show this help and exit\n"
    "  -V, --version  show the version and exit\n"
    "\n"
    "Exit codes: 0 when the program ends normally, 1 when it cannot start (no display,\n"
    "or its registry cannot be opened).\n";

constexpr const char* kNoDisplay =
    "ferrowinder: no display to show the windows on (DISPLAY and WAYLAND_DISPLAY are unset).\n"
    "ferrowinder-cli does the same boost from a terminal: see ferrowinder-cli --help.\n";

bool isSet(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value;
}

}  // namespace

std::optional<int> answerWithoutWindows(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        if (word == "--help" || word == "-h") {
            std::fputs(kHelp, stdout);
            return 0;
        }
        if (word == "--version" || word == "-V") {
            std::printf("ferrowinder %s\n%s", FERRO_VERSION, kVersionNotice);
            return 0;
        }
    }
    // QT_QPA_PLATFORM names a platform of its own (offscreen, vnc, ...).
    if (!isSet("DISPLAY") && !isSet("WAYLAND_DISPLAY") && !isSet("QT_QPA_PLATFORM")) {
        std::fputs(kNoDisplay, stderr);
        return 1;
    }
    return std::nullopt;
}

void startUpMessageHandler(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "ferrowinder: the display could not be opened (DISPLAY=%s, WAYLAND_DISPLAY=%s).\n"
                             "ferrowinder-cli does the same boost from a terminal: see ferrowinder-cli --help.\n",
                     isSet("DISPLAY") ? std::getenv("DISPLAY") : "", isSet("WAYLAND_DISPLAY") ? std::getenv("WAYLAND_DISPLAY") : "");
        std::_Exit(1);
    }
}

}  // namespace ferro::qt
