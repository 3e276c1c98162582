// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim_script.h"

#include "sim_phone.h"

#include <QRandomGenerator>
#include <QTimer>

#include <cstring>
#include <vector>

namespace {

std::optional<int> toInt(const QString &text, int min, int max)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < min || value > max)
        return std::nullopt;
    return value;
}

std::optional<bool> toSwitch(const QString &text)
{
    if (text == QLatin1String("on"))
        return true;
    if (text == QLatin1String("off"))
        return false;
    return std::nullopt;
}

int hexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

} // namespace

SimCommander::SimCommander(SimPhone *phone, QObject *parent)
    : QObject(parent), m_phone(phone), m_demoTimer(new QTimer(this)),
      m_callerNumber(QStringLiteral("+393331234567")), m_callerName(QStringLiteral("Mario Rossi"))
{
    m_demoTimer->setSingleShot(true);
    connect(m_demoTimer, &QTimer::timeout, this, &SimCommander::demoRing);
    connect(phone, &SimPhone::commandReceived, this, &SimCommander::onCommand);
    connect(phone, &SimPhone::linePlugged, this, &SimCommander::onLineChanged);
    connect(phone, &SimPhone::lineHungUp, this, &SimCommander::onLineChanged);
}

void SimCommander::setDemo(bool on)
{
    if (on == m_demoOn)
        return;
    m_demoOn = on;
    qCInfo(lcPhoneSim) << "demo caller" << (on ? "on" : "off");
    // Switched on while the program already listens (a script's "demo on"): no start-up will
    // come to wait for.
    if (on && m_listenedTo)
        m_demoTimer->start(kDemoFirstRingMs);
    else
        m_demoTimer->stop();
}

void SimCommander::onCommand(const QString &line)
{
    const QString command = line.trimmed().toUpper();
    if (command == QLatin1String("ATZ")) {
        m_resetSeen = true;
        return;
    }
    if (command != QLatin1String("AT+CGMM") || !std::exchange(m_resetSeen, false))
        return;
    m_listenedTo = true;
    if (m_demoOn)
        m_demoTimer->start(kDemoFirstRingMs);
}

void SimCommander::onLineChanged()
{
    m_resetSeen = false;
    m_listenedTo = false;
}

void SimCommander::demoRing()
{
    // The demo caller must not replace the caller the script chose for its own rings.
    m_phone->setNextCaller(QStringLiteral("+393471234567"), QStringLiteral("Demo Squillo"));
    m_phone->ring(1, 3000);
    m_phone->setNextCaller(m_callerNumber, m_callerName);
    m_demoTimer->start(kDemoIntervalMs);
}

std::optional<QByteArray> SimCommander::decodeEscapes(QStringView text)
{
    QByteArray out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != QLatin1Char('\\')) {
            out += QStringView(text).mid(i, 1).toUtf8();
            continue;
        }
        if (++i >= text.size())
            return std::nullopt;
        switch (text[i].unicode()) {
        case 'r':
            out += '\r';
            break;
        case 'n':
            out += '\n';
            break;
        case 't':
            out += '\t';
            break;
        case '0':
            out += '\0';
            break;
        case '\\':
            out += '\\';
            break;
        case 'x': {
            const int high = i + 1 < text.size() ? hexValue(text[i + 1]) : -1;
            const int low = i + 2 < text.size() ? hexValue(text[i + 2]) : -1;
            if (high < 0 || low < 0)
                return std::nullopt;
            out += char(high * 16 + low);
            i += 2;
            break;
        }
        default:
            return std::nullopt;
        }
    }
    return out;
}

QByteArray SimCommander::randomBytes(qint64 count)
{
    std::vector<quint32> words(size_t((count + 3) / 4));
    QRandomGenerator::global()->fillRange(words.data(), qsizetype(words.size()));
    QByteArray out(count, Qt::Uninitialized);
    std::memcpy(out.data(), words.data(), size_t(count));
    return out;
}

