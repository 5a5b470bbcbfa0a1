// SPDX-License-Identifier: MIT
// The start-up baseline: the smallest Qt Widgets window of the calculator's size showing one line
// of text, ended after its first paint exactly as the calculator is.
#include <QApplication>
#include <QLabel>

#include "gui/calculator/first_paint.hpp"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Calculator "));
    window.setFixedSize(624, 545);
    QLabel label(QStringLiteral("Camera Info."), &window);
    label.move(16, 16);
    new lenstally::FirstPaint(&window, {});
    window.show();
    return QApplication::exec();
}
