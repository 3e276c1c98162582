// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What a phone says: its unsolicited reports, and the final result codes that end an answer.
//
// Ring reports in the phone's text. A phone sends them whenever a call rings in, unasked, so they
// land in whatever is reading the line at that moment: the monitor's pass, an exchange's wait
// for its answer, the monitor's waits around a call-back. Each of those takes every complete
// ring report out of what it read and hands it to a RingSink with the moment it arrived; the
// rest of the text is theirs, as if the report had never been there.
//
// A report is a line of its own, framed by CR LF before it and CR LF (or CR CR LF, which some
// modules send) after it. "RING" and "+CRING: VOICE" are rings; a caller line
// (+CLIP: "<number>",<type>,...) that follows a ring tells who rings. "NO CARRIER", "BUSY" and
// "NO ANSWER" tell that a call the phone made is over: the far end hung up, rejected it or let it
// ring out. They are never rings. "+CREG: <stat>[,<lac>,<ci>...]" (AT+CREG=1 or 2) tells that the
// phone's registration on the network changed; the answer to AT+CREG? ("+CREG: <n>,<stat>...",
// its second field a bare number) is an answer's line, not a report.
//
// A text message delivered to the port (+CNMI mt 2 or 3: "+CMT:", likewise a cell broadcast
// "+CBM:" and a status report "+CDS:") is its header line and then its text, whatever the text
// holds: a message whose text is "RING", or a caller line, is a message. It is taken out whole
// and handed to nobody. Its text ends at the end of the line where the header's length (+CSDH=1)
// ends, else at the end of the line after the header; a header whose text has not arrived yet is
// where the next look starts.

#include <QString>
#include <QStringView>

#include <optional>

/// What a line of the phone's text is, as an unsolicited report.
enum class PhoneReport {
    Other,        ///< an answer's line, or a report that is not about a ringing call
    Ring,         ///< one ring of a voice call
    CallerLine,   ///< the caller's number (and maybe name) that comes with a ring
    CallEnded,    ///< a call the phone made is over ("NO CARRIER", "BUSY", "NO ANSWER")
    Registration, ///< the phone's registration on the network changed (+CREG: <stat>)
    Message       ///< a text message, broadcast or status report delivered to the port
};

/// Tells a ring report from other text: `line` is the line without its CR and LF. The monitor,
/// the exchange and the phone check all read reports with it.
PhoneReport phoneReport(QStringView line);

/// The registration state (3GPP TS 27.007 <stat>: 0 not registered, 1 home, 2 searching,
/// 3 denied, 4 unknown, 5 roaming) of a +CREG line, the read form's or the report's; nullopt when
/// `line` holds none.
std::optional<int> registrationStat(QStringView line);

/// The final result code that `line` is, in words; empty when it is none. A line of one digit is
/// read as V.250's numeric form (V0) when `numericToo`.
///
/// These are every final result of V.250 and 3GPP TS 27.007 (OK, CONNECT..., NO CARRIER, ERROR,
/// NO DIALTONE, BUSY, NO ANSWER, +CME ERROR: n, +CMS ERROR: n), and only the phone check reads
/// them: it asks each command once and reports whatever the phone answered. IOP ends its wait on
/// OK and ERROR alone, as the program always has: any other answer runs into its deadline and its
/// re-sends, and a call-progress result ("NO CARRIER", "BUSY", "NO ANSWER") is a report above,
/// which tells the monitor that its call-back is over. The check never makes a call, so one of
/// those can only answer its command.
QString finalResultCode(QStringView line, bool numericToo);

/// Where ring reports are handed over.
class RingSink
{
public:
    virtual ~RingSink() = default;
    /// A ring arrived at `at` (clock seconds).
    virtual void ringArrived(double at) = 0;
    /// A caller line arrived at `at`; `line` is the line without its framing.
    virtual void callerLineArrived(const QString &line, double at) = 0;
    /// A call-progress result arrived at `at`: "NO CARRIER", "BUSY" or "NO ANSWER".
    virtual void callEndedArrived(const QString &result, double at) = 0;
    /// The phone's registration changed at `at` to `stat` (see registrationStat()).
    virtual void registrationArrived(int stat, double at)
    {
        Q_UNUSED(stat);
        Q_UNUSED(at);
    }
};

/// Takes each complete report (rings, caller lines, call-progress results, registrations) out of
/// `text`, lines from `from` on (the start of a line), together with their framing, and hands them
/// to `sink` as arrived at `at`. Returns where the line that is not complete yet begins
/// (text.size() when there is none): the next look starts there, once more text has been appended.
qsizetype takeRingReports(QString &text, qsizetype from, double at, RingSink &sink);
