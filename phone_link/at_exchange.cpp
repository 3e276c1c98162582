// SPDX-License-Identifier: GPL-3.0-or-later
#include "at_exchange.h"

#include "clock.h"
#include "event_pump.h"
#include "phone_reports.h"
#include "serial_line.h"

#include <QStringView>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

const QString kFinalOk = QStringLiteral("\r\nOK\r\n");
const QString kFinalError = QStringLiteral("\r\nERROR\r\n");
const QString kCrLf = QStringLiteral("\r\n");

/// The phone's side ignores spaces around a command; only spaces are stripped, never CR or LF.
QStringView trimSpaces(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return text.sliced(begin, end - begin);
}

/// Whether a final result code is in the buffer. Only the part that could hold a code touching
/// the newly appended text is searched again.
bool holdsFinal(const QString &buffer, qsizetype searchFrom)
{
    const QStringView tail = QStringView(buffer).sliced(std::max<qsizetype>(0, searchFrom));
    return tail.contains(kFinalOk, Qt::CaseInsensitive) ||
           tail.contains(kFinalError, Qt::CaseInsensitive);
}

/// The answer ends with its final result code. What follows it in the same read, when that is
/// only line ends and an unfinished line, is the start of a report still arriving (a ring right
/// after the answer); the next read brings the rest to whoever reads then. It is not the answer's.
void cutAfterFinal(QString &buffer)
{
    qsizetype end = -1;
    for (const QString &code : {kFinalOk, kFinalError}) {
        const qsizetype at = buffer.lastIndexOf(code, -1, Qt::CaseInsensitive);
        if (at >= 0)
            end = std::max(end, at + code.size());
    }
    if (end < 0)
        return;
    const QStringView after = QStringView(buffer).sliced(end);
    const QStringView completeLines = after.first(after.lastIndexOf(u'\n') + 1);
    for (const QChar c : completeLines) {
        if (c != u'\r' && c != u'\n')
            return;
    }
    buffer.truncate(end);
}

/// The complete lines of an answer, without their CR and LF, blank ones left out.
QStringList answerLines(QStringView buffer)
{
    QStringList lines;
    for (const QStringView line : buffer.first(buffer.lastIndexOf(u'\n') + 1).split(u'\n')) {
        const QStringView text = line.trimmed();
        if (!text.isEmpty())
            lines << text.toString();
    }
    return lines;
}

/// Whether a complete line of the buffer is a final result code of any kind.
bool holdsAnyFinal(const QString &buffer)
{
    const QStringList lines = answerLines(buffer);
    return std::any_of(lines.cbegin(), lines.cend(),
                       [](const QString &line) { return !finalResultCode(line, false).isEmpty(); });
}

} // namespace

QString AtAnswer::value(QStringView prefix) const
{
    for (const QString &line : info) {
        if (line.startsWith(prefix, Qt::CaseInsensitive))
            return line.mid(prefix.size()).trimmed();
    }
    return {};
}

QString stripFraming(QString text)
{
    const QStringView trimmed = trimSpaces(text);
    if (trimmed.size() != text.size())
        text = trimmed.toString();
    if (text.startsWith(kCrLf))
        text.remove(0, 2);
    if (text.endsWith(kCrLf))
        text.chop(2);
    return text;
}

QString atFrame(const QString &cmdat)
{
    QString frame = QStringLiteral("AT");
    frame += trimSpaces(cmdat);
    frame += u'\r';
    return frame;
}

bool isDialCommand(const QString &cmdat)
{
    const QStringView command = trimSpaces(cmdat);
    return !command.isEmpty() && (command[0] == u'D' || command[0] == u'd');
}

QString ForDat(QString &TMP3TxT)
{
    TMP3TxT = stripFraming(std::move(TMP3TxT));
    if (TMP3TxT != u"ERROR" && TMP3TxT != u"OK") {
        // An answer shorter than the separator it should end with has no information line.
        if (TMP3TxT.size() < 6)
            TMP3TxT.clear();
        else
            TMP3TxT.chop(6);
    }
    return TMP3TxT;
}

