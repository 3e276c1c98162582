// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The program's command line: its options, their help in the locale's language, and the values
// that only the program can judge (the cool-down's minutes; the start options judge their own).
// Built after the translations are installed, so that every text is in the locale's language.

#include "autostart.h"
#include "start_options.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>

#include <optional>

class CommandLine
{
    Q_DECLARE_TR_FUNCTIONS(CommandLine)

public:
    CommandLine();

    /// Reads app's command line; the help and the version are answered here, and end the
    /// program.
    void process(QCoreApplication &app);
    /// The minutes of --cool-down (0 when not given); nullopt with *error set when the value is
    /// not one.
    std::optional<int> coolDownMinutes(QString *error) const;

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
    QCommandLineOption notify;
    QCommandLineOption coolDown;
    StartOptions start;
    Autostart autostart;
};
