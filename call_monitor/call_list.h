// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The phone's list of calls (AT+CLCC), as the call-back's hold reads it. The program lets a
// call-back ring for Slider1 seconds and hangs up: a callee who picks up (or a mailbox that does)
// would otherwise be connected, and paid for, with nobody on either end until then, and a callee
// who rejects it leaves the line held for nothing. So while it stands the monitor asks the phone
// for its calls (AT+CLCC) about once a second, and watches for the "NO CARRIER", "BUSY" or "NO
// ANSWER" that a phone sends unasked when the far end ends the call.
//
// AT+CLCC lists each call as +CLCC: <id>,<dir>,<stat>,<mode>,<mpty>[,<number>,<type>[,...]]
// (3GPP TS 27.007): dir 0 is a call the phone made, 1 one it receives; stat 0 active, 1 held,
// 2 dialling, 3 alerting, 4 incoming, 5 waiting. A call that rings in meanwhile is not the
// call-back's: its rings are counted as always.

#include <QString>
#include <QStringList>

/// What the phone's list of calls says of the call-back.
enum class CallBackProgress {
    Unknown,  ///< the answer is not a list of calls: the phone cannot tell
    Ringing,  ///< dialling or alerting: nobody has picked up yet
    Answered, ///< active (or held): the callee or a mailbox picked up
    Gone      ///< the phone lists no call that it made: the call is over
};

/// The phone's list of calls, as the call-back's hold reads it.
struct CallList
{
    CallBackProgress progress = CallBackProgress::Unknown;
    /// The call-back's own index in the list (the phone's call the hold is about); 0 when none.
    int ownIndex = 0;
    /// A call rings in meanwhile (stat 4 incoming or 5 waiting): the hold's end must not cut it.
    bool anotherRings = false;
};

/// Reads the information lines of an AT+CLCC answered OK: its +CLCC lines; any other line (a
/// notice the phone slipped in) says nothing of the calls. No call that the phone made: Gone.
CallList readCallList(const QStringList &lines);
