// SPDX-License-Identifier: GPL-3.0-or-later
// tornasquillo --headless, the run without a window, as a program of its own: the phone session
// with the journal's view, for a machine without a display and for the system service. It takes
// the window's start options, and a quit signal ends it as ESCI ends the window. It links none of
// the window's libraries (Qt Widgets, Qt Gui and what they load), which would stay resident for
// the months the run is left alone; /usr/bin/tornasquillo --headless hands its process over to it,
// so that a service manager sees one program throughout.

#include "app_log.h"
#include "command_line.h"
#include "headless_run.h"
#include "program_start.h"
#include "quit_signals.h"
#include "translations.h"

#include <QCoreApplication>
#include <QTimer>

#include <cerrno>
#include <cstring>

namespace {

int runHeadless(QCoreApplication &app)
{
    installTranslations(app);
    ProgramStart program;
    if (!program.prepare(app))
        return 1;
    HeadlessRun run(program.ports(), program.runStart().state);
    program.runStart().setUpSession(run.session(), program.stateFolder());
    program.recordCallsOf(&run.view());
    QObject::connect(&run, &HeadlessRun::ended, &app,
                     [&run] { QCoreApplication::exit(run.exitStatus()); });
    if (!watchQuitSignals(&run, [&run](int signal) { run.quit(signal); }))
        qCWarning(lcApp).noquote() << CommandLine::tr("cannot watch quit signals: %1")
                                          .arg(QString::fromLocal8Bit(std::strerror(errno)));
    QTimer::singleShot(0, &run, [&run] { run.start(); });
    return app.exec();
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    return runHeadless(app);
}
