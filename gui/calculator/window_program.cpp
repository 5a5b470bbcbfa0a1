// SPDX-License-Identifier: MIT
#include "gui/calculator/window_program.hpp"

#include <cstdio>
#include <string>
#include <unistd.h>

#include <QApplication>
#include <QIcon>
#include <QScreen>

#include "cli/display.hpp"
#include "gui/calculator/first_paint.hpp"
#include "gui/calculator/form1_view.hpp"

namespace lenstally {
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
        _exit(kNoWindowStatus);
    }
    g_heldBack += qFormatLogMessage(type, context, message).toStdString() + '\n';
}

} // namespace

int RunWindowProgram(
    int argc, char** argv, std::string_view desktopFileName,
    const std::function<std::unique_ptr<QWidget>(const QStringList&)>& makeWindow) {
    if (!HasDisplayVariable()) {
        std::fputs(kNoDisplayMessage, stderr);
        return kNoWindowStatus;
    }
    const QtMessageHandler qtHandler = qInstallMessageHandler(startUpMessages);
    QApplication app(argc, argv);
    qInstallMessageHandler(qtHandler);
    std::fputs(g_heldBack.c_str(), stderr);

    // The application's font too, so the platform's default face is never loaded.
    QApplication::setFont(windowFont());
    // Every size the menu entry installs, so the window manager finds a sharp picture at any
    // scale.
    QIcon icon;
    for (const int size : {LENSTALLY_ICON_SIZES}) {
        icon.addFile(QStringLiteral(":/lenstally-%1.png").arg(size), QSize(size, size));
    }
    QApplication::setWindowIcon(icon);
    QGuiApplication::setDesktopFileName(toQString(desktopFileName));
    const std::unique_ptr<QWidget> window = makeWindow(QApplication::arguments().mid(1));
    const QRect screen = window->screen()->availableGeometry();
    window->move(screen.center() - QPoint(window->width() / 2, window->height() / 2));

    const QString grabFile = qEnvironmentVariable("LENSTALLY_GRAB");
    if (!grabFile.isEmpty() || qEnvironmentVariableIntValue("LENSTALLY_QUIT_AFTER_PAINT") != 0) {
        new FirstPaint(window.get(), grabFile);
    }
    window->show();
    return QApplication::exec();
}

} // namespace lenstally
