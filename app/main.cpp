// SPDX-License-Identifier: GPL-3.0-or-later
// Tornasquillo: reads which devices stand for COM 1 and COM 2, opens the window and runs until
// the operator clicks ESCI or closes it. Nothing is written to disk unless --log asks for a
// record of the calls. With --check-phone it checks the phone instead, without a window; with
// --autostart or --no-autostart it writes or removes the entry that starts it at login; with
// --headless it watches the phone without a window until a quit signal. Without a display, and
// without one of those, it says so and what to run instead. With --demo, COM 1 is a simulated
// phone that runs as long as the program does. Whatever it does, it speaks the locale's
// language from the first word.

#include "app_log.h"
#include "autostart.h"
#include "command_line.h"
#include "phone_check/phone_check.h"
#include "phone_link/port_list.h"
#include "phone_link/port_map.h"
#include "program_start.h"
#include "quit_signals.h"
#include "translations.h"
#include "window/form1.h"
#include "windowless_options.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QTextStream>
#include <QTimer>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <optional>
#include <span>
#include <unistd.h>

namespace {

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

int runCheck(QCoreApplication &app)
{
    installTranslations(app);
    CommandLine command;
    command.process(app);
    const QCommandLineParser &parser = command.parser;
    if (!parser.isSet(command.checkPhone)) {
        qCCritical(lcApp).noquote()
            << CommandLine::tr("--fix goes with --check-phone (see --help)");
        return 1;
    }
    if (!parser.positionalArguments().isEmpty() || parser.isSet(command.com2) ||
        parser.isSet(command.log) || parser.isSet(command.demo) || parser.isSet(command.headless)) {
        qCCritical(lcApp).noquote()
            << CommandLine::tr("--check-phone takes only --com1 PATH and --fix");
        return 1;
    }
    // The report says why a port cannot be opened; the line's own messages would repeat it for
    // every device tried.
    QLoggingCategory::setFilterRules(
        QStringLiteral("tornasquillo.link.info=false\ntornasquillo.link.warning=false"));
    QTextStream out(stdout);
    const QString com1 = parser.value(command.com1);
    return checkPhone(com1, parser.isSet(command.fix), out,
                      com1.isEmpty() ? serialDevices() : QStringList());
}

/// --autostart and --no-autostart: the entry runs this program with the window's options given
/// here, the files named by their absolute paths (a session starts in the home folder).
int runAutostart(QCoreApplication &app)
{
    installTranslations(app);
    CommandLine command;
    command.process(app);
    const QCommandLineParser &parser = command.parser;
    QString error;
    const std::optional<CommandLine::RunStart> start = command.runStart(&error);
    if (start && (!parser.positionalArguments().isEmpty() || parser.isSet(command.checkPhone) ||
                  parser.isSet(command.fix) || parser.isSet(command.headless)))
        error = CommandLine::tr("--autostart takes the options of the window only (see --help)");
    if (!error.isEmpty()) {
        qCCritical(lcApp).noquote() << error;
        return 1;
    }
    QStringList arguments{QCoreApplication::applicationFilePath()};
    for (const QCommandLineOption *file :
         {&command.com1, &command.com2, &command.log, &command.pinFile}) {
        if (parser.isSet(*file))
            arguments << QStringLiteral("--") + file->names().constFirst()
                      << QFileInfo(parser.value(*file)).absoluteFilePath();
    }
    if (parser.isSet(command.demo))
        arguments << QStringLiteral("--demo");
    if (parser.isSet(command.notify))
        arguments << QStringLiteral("--notify");
    arguments << command.arguments(start->rules);
    QTextStream out(stdout);
    const int status = command.autostart.run(
        parser, arguments + command.start.arguments(start->state), out, &error);
    if (status != 0)
        qCCritical(lcApp).noquote() << error;
    return status;
}

/// The help, the version or the port list.
int answer(QCoreApplication &app)
{
    installTranslations(app);
    CommandLine command;
    command.process(app); // prints the help or the version and exits
    const QCommandLineParser &parser = command.parser;
    if (parser.isSet(command.listPorts)) {
        const PortMap map = PortMap::detect(parser.value(command.com1), parser.value(command.com2));
        std::fputs(qPrintable(listSystemPorts(map)), stdout);
    }
    return 0;
}

int runWindow(QApplication &app)
{
    installTranslations(app);
    QGuiApplication::setDesktopFileName(QString::fromLatin1(Autostart::kDesktopId));
    ProgramStart program;
    if (!program.prepare(app))
        return 1;
    if (program.isDemo())
        qCInfo(lcApp).noquote() << CommandLine::tr("COM 1 is the simulated phone on %1 - open the "
                                                   "port, switch the responder on, and wait for "
                                                   "the demo caller")
                                       .arg(program.com1());

    Form1 window(program.ports());
    program.runStart().setUpSession(window.session(), program.stateFolder());
    program.recordCallsOf(&window);
    QObject::connect(&window, &Form1::programEnded, &app, [] { QCoreApplication::exit(0); });
    // A quit signal ends the program as closing the window does, so the simulated phone is ended
    // and its link removed.
    if (program.isDemo() && !watchQuitSignals(&window, [&window](int) { window.close(); }))
        qCWarning(lcApp).noquote() << CommandLine::tr("cannot watch quit signals: %1")
                                          .arg(QString::fromLocal8Bit(std::strerror(errno)));
    window.show();
    // For the start-up figure: QT_LOGGING_RULES=tornasquillo.app.debug=true shows when the event
    // loop first runs with the window on screen.
    QTimer::singleShot(0, &window, [] { qCDebug(lcApp) << "window shown"; });
    const StartState start = program.runStart().state;
    QTimer::singleShot(0, &window, [&window, start] { window.startAs(start); });
    return app.exec();
}

/// --headless: the run without a window is a program of its own, tornasquillo-headless, which
/// loads none of the window's libraries (a program left running for months keeps them resident).
/// It takes this process's place, with the same arguments, from the libexec/tornasquillo/ folder
/// beside this program's own.
int execHeadless(int argc, char *argv[])
{
    char self[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
    const int error = length < 0 ? errno : 0;
    QByteArray helper = TORNASQUILLO_HEADLESS_FROM_BIN;
    if (length >= 0) {
        const QByteArray path(self, length);
        helper.prepend(path.left(path.lastIndexOf('/') + 1));
        ::execv(helper.constData(), argv);
    }
    QCoreApplication app(argc, argv);
    installTranslations(app);
    qCCritical(lcApp).noquote() << CommandLine::tr("cannot start the run without a window, %1: %2")
                                       .arg(QFile::decodeName(helper),
                                            QString::fromLocal8Bit(
                                                std::strerror(error != 0 ? error : errno)));
    return 1;
}

/// Whether the window has somewhere to be shown: a display, or a platform named by the user
/// (QT_QPA_PLATFORM, -platform). Without one Qt would abort the program, with a core dump.
bool hasDisplay(int argc, char *argv[])
{
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        if (!qEnvironmentVariableIsEmpty(name))
            return true;
    }
    static constexpr const char *kPlatform[] = {"-platform", "--platform"};
    return hasOption(argc, argv, kPlatform);
}

/// Over ssh, or on a machine without a desktop: one line on what to do instead.
int sayNoDisplay(QCoreApplication &app)
{
    installTranslations(app);
    qCCritical(lcApp).noquote() << CommandLine::tr(
        "no display to show the window on (DISPLAY and WAYLAND_DISPLAY are not "
        "set); to watch the phone without a window, run tornasquillo --headless "
        "(see --help)");
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    // The options that need no window are answered on a plain QCoreApplication, which needs no
    // display.
    if (hasOption(argc, argv, kTextOptions)) {
        QCoreApplication app(argc, argv);
        return answer(app);
    }
    if (hasOption(argc, argv, kAutostartOptions)) {
        QCoreApplication app(argc, argv);
        return runAutostart(app);
    }
    if (hasOption(argc, argv, kCheckOptions)) {
        QCoreApplication app(argc, argv);
        return runCheck(app);
    }
    if (hasOption(argc, argv, kHeadlessOptions))
        return execHeadless(argc, argv);
    if (!hasDisplay(argc, argv)) {
        QCoreApplication app(argc, argv);
        return sayNoDisplay(app);
    }
    QApplication app(argc, argv);
    return runWindow(app);
}
