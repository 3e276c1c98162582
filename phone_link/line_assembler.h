// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

/// Holds back a line that is still arriving. At 19200 baud CR LF "RING" CR LF takes about 4 ms on
/// the wire and a UART or USB adapter hands it over in pieces, while the monitor reads whenever
/// bytes arrive and counts a ring only when one read sees the whole of it. So everything received
/// is handed out except an unfinished last line (no CR LF after it yet), which waits until its
/// end arrives, the line has been quiet for a while, or it fills the input buffer. Nobody after
/// the line keeps half a line: a ring handed out in halves would not be counted.
class LineAssembler
{
public:
    /// About 80 character times at 19200 baud, and longer than a USB serial adapter's latency
    /// timer (16 ms by default), which can split a line with a pause of its own.
    static constexpr qint64 kQuietMs = 40;
    static constexpr qsizetype kMaxHeld = 1024; ///< the port's input buffer

    /// Adds text that arrived at nowMs.
    void feed(const QString &chunk, qint64 nowMs);
    /// What may be handed out at nowMs; the rest stays held.
    QString take(qint64 nowMs);
    bool isHolding() const { return !m_pending.isEmpty(); }
    void clear() { m_pending.clear(); }

private:
    QString m_pending;
    qint64 m_lastArrival = 0;
};
