// SPDX-License-Identifier: GPL-3.0-or-later
#include "program_start.h"

#include "app_log.h"
#include "autostart.h"

#include <QDBusConnection>

ProgramStart::ProgramStart() = default;

ProgramStart::~ProgramStart() = default;

bool ProgramStart::prepare(QCoreApplication &app)
{
    m_command.process(app);
    const QCommandLineParser &parser = m_command.parser;
    if (!parser.positionalArguments().isEmpty()) {
        qCCritical(lcApp).noquote() << CommandLine::tr("unexpected argument %1 (see --help)")
                                           .arg(parser.positionalArguments().first());
        return false;
    }
    QString startError;
    const std::optional<CommandLine::RunStart> start = m_command.runStart(&startError);
    if (!start) {
        qCCritical(lcApp).noquote() << startError;
        return false;
    }
    m_runStart = *start;
    m_com1 = parser.value(m_command.com1);
    if (parser.isSet(m_command.demo) && !startDemo())
        return false;
    if (parser.isSet(m_command.log) && !openCallLog())
        return false;
    if (parser.isSet(m_command.notify))
        m_notifier = std::make_unique<DesktopNotifier>(QDBusConnection::sessionBus(),
                                                       QString::fromLatin1(Autostart::kDesktopId));
    return true;
}

PortMap ProgramStart::ports() const
{
    return PortMap::detect(m_com1, m_command.parser.value(m_command.com2));
}

bool ProgramStart::isDemo() const
{
    return m_command.parser.isSet(m_command.demo);
}

bool ProgramStart::startDemo()
{
    if (m_command.parser.isSet(m_command.com1)) {
        qCCritical(lcApp).noquote()
            << CommandLine::tr("--demo puts the simulated phone on COM 1: leave out --com1");
        return false;
    }
    QString error;
    if (!m_demo.start(&error)) {
        qCCritical(lcApp).noquote() << error;
        return false;
    }
    m_com1 = m_demo.linkPath();
    // The simulated phone's calls are nobody's: what the demo calls back is forgotten with it, so
    // a demo started again calls its caller back as the first one did.
    m_demoState = std::make_unique<QTemporaryDir>();
    if (m_demoState->isValid())
        m_stateFolder = StateFolder(m_demoState->path());
    return true;
}

bool ProgramStart::openCallLog()
{
    // Whoever asked for a record of the calls must not run without one: a file that cannot be
    // opened ends the program before the run begins.
    m_logFile = std::make_unique<PosixLogFile>(m_command.parser.value(m_command.log));
    m_callLog = std::make_unique<CallLog>(*m_logFile);
    QString reason;
    if (m_callLog->open(&reason))
        return true;
    qCCritical(lcApp).noquote()
        << CommandLine::tr("cannot open the call log %1: %2").arg(m_logFile->path(), reason);
    return false;
}
