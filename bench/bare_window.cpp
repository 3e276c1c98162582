// SPDX-License-Identifier: GPL-3.0-or-later
// The yardstick of the program's CPU figure: a Qt Widgets window that does nothing but run a
// 1 ms timer, as the program's own window does for its monitor.

#include <QApplication>
#include <QTimer>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("bare 1 ms timer"));
    window.resize(524, 479); // the program's window at 96 DPI
    window.show();
    QTimer timer;
    timer.setInterval(1);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, [] {});
    timer.start();
    return app.exec();
}
