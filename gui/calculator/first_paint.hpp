// SPDX-License-Identifier: MIT
#pragma once
// Ends the program once a window has first been painted, saying "painted" on stdout, or saving
// that frame as a PNG.
// The start-up benchmark and the screenshot script use it; the benchmark's baseline window uses
// the very same code, so both stop at the same moment.

#include <cstdio>
#include <utility>

#include <QCoreApplication>
#include <QEvent>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

namespace lenstally {

class FirstPaint : public QObject {
public:
    FirstPaint(QWidget* window, QString grabFile)
        : QObject(window), m_window(window), m_grabFile(std::move(grabFile)) {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_window && event->type() == QEvent::Paint && !m_done) {
            m_done = true;
            // Queued, so the children finish painting in this same pass first.
            QTimer::singleShot(0, this, &FirstPaint::finish);
        }
        return false;
    }

private:
    void finish() {
        int status = 0;
        if (m_grabFile.isEmpty()) {
            // The benchmark times the arrival of this line, not the program's teardown.
            std::fputs("painted\n", stdout);
            std::fflush(stdout);
        } else if (!m_window->grab().save(m_grabFile, "PNG")) {
            std::fprintf(stderr, "lenstally: cannot write %s\n", qPrintable(m_grabFile));
            status = 1;
        }
        QCoreApplication::exit(status);
    }

    QWidget* m_window;
    QString m_grabFile;
    bool m_done = false;
};

} // namespace lenstally
