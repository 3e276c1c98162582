// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The start options: what the operator would click and drag, asked for on the command line so
// that a program started by itself (at login, after a power cut) starts as the operator left it.
// They are read into a StartState, which the window carries out through its own handlers and the
// run without one through its view; a value outside a slider's range, or a port other than 1 or
// 2, is an error before any window.

#include "call_monitor/start_state.h"
#include "whole_number.h"

#include <QCommandLineOption>
#include <QCoreApplication>
#include <QStringList>

#include <optional>

class QCommandLineParser;

/// An option as a command line writes it: "--" and its first name.
QString longName(const QCommandLineOption &option);

class StartOptions
{
    Q_DECLARE_TR_FUNCTIONS(StartOptions)

public:
    StartOptions();

    /// The options, in the order --help lists them.
    QList<QCommandLineOption> all() const;
    /// The start the options ask for; nullopt with *error set (naming the range) when a value
    /// is not one the window takes.
    std::optional<StartState> read(const QCommandLineParser &parser, QString *error) const;
    /// The options that give the same start again, for another command line.
    QStringList arguments(const StartState &start) const;

private:
    QCommandLineOption m_open;
    QCommandLineOption m_callBack;
    QList<QCommandLineOption> m_sliders;
};
