// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

/// Holds back a line that is still arriving. At 19200 baud CR LF "RING" CR LF takes about 4 ms on
/// the wire and a UART or USB adapter hands it over in pieces, while the monitor reads whenever
/// bytes arrive and counts a ring only when one read sees the whole of it. So everything received
/// is handed out except an unfinished last line (no CR LF after it yet), which waits until its
/// end arrives, the line has been quiet for a few character times, or it fills the input buffer.
class LineAssembler
{
public:
    static constexpr qint64 kQuietMs = 10;      ///< about 20 character times at 19200 baud
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
