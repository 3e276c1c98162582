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
class SimPhone : public QObject
{
    Q_OBJECT
public:
    static constexpr int kPhonebookCapacity = 10;
    static constexpr int kNumberLength = 40;
    static constexpr int kNameLength = 20;

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
    bool dial(const QByteArray &dialString);
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
    std::deque<Output> m_output;
    qint64 m_pendingBytes = 0;
    bool m_pumping = false;
    QByteArray m_lineBuffer;
    bool m_discardingLine = false;

    bool m_echo = true;
    bool m_silent = false;
    int m_chunkSize = 0;
    int m_chunkDelayMs = 0;
    int m_cmeError = -1;
    int m_answerDelayMs = 0;
    int m_cmee = 0;
    QByteArray m_storage = "SM";
    QByteArray m_charset = "IRA";

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
