// SPDX-License-Identifier: GPL-3.0-or-later
#include "call_back_history.h"

#include "phone_link/caller_entry.h"
#include "phone_link/clock.h"
#include "phone_link/state_folder.h"

#include <QByteArrayList>
#include <QDateTime>
#include <QLoggingCategory>

#include <algorithm>

Q_DECLARE_LOGGING_CATEGORY(lcMonitor)

namespace {

/// A history holds a few dials a minute at most; a bigger file is not one.
constexpr qsizetype kMaxFileSize = 1024 * 1024;

} // namespace

CallBackHistory::CallBackHistory(const StateFolder &folder, const Clock &clock)
    : m_folder(folder), m_clock(clock)
{
}

std::vector<PastCallBack> CallBackHistory::load()
{
    QString error;
    const std::optional<QByteArray> bytes = m_folder.read(QString::fromLatin1(kFileName), &error);
    const qint64 nowMs = m_clock.wallTime().toMSecsSinceEpoch();
    m_dials.clear();
    bool damaged = !error.isEmpty() || (bytes && bytes->size() > kMaxFileSize);
    for (const QByteArray &line :
         damaged ? QByteArrayList() : bytes.value_or(QByteArray()).split('\n')) {
        if (line.isEmpty())
            continue;
        const QList<QByteArray> fields = line.split('\t');
        bool ok = false;
        const qint64 atMs = fields.value(0).toLongLong(&ok);
        const QString number = QString::fromLatin1(fields.value(1));
        if (fields.size() != 2 || !ok || !isDialable(number)) {
            damaged = true;
            break;
        }
        m_dials.append({std::min(atMs, nowMs), number});
    }
    if (damaged) {
        m_dials.clear();
        qCWarning(lcMonitor).noquote()
            << tr("the record of earlier call-backs in %1 cannot be read%2: the cool-down and the "
                  "hour's limit start from no call-back")
                   .arg(m_folder.path(),
                        error.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(error));
    }
    std::stable_sort(m_dials.begin(), m_dials.end(),
                     [](const Dial &a, const Dial &b) { return a.atMs < b.atMs; });
    prune(nowMs);
    std::vector<PastCallBack> past;
    for (const Dial &dial : m_dials)
        past.push_back({dial.number, (nowMs - dial.atMs) / 1000.0});
    return past;
}

void CallBackHistory::dialled(const QString &number)
{
    const qint64 nowMs = m_clock.wallTime().toMSecsSinceEpoch();
    prune(nowMs);
    m_dials.append({nowMs, number});
    QByteArray bytes;
    for (const Dial &dial : m_dials)
        bytes += QByteArray::number(dial.atMs) + '\t' + dial.number.toLatin1() + '\n';
    QString error;
    if (!m_folder.write(QString::fromLatin1(kFileName), bytes, &error) &&
        !std::exchange(m_toldWriteError, true))
        qCWarning(lcMonitor).noquote()
            << tr("cannot keep the record of call-backs in %1 (%2): after a restart the cool-down "
                  "and the hour's limit start afresh")
                   .arg(m_folder.path(), error);
}

void CallBackHistory::prune(qint64 nowMs)
{
    m_dials.removeIf([nowMs](const Dial &dial) { return nowMs - dial.atMs >= kKeptMs; });
}