bool SimCommander::execute(const QString &rawLine, QString *error)
{
    const auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    const QString line = rawLine.trimmed();
    if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
        return true;
    const qsizetype space = line.indexOf(QLatin1Char(' '));
    const QString command = line.left(space).toLower();
    const QString rest = space < 0 ? QString() : line.mid(space + 1).trimmed();
    const QStringList args = rest.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const auto argCount = [&](qsizetype min, qsizetype max) {
        return args.size() >= min && args.size() <= max;
    };

    if (command == QLatin1String("ring") && !args.isEmpty()) {
        // "ring 2 3000 after AT+CPBS 500": the call waits for the phone to receive the command.
        const qsizetype after = args.indexOf(QLatin1String("after"));
        const QStringList ringArgs = after < 0 ? args : args.mid(0, after);
        const QStringList afterArgs = after < 0 ? QStringList() : args.mid(after + 1);
        const auto times = toInt(ringArgs.value(0), 1, 1000);
        const auto interval = ringArgs.size() == 2 ? toInt(ringArgs[1], 0, 3600000) : 3000;
        const auto afterMs = afterArgs.size() == 2 ? toInt(afterArgs[1], 0, 3600000) : 0;
        if (!times || !interval || !afterMs || ringArgs.size() > 2 ||
            (after >= 0 && (afterArgs.isEmpty() || afterArgs.size() > 2)))
            return fail(QStringLiteral("ring N [INTERVAL_MS] [after COMMAND [MS]]"));
        if (after < 0)
            m_phone->ring(*times, *interval);
        else
            m_phone->ringAfterCommand(afterArgs[0], *afterMs, *times, *interval);
        return true;
    }
    if (command == QLatin1String("caller") && !args.isEmpty()) {
        m_callerNumber = args[0];
        m_callerName = QStringList(args.mid(1)).join(QLatin1Char(' '));
        m_phone->setNextCaller(m_callerNumber, m_callerName);
        return true;
    }
    // A phone's setting that is one way or the other: "mc on", "storage quoted".
    struct TwoWay
    {
        const char *command;
        const char *off;
        const char *on;
        void (SimPhone::*set)(bool);
    };
    static const TwoWay kTwoWays[] = {
        {"silent", "off", "on", &SimPhone::setSilent},
        {"mc", "off", "on", &SimPhone::setMissedCallList},
        {"international", "plus", "bare", &SimPhone::setBareInternational},
        {"ringframe", "crlf", "crcrlf", &SimPhone::setExtraCrAfterRing},
        {"dial-while-ringing", "ok", "refuse", &SimPhone::setRefuseDialWhileRinging},
        {"storage", "any", "quoted", &SimPhone::setQuotedStorageOnly},
        {"radio", "off", "on", &SimPhone::setRadioOn},
        {"bare-at", "ok", "error", &SimPhone::setBareAtRefused},
        {"clcc", "ok", "error", &SimPhone::setCallListRefused},
    };
    for (const TwoWay &row : kTwoWays) {
        if (command != QLatin1String(row.command))
            continue;
        if (!argCount(1, 1) ||
            (args[0] != QLatin1String(row.on) && args[0] != QLatin1String(row.off)))
            return fail(QStringLiteral("%1 %2|%3")
                            .arg(QLatin1String(row.command), QLatin1String(row.off),
                                 QLatin1String(row.on)));
        (m_phone->*row.set)(args[0] == QLatin1String(row.on));
        return true;
    }
    if (command == QLatin1String("demo") && argCount(1, 1) && toSwitch(args[0])) {
        setDemo(*toSwitch(args[0]));
        return true;
    }
    if (command == QLatin1String("chunks") && argCount(2, 2)) {
        const auto size = toInt(args[0], 0, 1 << 20);
        const auto delay = toInt(args[1], 0, 60000);
        if (!size || !delay)
            return fail(QStringLiteral("chunks SIZE DELAY_MS"));
        m_phone->setChunking(*size, *delay);
        return true;
    }
    if (command == QLatin1String("cme") && argCount(1, 1)) {
        const auto code = args[0] == QLatin1String("off") ? -1 : toInt(args[0], 0, 65535);
        if (!code)
            return fail(QStringLiteral("cme N | cme off"));
        m_phone->setCmeError(*code);
        return true;
    }
    if (command == QLatin1String("delay") && argCount(1, 1) && toInt(args[0], 0, 3600000)) {
        m_phone->setAnswerDelay(*toInt(args[0], 0, 3600000));
        return true;
    }
    if (command == QLatin1String("send") && !rest.isEmpty()) {
        const auto bytes = decodeEscapes(rest);
        if (!bytes)
            return fail(QStringLiteral("bad escape; use \\r \\n \\t \\0 \\xNN \\\\"));
        m_phone->sendRaw(*bytes);
        return true;
    }
    if ((command == QLatin1String("garbage") || command == QLatin1String("flood")) &&
        argCount(1, 1)) {
        bool ok = false;
        const qint64 count = args[0].toLongLong(&ok);
        if (!ok || count < 1 || count > kMaxRawBytes)
            return fail(command + QStringLiteral(" N (1 to %1)").arg(kMaxRawBytes));
        m_phone->sendRaw(randomBytes(count));
        return true;
    }
    if (command == QLatin1String("profile")) {
        if (!m_phone->setStoredProfile(rest.toLatin1()))
            return fail(
                QStringLiteral("profile [SETTINGS], e.g. profile E0Q1V0S0=2;+CRC=1;+CLIP=1"));
        return true;
    }
    if (command == QLatin1String("dial") && argCount(1, 2)) {
        static const QStringList kAnswers{
            QStringLiteral("ok"),          QStringLiteral("busy"),
            QStringLiteral("no-carrier"),  QStringLiteral("no-answer"),
            QStringLiteral("no-dialtone"), QStringLiteral("cme")};
        const qsizetype which = kAnswers.indexOf(args[0].toLower());
        const bool cme = which == kAnswers.size() - 1;
        const auto code = cme && args.size() == 2 ? toInt(args[1], 0, 65535) : std::optional(0);
        if (which < 0 || args.size() != (cme ? 2 : 1) || !code)
            return fail(QStringLiteral("dial ok|busy|no-carrier|no-answer|no-dialtone|cme N"));
        m_phone->setDialAnswer(SimPhone::DialAnswer(which), *code);
        return true;
    }
    if (command == QLatin1String("callee") && argCount(1, 2)) {
        static const QStringList kCallees{QStringLiteral("answers"), QStringLiteral("busy"),
                                          QStringLiteral("no-answer"), QStringLiteral("no-carrier"),
                                          QStringLiteral("never")};
        const qsizetype which = kCallees.indexOf(args[0].toLower());
        bool ok = args.size() == 1;
        const double seconds = ok ? 0.0 : args[1].toDouble(&ok);
        if (which < 0 || !ok || seconds < 0 || seconds > 3600 ||
            (which == kCallees.size() - 1 && args.size() == 2))
            return fail(QStringLiteral(
                "callee answers|busy|no-answer|no-carrier [SECONDS] | callee never"));
        m_phone->setCallee(SimPhone::Callee(which), int(seconds * 1000));
        return true;
    }
    if (command == QLatin1String("model") && !rest.isEmpty()) {
        m_phone->setModel(rest);
        return true;
    }
    if (command == QLatin1String("hangup") && args.isEmpty()) {
        m_phone->hangUpLine();
        return true;
    }
    if (command == QLatin1String("plug") && args.isEmpty()) {
        if (!m_phone->start(m_phone->linkPath()))
            return fail(QStringLiteral("cannot open a new pty"));
        return true;
    }
    if (command == QLatin1String("quit") && args.isEmpty()) {
        emit quitRequested();
        return true;
    }
    return fail(QStringLiteral("unknown command or wrong arguments"));
}

