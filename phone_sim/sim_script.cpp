// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim_script.h"

#include "sim_phone.h"

#include <QRandomGenerator>
#include <QTimer>

#include <cstring>
#include <vector>

namespace {

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
      m_callerNumber(kDefaultCallerNumber), m_callerName(kDefaultCallerName)
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
    m_phone->setNextCaller(m_callerNumber, m_callerName, m_callerValidity);
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
