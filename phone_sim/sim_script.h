// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>
#include <utility>

class QTimer;
class SimPhone;

// Carries out the lines of the tornasquillo-phone-sim script language on a SimPhone. Shared by
// every script source, so a "demo off" typed on stdin stops the demo a script file started.
//
// The demo caller waits for someone to listen: its first ring comes a few seconds after the
// program on the other end has opened the line and finished its start-up ("ATZ", then
// "AT+CGMM"), then one every half minute. A ring before that would be lost while the new user
// is still looking for the open button. Every new start-up (a reopen) starts the count again.
class SimCommander : public QObject
{
    Q_OBJECT
public:
    static constexpr int kDemoFirstRingMs = 4000;
    static constexpr int kDemoIntervalMs = 30000;
    static constexpr qint64 kMaxRawBytes = 64 * 1024 * 1024;
    /// The caller the phone rings with, number and name, unless its script names another.
    static inline const QString kDefaultCallerNumber = QStringLiteral("+393331234567");
    static inline const QString kDefaultCallerName = QStringLiteral("Mario Rossi");

    explicit SimCommander(SimPhone *phone, QObject *parent = nullptr);

    // Runs one line now; "wait" belongs to SimScript, which owns the timing of its lines.
    bool execute(const QString &line, QString *error = nullptr);
    void setDemo(bool on);

    // \r \n \t \0 \xNN \\ ; nullopt for a broken escape, so a typo never sends half a line.
    static std::optional<QByteArray> decodeEscapes(QStringView text);
    static QByteArray randomBytes(qint64 count);

signals:
    void quitRequested();

private:
    // The script commands' handlers, in sim_script_commands.cpp, work the phone and the caller.
    friend struct SimScriptHandlers;

    void demoRing();
    void onCommand(const QString &line);
    void onLineChanged();

    SimPhone *m_phone;
    QTimer *m_demoTimer;
    bool m_demoOn = false;
    bool m_resetSeen = false;  ///< "ATZ" came on this line, its "AT+CGMM" not yet
    bool m_listenedTo = false; ///< a start-up dialogue has ended on this line
    QString m_callerNumber;
    QString m_callerName;
    int m_callerValidity = 0; ///< 1 withheld, 2 unavailable: a caller line without a number
};

// One source of script lines (a file, stdin): lines run in order, "wait MS" holds back the
// lines after it without blocking anything else.
class SimScript : public QObject
{
    Q_OBJECT
public:
    SimScript(SimCommander *commander, const QString &sourceName, QObject *parent = nullptr);

    void feed(const QByteArray &text);
    // End of input: a last line without a newline still runs.
    void finish();
    bool isIdle() const;

signals:
    void idle();

private:
    void runPending();

    SimCommander *m_commander;
    QString m_sourceName;
    QTimer *m_waitTimer;
    QByteArray m_partial;
    QList<std::pair<int, QString>> m_pending;
    int m_lineNumber = 0;
};
