// SPDX-License-Identifier: GPL-3.0-or-later
#include "check_exchange.h"

#include "phone_link/at_exchange.h"
#include "phone_link/clock.h"
#include "phone_link/event_pump.h"
#include "phone_link/phone_reports.h"
#include "phone_link/serial_line.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

/// Ring reports, caller lines and registration reports that may cross an answer, read as the
/// monitor reads them; under V0 (numeric result codes, which the program never uses) a ring is "2".
bool isRingReport(const QString &line, bool numericToo)
{
    const PhoneReport kind = phoneReport(line);
    return kind == PhoneReport::Ring || kind == PhoneReport::CallerLine ||
           kind == PhoneReport::Registration || kind == PhoneReport::Message ||
           (numericToo && line == u"2");
}

/// Takes the whole lines out of `buffer` into `reply`, the echo of the command and the ring
/// reports set aside; the unfinished last line stays. True once the final result code came.
bool takeLines(QString &buffer, const QString &echo, bool numericToo, CheckReply &reply)
{
    // A line is complete at its CR or LF (V0 ends a result with CR alone).
    for (;;) {
        const auto at = std::find_if(buffer.cbegin(), buffer.cend(),
                                     [](QChar c) { return c == u'\r' || c == u'\n'; });
        if (at == buffer.cend())
            return false;
        const qsizetype end = at - buffer.cbegin();
        const QString line = buffer.left(end).trimmed();
        buffer.remove(0, end + 1);
        if (line.isEmpty())
            continue;
        if (line.compare(echo, Qt::CaseInsensitive) == 0) {
            reply.echoed = true;
            continue;
        }
        if (isRingReport(line, numericToo))
            continue;
        const QString code = finalResultCode(line, numericToo);
        if (!code.isEmpty()) {
            reply.end = CheckReply::End::Final;
            reply.final = code;
            reply.numeric = code != line.toUpper();
            return true;
        }
        if (reply.info.size() < 100)
            reply.info << line;
    }
}

/// The common "+CME ERROR" numbers of 3GPP TS 27.007 and what they mean.
const QList<std::pair<int, const char *>> kCmeMeanings{
    {0, QT_TRANSLATE_NOOP("PhoneCheck", "phone failure")},
    {3, QT_TRANSLATE_NOOP("PhoneCheck", "operation not allowed")},
    {4, QT_TRANSLATE_NOOP("PhoneCheck", "operation not supported")},
    {10, QT_TRANSLATE_NOOP("PhoneCheck", "SIM not inserted")},
    {11, QT_TRANSLATE_NOOP("PhoneCheck", "SIM PIN required")},
    {12, QT_TRANSLATE_NOOP("PhoneCheck", "SIM PUK required")},
    {13, QT_TRANSLATE_NOOP("PhoneCheck", "SIM failure")},
    {14, QT_TRANSLATE_NOOP("PhoneCheck", "SIM busy")},
    {15, QT_TRANSLATE_NOOP("PhoneCheck", "SIM wrong")},
    {16, QT_TRANSLATE_NOOP("PhoneCheck", "incorrect password")},
    {20, QT_TRANSLATE_NOOP("PhoneCheck", "memory full")},
    {21, QT_TRANSLATE_NOOP("PhoneCheck", "invalid index")},
    {22, QT_TRANSLATE_NOOP("PhoneCheck", "not found")},
    {30, QT_TRANSLATE_NOOP("PhoneCheck", "no network service")},
    {31, QT_TRANSLATE_NOOP("PhoneCheck", "network timeout")},
    {100, QT_TRANSLATE_NOOP("PhoneCheck", "unknown")}};

/// What the common "+CME ERROR" numbers of 3GPP TS 27.007 mean, in the report's language; empty
/// for any other answer.
QString cmeMeaning(const QString &final)
{
    if (!final.startsWith(u"+CME ERROR:"))
        return {};
    bool ok = false;
    const int code = final.mid(11).trimmed().toInt(&ok);
    for (const auto &[number, meaning] : kCmeMeanings) {
        if (ok && number == code)
            return QCoreApplication::translate("PhoneCheck", meaning);
    }
    return {};
}

} // namespace

QString CheckReply::value(QStringView prefix) const
{
    for (const QString &line : info) {
        if (line.startsWith(prefix, Qt::CaseInsensitive))
            return line.mid(prefix.size()).trimmed();
    }
    return {};
}

QString CheckReply::describe() const
{
    switch (end) {
    case End::Final: {
        // The phone's own words stay as it sent them, quoted.
        const QString meaning = cmeMeaning(final);
        return meaning.isEmpty() ? QStringLiteral("\"%1\"").arg(final)
                                 : QCoreApplication::translate("PhoneCheck", "\"%1\" (%2)",
                                                               "an error code, then its meaning")
                                       .arg(final, meaning);
    }
    case End::Silent:
        return QCoreApplication::translate("PhoneCheck", "nothing", "what the phone answered");
    case End::Lost:
        return QCoreApplication::translate("PhoneCheck", "nothing (the line closed)");
    case End::OutOfTime:
        return QCoreApplication::translate("PhoneCheck", "nothing (out of time)");
    }
    return {};
}

CheckExchange::CheckExchange(SerialLine &line, Clock &clock, EventPump &pump, double runEnd)
    : m_line(line), m_clock(clock), m_pump(pump), m_runEnd(runEnd)
{
}

CheckReply CheckExchange::ask(const QString &cmdat, double wait, bool numericToo)
{
    CheckReply reply;
    if (!m_line.isOpen()) {
        reply.end = CheckReply::End::Lost;
        return reply;
    }
    const double start = m_clock.seconds();
    if (start >= m_runEnd) {
        reply.end = CheckReply::End::OutOfTime;
        return reply;
    }
    // A late answer to an earlier command is not this one's.
    m_line.readAll();
    const QString frame = atFrame(cmdat);
    const QString echo = frame.chopped(1);
    m_line.write(frame);

    const double deadline = std::min(start + wait, m_runEnd);
    QString buffer;
    bool lastLook = false;
    for (;;) {
        const double left = deadline - m_clock.seconds();
        m_pump.pumpEvents(left > 0 ? int(std::min<double>(kPumpSliceMs, std::ceil(left * 1000)))
                                   : 0);
        if (!m_line.isOpen() || m_pump.isStopping()) {
            reply.end = CheckReply::End::Lost;
            return reply;
        }
        buffer += m_line.readAll();
        if (takeLines(buffer, echo, numericToo, reply))
            return reply;
        if (buffer.size() > kMaxAnswer)
            buffer.clear();
        if (m_clock.seconds() >= deadline) {
            // On a busy machine the program may not have run for a while: an answer that came
            // in time but is not read yet gets one more look before the phone is called silent.
            if (!std::exchange(lastLook, true))
                continue;
            reply.end =
                deadline < start + wait ? CheckReply::End::OutOfTime : CheckReply::End::Silent;
            return reply;
        }
    }
}