AtExchange::AtExchange(SerialLine &line, Clock &clock, EventPump &pump)
    : m_line(line), m_clock(clock), m_pump(pump)
{
}

QString AtExchange::IOP(const QString &cmdat)
{
    bool answered = false;
    QString answer = exchange(cmdat, kDeadline, !isDialCommand(cmdat), Finals::OkOrError, answered);
    return ForDat(answer);
}

QString AtExchange::IOP(const QString &cmdat, double deadline)
{
    bool answered = false;
    QString answer = exchange(cmdat, deadline, false, Finals::OkOrError, answered);
    return ForDat(answer);
}

AtAnswer AtExchange::ask(const QString &cmdat, double deadline)
{
    bool answered = false;
    const QString buffer = exchange(cmdat, deadline, false, Finals::Any, answered);
    AtAnswer answer;
    if (!answered)
        return answer;
    for (const QString &line : answerLines(buffer)) {
        const QString final = finalResultCode(line, false);
        if (!final.isEmpty()) {
            answer.final = final;
            break;
        }
        answer.info << line;
    }
    return answer;
}

QString AtExchange::exchange(const QString &cmdat, double deadline, bool resend, Finals finals,
                             bool &answered)
{
    const double t0 = m_clock.seconds();
    m_gaveUp = true;
    answered = false;
    if (!m_line.isOpen())
        return kFinalError;

    ++m_depth;
    const QString frame = atFrame(cmdat);
    const bool dial = isDialCommand(cmdat);
    m_dials += dial;
    QString buffer;
    int retransmissions = 0;
    for (;;) {
        // A wait that expired saw the line open: a re-send never goes into a closed port.
        m_line.write(frame);
        buffer.clear();
        const Wait result = collectAnswer(t0 + deadline, finals, buffer);
        if (result == Wait::Abandoned) {
            buffer = kFinalError;
            break;
        }
        if (result == Wait::Final) {
            answered = true;
            break;
        }
        if (!resend) {
            buffer = kFinalError;
            break;
        }
        ++retransmissions;
        if (retransmissions > kRetransmitLimit) {
            buffer = kFinalError;
            break;
        }
    }
    --m_depth;
    m_dials -= dial;
    // Set after the wait, which may have run nested exchanges of its own.
    m_gaveUp = !answered;
    m_endedWithOk = answered && buffer.lastIndexOf(kFinalOk, -1, Qt::CaseInsensitive) >
                                    buffer.lastIndexOf(kFinalError, -1, Qt::CaseInsensitive);
    return buffer;
}

AtExchange::Wait AtExchange::collectAnswer(double deadline, Finals finals, QString &buffer)
{
    qsizetype unfinishedLine = 0; // lines before it hold no ring report
    for (;;) {
        const double left = deadline - m_clock.seconds();
        const int waitMs =
            left > 0 ? int(std::min<double>(kPumpSliceMs, std::ceil(left * 1000))) : 0;
        m_pump.pumpEvents(waitMs);
        // A handler that ran inside the pump, or the device itself, may have closed the port, or
        // the program may be ending.
        if (!m_line.isOpen() || m_pump.isStopping())
            return Wait::Abandoned;

        const QString chunk = m_line.readAll();
        if (!chunk.isEmpty()) {
            // A report taken out may also take the CR LF before the unfinished line.
            qsizetype searchFrom = std::min(buffer.size(), unfinishedLine - 2);
            searchFrom -= kFinalError.size() - 1;
            buffer += chunk;
            if (m_ringSink)
                unfinishedLine =
                    takeRingReports(buffer, unfinishedLine, m_clock.seconds(), *m_ringSink);
            const bool done =
                finals == Finals::Any ? holdsAnyFinal(buffer) : holdsFinal(buffer, searchFrom);
            if (buffer.size() > kMaxAnswer) {
                const qsizetype dropped = buffer.size() - kMaxAnswer;
                buffer.remove(0, dropped);
                unfinishedLine = std::max<qsizetype>(0, unfinishedLine - dropped);
            }
            if (done) {
                cutAfterFinal(buffer);
                return Wait::Final;
            }
        }
        if (m_clock.seconds() >= deadline)
            return Wait::Expired;
    }
}
