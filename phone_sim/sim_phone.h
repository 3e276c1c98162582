// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QLoggingCategory>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QStringList>

#include <deque>

class QSocketNotifier;
class QTimer;

Q_DECLARE_LOGGING_CATEGORY(lcPhoneSim)

// A GSM phone on the far side of a pseudo-terminal, answering AT commands the way a real handset
// does. Everything it does happens in the thread that owns it: other threads reach it through
// queued slot calls (QMetaObject::invokeMethod), the getters are safe from any thread.
//
// It plays the phones people have, not only the friendly ones: a stored profile (AT&W stores the
// settings, ATZ restores them) that may have result codes off (Q1) or numeric (V0), auto-answer
// (S0), "+CRING: VOICE" (+CRC=1), a caller line after each ring (+CLIP=1), dials answered only
// when the callee picks up (+COLP=1) or refused, no missed-call list, international numbers
// listed without their "+".
class SimPhone : public QObject
{
    Q_OBJECT
public:
    static constexpr int kPhonebookCapacity = 10;
    static constexpr int kNumberLength = 40;
    static constexpr int kNameLength = 20;

    /// The settings a profile holds; the defaults are the factory's (AT&F).
    struct Profile
    {
        bool echo = true;           ///< E
        bool quiet = false;         ///< Q: no result codes at all
        bool verbose = true;        ///< V: result codes in words, else as numbers
        int s0 = 0;                 ///< rings before the phone answers a call itself; 0: never
        int crc = 0;                ///< +CRC=1: "+CRING: VOICE" instead of "RING"
        int clip = 0;               ///< +CLIP=1: "+CLIP: ..." after each ring
        int colp = 0;               ///< +COLP=1: a dial's final result waits for the callee
        int cvhu = 0;               ///< +CVHU=1: ATH answers OK but leaves a voice call up
        int cmee = 0;               ///< +CMEE
        QByteArray charset = "IRA"; ///< +CSCS; "UCS2" sends names hex-coded
    };
    /// How the phone answers a dial before the call is set up.
    enum class DialAnswer { Ok, Busy, NoCarrier, NoAnswer, NoDialtone, CmeError };
    /// What the called party does once the call is set up.
    enum class Callee { Answers, Busy, NoAnswer, NoCarrier, Never };

    explicit SimPhone(QObject *parent = nullptr);
    ~SimPhone() override;

    Q_INVOKABLE bool start(const QString &linkPath = {});
    QString devicePath() const;
    QString linkPath() const;
    bool isLineUp() const;
    QString model() const;
    void setModel(const QString &model);
    QStringList missedCalls() const;
    QStringList receivedCommands() const;
    QStringList dialledNumbers() const;

    /// The stored profile and the settings in force become the factory's with `commands` applied,
    /// as the body of an AT command line ("+CRC=1;+CLIP=1", "E0Q1V0S0=2"); false, and nothing
    /// changed, if one of them is not a setting of the profile.
    bool setStoredProfile(const QByteArray &commands);
    void setDialAnswer(DialAnswer answer, int cmeCode = 0);
    /// The callee's part in the next dials, `afterMs` after the dial.
    void setCallee(Callee callee, int afterMs);
    /// Without it AT+CPBS=? lists only "SM" and "MC" cannot be selected.
    void setMissedCallList(bool present);
    /// International numbers listed without their "+", type 145 telling what they are.
    void setBareInternational(bool bare);

public slots:
    void ring(int times, int intervalMs);
    void setNextCaller(const QString &number, const QString &name);
    void addMissedCall(const QString &number, const QString &name);
    void setSilent(bool silent);
    void setChunking(int chunkSize, int delayMs);
    void setCmeError(int code);
    void setAnswerDelay(int ms);
    void sendRaw(const QByteArray &bytes);
    void hangUpLine();

signals:
    void commandReceived(const QString &line, qint64 steadyNs);
    void finalWritten(const QByteArray &finalCode, qint64 steadyNs);
    void ringWritten(int index, qint64 steadyNs);
    void lineHungUp();
    void linePlugged(const QString &devicePath);

private:
    struct Caller
    {
        QString number;
        QString name;
    };
    enum class Event { None, Final, Ring };
    struct Output
    {
        QByteArray bytes;
        int delayMs = 0;
        bool delayDone = false;
        qsizetype written = 0;
        Event event = Event::None;
        QByteArray finalCode;
        int ringIndex = 0;
        quint64 callId = 0;
    };
    struct Answer
    {
        QByteArray info;
        QByteArray final = "OK";
        bool deferred = false; ///< the final result comes later (a dial waiting for its callee)
    };

    void closeLine();
    void watchForCloses(const char *device);
    bool makeLink(const QString &linkPath, const QString &target);
    void removeOwnLink();
    void onReadable();
    void onLine(QByteArray line, qint64 steadyNs);
    Answer execute(const QByteArrayList &commands);
    bool executeOne(const QByteArray &command, Answer &answer);
    bool readPhonebook(const QByteArray &args, Answer &answer);
    bool dial(const QByteArray &dialString, Answer &answer);
    void calleeActs();
    void abortDial();
    void endCall();
    void addInfo(Answer &answer, const QByteArrayList &lines) const;
    QByteArray resultCode(const QByteArray &code) const;
    QByteArray listedNumber(const QString &number, int *type) const;
    bool isProfileCommand(const QByteArray &command) const;
    void endIncomingCall(bool missed);
    void ringTick();
    void enqueueAnswer(const QByteArray &bytes, int firstDelayMs, Event event,
                       const QByteArray &finalCode);
    void enqueue(Output output);
    void pumpOutput();
    QList<Caller> storage(const QByteArray &name) const;

    int m_master = -1;
    int m_slave = -1;
    QSocketNotifier *m_readNotifier = nullptr;
    QSocketNotifier *m_writeNotifier = nullptr;
    int m_closeWatch = -1;
    QSocketNotifier *m_closeNotifier = nullptr;
    QTimer *m_outputTimer = nullptr;
    QTimer *m_ringTimer = nullptr;
    QTimer *m_calleeTimer = nullptr;
    std::deque<Output> m_output;
    qint64 m_pendingBytes = 0;
    bool m_pumping = false;
    QByteArray m_lineBuffer;
    bool m_discardingLine = false;

    Profile m_profile;
    Profile m_stored;
    bool m_silent = false;
    int m_chunkSize = 0;
    int m_chunkDelayMs = 0;
    int m_cmeError = -1;
    int m_answerDelayMs = 0;
    int m_creg = 0;
    QByteArray m_storage = "SM";
    bool m_hasMissedCalls = true;
    bool m_bareInternational = false;
    DialAnswer m_dialAnswer = DialAnswer::Ok;
    int m_dialCmeCode = 0;
    Callee m_callee = Callee::Answers;
    int m_calleeAfterMs = 0;
    bool m_dialPending = false;

    Caller m_nextCaller{QStringLiteral("+393331234567"), QStringLiteral("Mario Rossi")};
    Caller m_ringingCaller;
    bool m_ringing = false;
    quint64 m_callId = 0;
    int m_ringsLeft = 0;
    int m_ringIndex = 0;
    QString m_activeCall;

    QString m_linkTarget;

    // Guards what the getters may read from other threads.
    mutable QMutex m_mutex;
    QString m_devicePath;
    QString m_linkPath;
    QString m_model = QStringLiteral("TS-GSM 900/1800 simulato");
    QList<Caller> m_missed;
    QList<Caller> m_dialled;
    QStringList m_received;
};
