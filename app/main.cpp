// SPDX-License-Identifier: GPL-3.0-or-later
// Tornasquillo: reads which devices stand for COM 1 and COM 2, opens the window and runs until
// the operator clicks ESCI or closes it. Nothing is written to disk unless --log asks for a
// record of the calls.

#include "call_log.h"
#include "form1.h"
#include "log_file.h"
#include "port_map.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLoggingCategory>
#include <QTimer>

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
    QCommandLineOption log{QStringLiteral("log"),
                           QStringLiteral("Append each event line to FILE, after its date and "
                                          "time (ISO 8601) and a tab. A missing FILE is created "
                                          "with mode 0600; FILE is never truncated."),
                           QStringLiteral("FILE")};
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
    parser.addOptions({options.com1, options.com2, options.log});
}

/// --help and --version must answer without a display (over ssh, in a package check), and a
/// QApplication cannot start without one.
bool asksOnlyForText(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        for (const char *flag : {"-h", "--help", "-?", "--help-all", "-v", "--version"}) {
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

    // Whoever asked for a record of the calls must not run without one: a file that cannot be
    // opened ends the program before the window opens.
    PosixLogFile logFile(parser.value(options.log));
    CallLog callLog(logFile);
    const bool logging = parser.isSet(options.log);
    if (logging) {
        QString reason;
        if (!callLog.open(&reason)) {
            qCCritical(lcApp).noquote()
                << QStringLiteral("cannot open the call log %1: %2").arg(logFile.path(), reason);
            return 1;
        }
    }

    Form1 window(PortMap::detect(parser.value(options.com1), parser.value(options.com2)));
    if (logging)
        QObject::connect(
            &window, &Form1::callLogged, &window,
            [&callLog](const QString &stamp, const QString &line) { callLog.record(stamp, line); });
    QObject::connect(&window, &Form1::programEnded, &app, [] { QCoreApplication::exit(0); });
    window.show();
    // For the start-up figure: QT_LOGGING_RULES=tornasquillo.app.debug=true shows when the event
    // loop first runs with the window on screen.
    QTimer::singleShot(0, &window, [] { qCDebug(lcApp) << "window shown"; });
    return app.exec();
}