SimScript::SimScript(SimCommander *commander, const QString &sourceName, QObject *parent)
    : QObject(parent), m_commander(commander), m_sourceName(sourceName),
      m_waitTimer(new QTimer(this))
{
    m_waitTimer->setSingleShot(true);
    connect(m_waitTimer, &QTimer::timeout, this, &SimScript::runPending);
    // Nothing after a "quit" runs, not even lines already read.
    connect(commander, &SimCommander::quitRequested, this, [this] {
        m_pending.clear();
        m_partial.clear();
        m_waitTimer->stop();
    });
}

void SimScript::feed(const QByteArray &text)
{
    m_partial += text;
    qsizetype newline;
    while ((newline = m_partial.indexOf('\n')) >= 0) {
        m_pending.append({++m_lineNumber, QString::fromUtf8(m_partial.left(newline))});
        m_partial.remove(0, newline + 1);
    }
    runPending();
}

void SimScript::finish()
{
    if (!m_partial.isEmpty())
        m_pending.append({++m_lineNumber, QString::fromUtf8(std::exchange(m_partial, {}))});
    runPending();
}

bool SimScript::isIdle() const
{
    return m_pending.isEmpty() && !m_waitTimer->isActive();
}

void SimScript::runPending()
{
    while (!m_pending.isEmpty() && !m_waitTimer->isActive()) {
        const auto [number, line] = m_pending.takeFirst();
        const QStringList words = line.trimmed().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (!words.isEmpty() && words[0].toLower() == QLatin1String("wait")) {
            bool ok = false;
            const int ms = words.size() == 2 ? words[1].toInt(&ok) : -1;
            if (ok && ms >= 0)
                m_waitTimer->start(ms);
            else
                qCWarning(lcPhoneSim).noquote() << m_sourceName << "line" << number << ": wait MS";
            continue;
        }
        QString error;
        if (!m_commander->execute(line, &error))
            qCWarning(lcPhoneSim).noquote()
                << m_sourceName << "line" << number << ":" << line.trimmed() << "-" << error;
    }
    if (isIdle())
        emit idle();
}
