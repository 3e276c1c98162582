// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayList>

#include <array>

/// The settings a phone's profile holds; the defaults are the factory's (AT&F). They decide how
/// every answer, ring and call report is framed, so the rooms that write to the line read them.
struct SimProfile
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
    /// +CNMI: mode, mt, bm, ds, bfr; mt 1 stores a new message and announces it with +CMTI.
    std::array<int, 5> cnmi{2, 1, 0, 0, 0};
    int csdh = 0; ///< +CSDH=1: a message's header with every field

    /// Information text as these settings frame it; nothing for no lines.
    QByteArray info(const QByteArrayList &lines) const;
    /// A result code ("OK", "RING", "+CME ERROR: 21") as these settings send it, if at all.
    QByteArray resultCode(const QByteArray &code) const;
};
