// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// `tornasquillo --demo`: the simulated phone that is installed beside the program runs as a
// child process, on a pseudo-terminal that a link named after this process stands for, and
// COM 1 is that link. The phone stays a program of its own, as a real phone is a device of its
// own: the two only meet on the line.
//
// The phone must not outlive the program, however the program ends. A normal end (ESCI, the
// window closed, a quit signal turned into a close) ends it in the
// destructor; if the program is killed outright, the kernel sends the phone SIGTERM, and the
// phone removes its link itself.

#include <QProcess>
#include <QString>

class DemoPhone
{
public:
    /// How long the phone has to put up its line; generous, for a loaded machine.
    static constexpr int kStartTimeoutMs = 15000;
    /// How long it has to end on SIGTERM before it is killed.
    static constexpr int kStopTimeoutMs = 5000;

    DemoPhone();
    ~DemoPhone();
    DemoPhone(const DemoPhone &) = delete;
    DemoPhone &operator=(const DemoPhone &) = delete;

    /// Starts the phone with its demo caller and waits until its line is up. On failure the
    /// reason is in *error and nothing is left running.
    bool start(QString *error);
    /// The link to the phone's line, for COM 1.
    QString linkPath() const { return m_linkPath; }

    /// Where the program looks for the phone: beside its own executable, which is /usr/bin
    /// when installed and the build tree's bin/ when built; from the run without a window, in
    /// that bin/ folder.
    static QString phoneProgram();
    /// $XDG_RUNTIME_DIR (else /tmp)/tornasquillo-phone-<pid of this process>.
    static QString defaultLinkPath();

private:
    /// The phone's program, arguments, environment, and its end with the program's.
    void setUpProcess(const QString &program);
    /// Waits until the phone says its link stands; false when it ends or says nothing in time.
    bool waitForLine();
    /// Reports the phone's end from now on, and drops what it says.
    void watchAfterStart();
    void stop();

    QProcess m_process;
    QString m_linkPath;
};
