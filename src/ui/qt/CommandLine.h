#pragma once
// What the Linux program answers before it opens a window.
#include <optional>

#include <QtGlobal>

namespace ferro::qt {

// --help and --version are answered on standard output; a word that is
// neither one of them nor one of Qt's own options (exit 2), and a start
// without any display (exit 1), are refused with a message on standard
// error. The exit code then, or nullopt to go on and start the windows.
std::optional<int> answerWithoutWindows(int argc, char** argv);

// Installed while QApplication starts: Qt aborts (exit 134) when it cannot
// open the display it was given; this says so in words and exits with 1.
void startUpMessageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message);

}  // namespace ferro::qt
