// SPDX-License-Identifier: GPL-3.0-or-later
// Tornasquillo: reads which devices stand for COM 1 and COM 2, opens the window and runs until
// the operator clicks ESCI or closes it. Nothing is written to disk unless --log asks for a
// record of the calls. With --check-phone it checks the phone instead, without a window.
// With --demo, COM 1 is a simulated phone that runs as long as the program does. The start
// options open the port and set the responder and the sliders as the operator would; with
// --autostart they are written into an entry that starts the program so at login.

#include "autostart.h"
#include "call_log/call_log.h"
#include "call_log/call_record.h"
#include "call_log/log_file.h"
#include "demo_phone.h"
#include "phone_check/phone_check.h"
#include "phone_link/port_list.h"
#include "phone_link/port_map.h"
#include "start_options.h"
#include "window/form1.h"
#include "windowless_options.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QTextStream>
#include <QTimer>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <span>

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
    QCommandLineOption checkPhone{
        QStringLiteral("check-phone"),
        QStringLiteral("Without a window: check whether the phone (on --com1, else the first "
                       "serial device that answers) will work, and print a report. Exit status "
                       "0: no problem, 1: a problem, 2: the port cannot be opened.")};
    QCommandLineOption fix{QStringLiteral("fix"),
                           QStringLiteral("With --check-phone: set the fixes the report gives, "
                                          "store them in the phone (AT&W) and check again.")};
    QCommandLineOption listPorts{QStringLiteral("list-ports"),
                                 QStringLiteral("List the serial devices present, whether they "
                                                "are busy, and what COM 1 and COM 2 stand for; "
                                                "no window.")};
    QCommandLineOption demo{QStringLiteral("demo"),
                            QStringLiteral("COM 1 is a simulated phone whose demo caller gives a "
                                           "short ring a few seconds after the port is opened, "
                                           "then every 30 seconds.")};
    StartOptions start;
    Autostart autostart;
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
    parser.addOptions({options.com1, options.com2, options.log, options.checkPhone, options.fix,
                       options.listPorts, options.demo});
    parser.addOptions(options.start.all());
    parser.addOptions(options.autostart.options());
}

/// --help, --version and --list-ports must answer without a display (over ssh, in a package check),
/// and a QApplication cannot start without one. The check runs over ssh or on a machine without a
/// desktop too; --fix alone is an error, which must be told without a display as well.
bool hasOption(int argc, char *argv[], std::span<const char *const> options)
{
    for (int i = 1; i < argc; ++i) {
        for (const char *option : options) {
            if (std::strcmp(argv[i], option) == 0)
                return true;
        }
    }
    return false;
}

int runCheck(QCoreApplication &app, QCommandLineParser &parser, const Options &options)
{
    describe(app, parser, options);
    parser.process(app);
    if (!parser.isSet(options.checkPhone)) {
        qCCritical(lcApp).noquote() << "--fix goes with --check-phone (see --help)";
        return 1;
    }
    if (!parser.positionalArguments().isEmpty() || parser.isSet(options.com2) ||
        parser.isSet(options.log) || parser.isSet(options.demo)) {
        qCCritical(lcApp).noquote() << "--check-phone takes only --com1 PATH and --fix";
        return 1;
    }
    // The report says why a port cannot be opened; the line's own messages would repeat it for
    // every device tried.
    QLoggingCategory::setFilterRules(
        QStringLiteral("tornasquillo.link.info=false\ntornasquillo.link.warning=false"));
    QTextStream out(stdout);
    const QString com1 = parser.value(options.com1);
    return checkPhone(com1, parser.isSet(options.fix), out,
                      com1.isEmpty() ? serialDevices() : QStringList());
}

/// --autostart and --no-autostart: the entry runs this program with the window's options given
/// here, the files named by their absolute paths (a session starts in the home folder).
int runAutostart(QCoreApplication &app, QCommandLineParser &parser, const Options &options)
{
    describe(app, parser, options);
    parser.process(app);
    QString error;
    const std::optional<StartState> start = options.start.read(parser, &error);
    if (start && (!parser.positionalArguments().isEmpty() || parser.isSet(options.checkPhone) ||
                  parser.isSet(options.fix)))
        error = QCoreApplication::translate("main", "--autostart takes the options of the window "
                                                    "only (see --help)");
    if (!error.isEmpty()) {
        qCCritical(lcApp).noquote() << error;
        return 1;
    }
    QStringList command{QCoreApplication::applicationFilePath()};
    for (const QCommandLineOption *file : {&options.com1, &options.com2, &options.log}) {
        if (parser.isSet(*file))
            command << QStringLiteral("--") + file->names().constFirst()
                    << QFileInfo(parser.value(*file)).absoluteFilePath();
    }
    if (parser.isSet(options.demo))
        command << QStringLiteral("--demo");
    QTextStream out(stdout);
    const int status =
        options.autostart.run(parser, command + options.start.arguments(*start), out, &error);
    if (status != 0)
        qCCritical(lcApp).noquote() << error;
    return status;
}

} // namespace

int main(int argc, char *argv[])
{
    const Options options;
    QCommandLineParser parser;

    if (hasOption(argc, argv, kTextOptions)) {
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

    if (hasOption(argc, argv, kAutostartOptions)) {
        QCoreApplication app(argc, argv);
        return runAutostart(app, parser, options);
    }

    if (hasOption(argc, argv, kCheckOptions)) {
        QCoreApplication app(argc, argv);
        return runCheck(app, parser, options);
    }

    QApplication app(argc, argv);
    describe(app, parser, options);
    QGuiApplication::setDesktopFileName(QString::fromLatin1(Autostart::kDesktopId));
    parser.process(app);
    if (!parser.positionalArguments().isEmpty()) {
        qCCritical(lcApp).noquote()
            << "unexpected argument" << parser.positionalArguments().first() << "(see --help)";
        return 1;
    }
    QString startError;
    const std::optional<StartState> start = options.start.read(parser, &startError);
    if (!start) {
        qCCritical(lcApp).noquote() << startError;
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

    Form1 window(PortMap::detect(com1, parser.value(options.com2)));
    if (logging)
        QObject::connect(
            &window, &Form1::callLogged, &window,
            [&callLog](const CallRecord &record) { callLog.record(record.stamp, record.line); });
    QObject::connect(&window, &Form1::programEnded, &app, [] { QCoreApplication::exit(0); });
    // A quit signal ends the program as closing the window does, so the simulated phone is ended
    // and its link removed.
    if (parser.isSet(options.demo) && !watchQuitSignals(&window, [&window] { window.close(); }))
        qCWarning(lcApp) << "cannot watch quit signals:" << std::strerror(errno);
    window.show();
    // For the start-up figure: QT_LOGGING_RULES=tornasquillo.app.debug=true shows when the event
    // loop first runs with the window on screen.
    QTimer::singleShot(0, &window, [] { qCDebug(lcApp) << "window shown"; });
    QTimer::singleShot(0, &window, [&window, &start] { window.startAs(*start); });
    return app.exec();
}
