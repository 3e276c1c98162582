// SPDX-License-Identifier: GPL-3.0-or-later
#include "line_assembler.h"

void LineAssembler::feed(const QString &chunk, qint64 nowMs)
{
    if (chunk.isEmpty())
        return;
    m_pending += chunk;
    m_lastArrival = nowMs;
}

QString LineAssembler::take(qint64 nowMs)
{
    if (m_pending.isEmpty())
        return {};
    const qsizetype lineEnd = m_pending.lastIndexOf(u"\r\n");
    const qsizetype heldFrom = lineEnd < 0 ? 0 : lineEnd + 2;
    const qsizetype held = m_pending.size() - heldFrom;
    if (held == 0 || held >= kMaxHeld || nowMs - m_lastArrival >= kQuietMs) {
        QString all;
        all.swap(m_pending);
        return all;
    }
    QString complete = m_pending.first(heldFrom);
    m_pending.remove(0, heldFrom);
    return complete;
}
