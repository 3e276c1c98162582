// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Whether a call-back that stands is over. The design lets a call-back ring for Slider1 seconds
// and hangs up: a callee who picks up (or a mailbox that does) would otherwise be connected, and
// paid for, with nobody on either end until then, and a callee who rejects it leaves the line
// held for nothing. So while it stands the monitor asks the phone for its calls (AT+CLCC) about
// once a second, and watches for the "NO CARRIER", "BUSY" or "NO ANSWER" that a phone sends unasked
// when the far end ends the call.
//
// AT+CLCC lists each call as +CLCC: <id>,<dir>,<stat>,<mode>,<mpty>[,<number>,<type>[,...]]
// (3GPP TS 27.007): dir 0 is a call the phone made, 1 one it receives; stat 0 active, 1 held,
// 2 dialling, 3 alerting, 4 incoming, 5 waiting. A call that rings in meanwhile is not the
// call-back's: its rings are counted as always.

#include <QString>

/// What the phone's list of calls says of the call-back.
enum class CallBackProgress {
    Unknown,  ///< the answer is not a list of calls: the phone cannot tell
    Ringing,  ///< dialling or alerting: nobody has picked up yet
    Answered, ///< active (or held): the callee or a mailbox picked up
    Gone      ///< the phone lists no call that it made: the call is over
};

/// Reads IOP's answer to AT+CLCC: "OK" for an empty list, else its +CLCC lines.
CallBackProgress readCallList(const QString &answer);
