// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What a run that watches the phone starts from, with its window or without one: the command
// line read and judged (the start options, the limits on call-backs), the simulated phone of --demo
// put up as COM 1, the record of the calls opened (--log) and the desktop's notifications
// (--notify). Whatever cannot be done as asked ends the program before the run begins, with the
// reason on standard error and exit status 1. Both runs take their start from here, so an option of
// the window's start reaches the run without a window too.

#include "call_log/call_log.h"
#include "call_log/call_record.h"
#include "call_log/desktop_notifier.h"
#include "call_log/log_file.h"
#include "command_line.h"
#include "demo_phone.h"
#include "phone_link/port_map.h"
#include "phone_link/state_folder.h"

#include <QTemporaryDir>

#include <memory>

class ProgramStart
{
public:
    ProgramStart();
    ~ProgramStart();
    ProgramStart(const ProgramStart &) = delete;
    ProgramStart &operator=(const ProgramStart &) = delete;

    /// Reads app's command line (the help and the version end the program there) and prepares
    /// what it asks for; false, after saying why, when the program cannot start as asked.
    bool prepare(QCoreApplication &app);

    const CommandLine &command() const { return m_command; }
    /// The start the options ask for; set by prepare().
    const CommandLine::RunStart &runStart() const { return m_runStart; }
    /// Which devices stand for COM 1 (the simulated phone with --demo) and COM 2.
    PortMap ports() const;
    bool isDemo() const;
    /// The device of COM 1: the link to the simulated phone with --demo.
    QString com1() const { return m_com1; }
    /// Where the run keeps what the runs after it must know.
    const StateFolder &stateFolder() const { return m_stateFolder; }

    /// Each call that `source` lists goes to the file of --log and, with --notify, to the desktop,
    /// as does each change of what keeps calls from arriving.
    template<class Source>
    void recordCallsOf(Source *source)
    {
        if (m_callLog)
            QObject::connect(source, &Source::callLogged, source, [this](const CallRecord &record) {
                m_callLog->record(record.stamp, record.line);
            });
        if (!m_notifier)
            return;
        QObject::connect(source, &Source::callHandled, m_notifier.get(), &DesktopNotifier::notify);
        QObject::connect(source, &Source::phoneStateChanged, m_notifier.get(),
                         &DesktopNotifier::notifyPhoneState);
    }

private:
    bool startDemo();
    bool openCallLog();

    CommandLine m_command;
    CommandLine::RunStart m_runStart;
    DemoPhone m_demo;
    QString m_com1;
    StateFolder m_stateFolder{StateFolder::defaultPath()};
    /// With --demo, the state folder: removed when the program ends.
    std::unique_ptr<QTemporaryDir> m_demoState;
    std::unique_ptr<PosixLogFile> m_logFile;
    std::unique_ptr<CallLog> m_callLog;
    std::unique_ptr<DesktopNotifier> m_notifier;
};
