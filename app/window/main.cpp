// SPDX-License-Identifier: MIT
// lenstally-window: the calculator window. `lenstally` starts it when no headless option is given.
//
// Two environment variables serve the screenshot script and the start-up benchmark:
//   LENSTALLY_GRAB=FILE.png      saves the window's first frame to FILE.png and ends;
//   LENSTALLY_QUIT_AFTER_PAINT=1 ends as soon as the window has first been painted.

#include "app/display.hpp"
#include "app/version.hpp"
#include "app/window/first_paint.hpp"
#include "app/window/form1_view.hpp"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include <QApplication>
#include <QIcon>
#include <QScreen>

namespace {

constexpr const char* kUnreachable =
    "lenstally: cannot open the window, the display cannot be reached; get the results without a "
    "window with an action or --json / --state (see lenstally --help)\n";

// Until the application has a platform, Qt's own complaints about the display are held back: if
// start-up fails, the user sees one line instead of Qt's plugin advice and an abort.
std::string g_heldBack;

void startUpMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg) {
        std::fputs(kUnreachable, stderr);
        _exit(lenstally::kNoWindowStatus);
    }
    g_heldBack += qFormatLogMessage(type, context, message).toStdString() + '\n';
}

} // namespace

int main(int argc, char** argv) {
    if (!lenstally::HasDisplayVariable()) {
        std::fputs(lenstally::kNoDisplayMessage, stderr);
        return lenstally::kNoWindowStatus;
    }
    const QtMessageHandler qtHandler = qInstallMessageHandler(startUpMessages);
    QApplication app(argc, argv);
    qInstallMessageHandler(qtHandler);
    std::fputs(g_heldBack.c_str(), stderr);

    // The application's font too, so the platform's default face is never loaded.
    QApplication::setFont(lenstally::windowFont());
    QIcon icon;
    for (const int size : {LENSTALLY_ICON_SIZES}) {
        icon.addFile(QStringLiteral(":/lenstally-%1.png").arg(size), QSize(size, size));
    }
    QApplication::setWindowIcon(icon);
    QGuiApplication::setDesktopFileName(lenstally::toQString(lenstally::kAppId));
    lenstally::Form1View window;
    const QRect screen = window.screen()->availableGeometry();
    window.move(screen.center() - QPoint(window.width() / 2, window.height() / 2));

    const QString grabFile = qEnvironmentVariable("LENSTALLY_GRAB");
    if (!grabFile.isEmpty() || qEnvironmentVariableIntValue("LENSTALLY_QUIT_AFTER_PAINT") != 0) {
        new lenstally::FirstPaint(&window, grabFile);
    }
    window.show();
    return QApplication::exec();
}
