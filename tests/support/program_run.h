// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcess>
#include <QStringList>
#include <QTest>

#include <utility>

/// Runs `program` with `arguments` and no display, once with LANG=C and once in Italian, each
/// time for at most `timeoutMs` while this thread's event loop runs (a simulated phone in it
/// goes on answering). Empty when each run ends normally with `exitStatus`, the English one
/// saying every text of `english` and the Italian one every text of `italian`; otherwise what
/// went wrong, with the output.
inline QString answersInBothLanguages(const QString &program, const QStringList &arguments,
                                      int exitStatus, const QStringList &english,
                                      const QStringList &italian, int timeoutMs)
{
    for (const auto &[lang, says] : {std::pair{QStringLiteral("C"), english},
                                     std::pair{QStringLiteral("it_IT.UTF-8"), italian}}) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name :
             {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY", "LC_ALL", "LC_MESSAGES", "LANGUAGE"})
            env.remove(QString::fromLatin1(name));
        env.insert(QStringLiteral("LANG"), lang);
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, arguments);
        if (!QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, timeoutMs))
            return lang + QStringLiteral(": still running");
        const QString output = QString::fromLocal8Bit(process.readAll());
        for (const QString &text : says) {
            if (!output.contains(text))
                return lang + QStringLiteral(": no \"") + text + QStringLiteral("\" in\n") + output;
        }
        if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != exitStatus)
            return lang + QStringLiteral(": ended with %1\n").arg(process.exitCode()) + output;
    }
    return {};
}
