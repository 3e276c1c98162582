// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The program's command line: its options, their help in the locale's language, and the values
// that only the program can judge (the limits on call-backs; the start options judge their own).
// Built after the translations are installed, so that every text is in the locale's language.

#include "autostart.h"
#include "call_monitor/call_monitor.h"
#include "start_options.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>

#include <optional>

class PhoneSession;
class StateFolder;

class CommandLine
{
    Q_DECLARE_TR_FUNCTIONS(CommandLine)

public:
    CommandLine();

    /// Reads app's command line; the help and the version are answered here, and end the
    /// program.
    void process(QCoreApplication &app);
    /// What a run is to do at start-up, with the window or without one.
    struct RunStart
    {
        StartState state;    ///< the start options'
        CallBackRules rules; ///< the cool-down, the numbers called back, the hour's limit
        QString pinFile;     ///< the SIM's PIN, for a SIM that asks for it; none when empty

        /// Hands the session its share of the start (the limits on call-backs, the PIN file and
        /// where its refusals are remembered): one place for the window's session and the one
        /// without a window.
        void setUpSession(PhoneSession &session, const StateFolder &folder) const;
    };
    /// The run's start as the command line asks; nullopt with *error set (naming the range)
    /// when a value is not one the program takes.
    std::optional<RunStart> runStart(QString *error) const;
    /// The options that give the same limits on call-backs again, for another command line.
    QStringList arguments(const CallBackRules &rules) const;

    QCommandLineParser parser;
    QCommandLineOption help;
    QCommandLineOption helpAll;
    QCommandLineOption com1;
    QCommandLineOption com2;
    QCommandLineOption log;
    QCommandLineOption checkPhone;
    QCommandLineOption fix;
    QCommandLineOption listPorts;
    QCommandLineOption demo;
    QCommandLineOption headless;
    QCommandLineOption notify;
    QCommandLineOption coolDown;
    QCommandLineOption callBackTo;
    QCommandLineOption callBackLimit;
    QCommandLineOption pinFile;
    StartOptions start;
    Autostart autostart;
};
