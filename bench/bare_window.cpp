// SPDX-License-Identifier: GPL-3.0-or-later
// The floor of the window's figures: a Qt Widgets window of the program's size that runs its
// event loop and nothing else. It has no timer: it wakes only for Qt's own needs.

#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("bare window"));
    window.resize(524, 479); // the program's window at 96 DPI
    window.show();
    return app.exec();
}
