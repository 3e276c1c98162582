// SPDX-License-Identifier: GPL-3.0-or-later
// Tornasquillo: reads which devices stand for COM 1 and COM 2, opens the window and runs until
// the operator clicks ESCI or closes it. Nothing is read from or written to disk. With --demo,
// COM 1 is a simulated phone that runs as long as the program does.

#include "demo_phone.h"
#include "form1.h"
#include "port_map.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLoggingCategory>
#include <QTimer>

#include <cerrno>
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
    QCommandLineOption demo{QStringLiteral("demo"),
                            QStringLiteral("COM 1 is a simulated phone whose demo caller gives a "
                                           "short ring a few seconds after the port is opened, "
                                           "then every 30 seconds.")};
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
    parser.addOptions({options.com1, options.com2, options.demo});
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
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.tornasquillo"));
    parser.process(app);
    if (!parser.positionalArguments().isEmpty()) {
        qCCritical(lcApp).noquote()
            << "unexpected argument" << parser.positionalArguments().first() << "(see --help)";
        return 1;
    }

    DemoPhone demo;
    QString com1 = parser.value(options.com1);
    if (parser.isSet(options.demo)) {
        QString error;
        if (parser.isSet(options.com1)) {
            qCCritical(lcApp) << "--demo puts the simulated phone on COM 1: leave out --com1";
            return 1;
        }
        if (!demo.start(&error)) {
            qCCritical(lcApp).noquote() << error;
            return 1;
        }
        com1 = demo.linkPath();
        qCInfo(lcApp).noquote() << "COM 1 is the simulated phone on" << com1
                                << "- open the port, switch the responder on, and wait for "
                                   "the demo caller";
    }

    Form1 window(PortMap::detect(com1, parser.value(options.com2)));
    QObject::connect(&window, &Form1::programEnded, &app, [] { QCoreApplication::exit(0); });
    // A quit signal ends the program as closing the window does, so the simulated phone is ended
    // and its link removed.
    if (parser.isSet(options.demo) && !watchQuitSignals(&window, [&window] { window.close(); }))
        qCWarning(lcApp) << "cannot watch quit signals:" << std::strerror(errno);
    window.show();
    // For the start-up figure: QT_LOGGING_RULES=tornasquillo.app.debug=true shows when the event
    // loop first runs with the window on screen.
    QTimer::singleShot(0, &window, [] { qCDebug(lcApp) << "window shown"; });
    return app.exec();
}
