// SPDX-License-Identifier: GPL-3.0-or-later
// Tornasquillo: reads which devices stand for COM 1 and COM 2, opens the window and runs until
// the operator clicks ESCI or closes it. Nothing is read from or written to disk.

#include "form1.h"
#include "port_list.h"
#include "port_map.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLoggingCategory>
#include <QTimer>

#include <cstdio>
#include <cstring>

Q_LOGGING_CATEGORY(lcApp, "tornasquillo.app", QtInfoMsg)

namespace {

struct Options
{
    QCommandLineOption com1{QStringLiteral("com1"),
                            QStringLiteral("Device of COM 1 (default: the first USB serial "
                                           "device, else /dev/ttyS0)."),
                            QStringLiteral("PATH")};
    QCommandLineOption com2{QStringLiteral("com2"),
                            QStringLiteral("Device of COM 2 (default: the second USB serial "
                                           "device, else /dev/ttyS1)."),
                            QStringLiteral("PATH")};
    QCommandLineOption listPorts{QStringLiteral("list-ports"),
                                 QStringLiteral("List the serial devices present, whether they "
                                                "are busy, and what COM 1 and COM 2 stand for; "
                                                "no window.")};
};

void describe(QCoreApplication &app, QCommandLineParser &parser, const Options &options)
{
    app.setApplicationName(QStringLiteral("tornasquillo"));
    app.setApplicationVersion(QStringLiteral(TORNASQUILLO_VERSION));
    parser.setApplicationDescription(
        QStringLiteral("Watches a GSM phone on a serial port, logs its calls and calls short "
                       "signalling rings (squilli) back."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({options.com1, options.com2, options.listPorts});
}

/// --help, --version and --list-ports must answer without a display (over ssh, in a package check),
/// and a QApplication cannot start without one.
bool asksOnlyForText(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        for (const char *flag :
             {"-h", "--help", "-?", "--help-all", "-v", "--version", "--list-ports"}) {
            if (std::strcmp(argv[i], flag) == 0)
                return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    const Options options;
    QCommandLineParser parser;

    if (asksOnlyForText(argc, argv)) {
        QCoreApplication app(argc, argv);
        describe(app, parser, options);
        parser.process(app); // prints the help or the version and exits
        if (parser.isSet(options.listPorts)) {
            const PortMap map =
                PortMap::detect(parser.value(options.com1), parser.value(options.com2));
            std::fputs(qPrintable(listSystemPorts(map)), stdout);
        }
        return 0;
    }

    QApplication app(argc, argv);
    describe(app, parser, options);
    QGuiApplication::setDesktopFileName(QStringLiteral("tornasquillo"));
    parser.process(app);
    if (!parser.positionalArguments().isEmpty()) {
        qCCritical(lcApp).noquote()
            << "unexpected argument" << parser.positionalArguments().first() << "(see --help)";
        return 1;
    }

    Form1 window(PortMap::detect(parser.value(options.com1), parser.value(options.com2)));
    QObject::connect(&window, &Form1::programEnded, &app, [] { QCoreApplication::exit(0); });
    window.show();
    // For the start-up figure: QT_LOGGING_RULES=tornasquillo.app.debug=true shows when the event
    // loop first runs with the window on screen.
    QTimer::singleShot(0, &window, [] { qCDebug(lcApp) << "window shown"; });
    return app.exec();
}
