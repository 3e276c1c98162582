// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The real program and the simulated phone as processes of their own, for the tests that run them
// as a user or a service manager does.

#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>

/// Two processes start and end on a machine that may be busy with a build.
inline constexpr int kProcessTimeoutMs = 30000;

/// Collects a process's standard error as it comes into `said`, which outlives it.
inline void collectStderr(QProcess &process, QByteArray &said)
{
    QObject::connect(&process, &QProcess::readyReadStandardError, &process,
                     [&process, &said] { said += process.readAllStandardError(); });
}

/// No display: no X, no Wayland, and no Qt platform named, as on a machine without a desktop or
/// under a service manager.
inline void removeDisplay(QProcessEnvironment &environment)
{
    for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        environment.remove(QString::fromLatin1(name));
}

/// A process of the test's own, its standard error collected into `said` as it comes. It ends
/// with the scope that holds it: asked to (SIGTERM), or made to (SIGKILL) with End::Kill, and
/// waited for.
struct TestProcess
{
    enum class End { Terminate, Kill };

    explicit TestProcess(const QProcessEnvironment &environment, End end = End::Terminate)
        : end(end)
    {
        process.setProcessEnvironment(environment);
        collectStderr(process, said);
    }
    ~TestProcess()
    {
        if (end == End::Kill)
            process.kill();
        else
            process.terminate();
        process.waitForFinished(kProcessTimeoutMs);
    }
    Q_DISABLE_COPY_MOVE(TestProcess)

    const End end;
    QByteArray said;
    QProcess process;
};

/// Starts the simulated phone (the program `sim`) on `link` with options of its own and a script,
/// written to scriptPath, that it runs before any program can open its line; and waits for the
/// line.
inline void startPhone(TestProcess &phone, const QString &sim, const QString &scriptPath,
                       const QByteArray &script, const QString &link,
                       const QStringList &options = {})
{
    QFile scriptFile(scriptPath);
    QVERIFY(scriptFile.open(QIODevice::WriteOnly));
    scriptFile.write(script);
    scriptFile.close();
    phone.process.start(sim, QStringList{"--link", link, "--script", scriptPath} + options);
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(link), kProcessTimeoutMs);
}
