#include "ui/qt/CommandLine.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include <QString>

namespace ferro::qt {
namespace {

constexpr const char* kHelp =
    "Usage: ferrowinder [--help] [--version] [Qt's options]\n"
    "\n"
    "Starts FerroWinder: a splash, then the main window, from which the boost\n"
    "wizard writes a fixed set of TCP/IP, name-resolution and Internet-client\n"
    "tuning values for a connection speed, and Restore Registry puts the earlier\n"
    "values back.\n"
    "\n"
    "Outside Windows the registry is the file\n"
    "$XDG_DATA_HOME/FerroWinder/registry.db\n"
    "(~/.local/share/FerroWinder/registry.db when XDG_DATA_HOME is unset).\n"
    "\n"
    "It needs a display (DISPLAY or WAYLAND_DISPLAY). ferrowinder-cli does the same\n"
    "from a terminal or a script: see ferrowinder-cli --help.\n"
    "\n"
    "Options:\n"
    "  -h, --help     show this help and exit\n"
    "  -V, --version  show the version and exit\n"
    "Qt's own options are taken too (-platform, -style, -reverse, -session, ...).\n"
    "\n"
    "Exit codes: 0 when the program ends normally, 1 when it cannot start (no\n"
    "display, or its registry cannot be opened), 2 on an unknown option.\n";

constexpr const char* kNoDisplay =
    "ferrowinder: no display to show the windows on (DISPLAY and WAYLAND_DISPLAY are unset).\n"
    "ferrowinder-cli does the same boost from a terminal: see ferrowinder-cli --help.\n";

// The options QApplication takes out of the command line itself (one or two
// dashes): those followed by a value (the next word, or after '=') and those
// that stand alone. A session manager restarts the program with -session.
constexpr std::array<std::string_view, 14> kQtOptionsWithValue{
    "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "geometry", "qwindowtitle",
    "title", "qwindowicon", "icon", "session", "display", "style", "stylesheet"};
constexpr std::array<std::string_view, 7> kQtFlags{"reverse", "widgetcount", "testability", "nograb",
                                                   "dograb", "sync", "qmljsdebugger"};

// How many words the Qt option at `word` takes (itself and its value), or 0
// when it is none of Qt's.
int qtOptionWords(std::string_view word)
{
    if (!word.starts_with('-') || word == "-" || word == "--")
        return 0;
    word.remove_prefix(word.starts_with("--") ? 2 : 1);
    const std::size_t equals = word.find('=');
    const std::string_view name = word.substr(0, equals);
    if (std::find(kQtOptionsWithValue.begin(), kQtOptionsWithValue.end(), name) != kQtOptionsWithValue.end())
        return equals == std::string_view::npos ? 2 : 1;
    if (std::find(kQtFlags.begin(), kQtFlags.end(), name) != kQtFlags.end())
        return 1;
    return 0;
}

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
            std::printf("ferrowinder %s\n", FERRO_VERSION);
            return 0;
        }
    }
    for (int i = 1; i < argc;) {
        const int words = qtOptionWords(argv[i]);
        if (words == 0 || i + words > argc) {
            const char* why = words ? "a value is missing after" : argv[i][0] == '-' ? "unknown option" : "unexpected argument";
            std::fprintf(stderr, "ferrowinder: %s '%s'\nTry 'ferrowinder --help' for more information.\n", why, argv[i]);
            return 2;
        }
        i += words;
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
