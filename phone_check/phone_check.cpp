// SPDX-License-Identifier: GPL-3.0-or-later
#include "phone_check.h"

#include "at_exchange.h"
#include "clock.h"
#include "event_pump.h"
#include "qt_serial_line.h"

#include <QSerialPortInfo>
#include <QTextStream>

#include <algorithm>
#include <optional>

namespace {

/// What the common "+CME ERROR" numbers of 3GPP TS 27.007 mean.
QString cmeMeaning(const QString &final)
{
    static const QList<std::pair<int, const char *>> kMeanings{{0, "phone failure"},
                                                               {3, "operation not allowed"},
                                                               {4, "operation not supported"},
                                                               {10, "SIM not inserted"},
                                                               {11, "SIM PIN required"},
                                                               {12, "SIM PUK required"},
                                                               {13, "SIM failure"},
                                                               {14, "SIM busy"},
                                                               {15, "SIM wrong"},
                                                               {16, "incorrect password"},
                                                               {20, "memory full"},
                                                               {21, "invalid index"},
                                                               {22, "not found"},
                                                               {30, "no network service"},
                                                               {31, "network timeout"},
                                                               {100, "unknown"}};
    if (!final.startsWith(u"+CME ERROR:"))
        return {};
    bool ok = false;
    const int code = final.mid(11).trimmed().toInt(&ok);
    for (const auto &[number, meaning] : kMeanings) {
        if (ok && number == code)
            return QStringLiteral(" (%1)").arg(QLatin1String(meaning));
    }
    return {};
}

QString answered(const CheckReply &reply)
{
    return reply.describe() + (reply.isFinal() ? cmeMeaning(reply.final) : QString());
}

/// The first field of a read answer ("1,1" gives 1); nullopt when it is not a number.
std::optional<int> firstNumber(const QString &value)
{
    bool ok = false;
    const int number = value.section(u',', 0, 0).trimmed().toInt(&ok);
    return ok ? std::optional(number) : std::nullopt;
}

QString unquoted(QString text)
{
    text = text.trimmed();
    if (text.size() >= 2 && text.startsWith(u'"') && text.endsWith(u'"'))
        return text.mid(1, text.size() - 2);
    return text;
}

} // namespace

PhoneCheck::PhoneCheck(SerialLine &line, Clock &clock, EventPump &pump, QTextStream &out,
                       const QString &device, double runEnd)
    : m_exchange(line, clock, pump, runEnd), m_out(out), m_device(device)
{
}

CheckReply PhoneCheck::ask(const QString &cmdat, bool numericToo)
{
    if (stopped())
        return CheckReply{m_stop, {}, false, false, {}};
    CheckReply reply = m_exchange.ask(cmdat, kAnswerWait, numericToo);
    if (reply.end == CheckReply::End::Lost || reply.end == CheckReply::End::OutOfTime)
        m_stop = reply.end;
    return reply;
}

void PhoneCheck::say(Level level, const QString &text, const QString &fixCommand,
                     const QString &fixWhat)
{
    static const char *const kLevels[] = {"ok", "warning", "problem"};
    m_out << kLevels[int(level)] << ": " << text;
    if (!fixCommand.isEmpty()) {
        m_out << " Fix: AT" << fixCommand << ", then AT&W.";
        m_fixes.append({fixCommand, fixWhat});
    }
    m_out << '\n';
    m_out.flush();
    if (level == Level::Problem)
        ++m_problems;
    else if (level == Level::Warning)
        ++m_warnings;
}

bool PhoneCheck::answersAt(double wait, bool quiet)
{
    CheckReply reply = m_exchange.ask(QStringLiteral(""), wait, true);
    bool resultCodesOff = false;
    if (reply.end == CheckReply::End::Silent) {
        // A phone whose result codes are off (Q1) says nothing to "AT" but answers "ATQ0".
        reply = m_exchange.ask(QStringLiteral("Q0"), wait, true);
        resultCodesOff = reply.isFinal();
    }
    if (reply.end == CheckReply::End::Lost || reply.end == CheckReply::End::OutOfTime)
        m_stop = reply.end;
    if (quiet)
        return reply.isFinal();

    if (reply.isOk() && !resultCodesOff) {
        say(Level::Ok, QStringLiteral("the phone answers \"AT\"."));
    } else if (reply.isOk()) {
        say(Level::Ok, QStringLiteral("the phone answers once its result codes are switched on "
                                      "(ATQ0); they were off."));
    } else if (reply.isFinal()) {
        say(Level::Problem,
            QStringLiteral("the phone answers \"AT\" with %1: it refuses even the simplest "
                           "command, so Tornasquillo could neither look callers up nor call "
                           "them back.")
                .arg(answered(reply)));
    } else if (reply.end == CheckReply::End::Silent) {
        say(Level::Problem,
            QStringLiteral("no answer to \"AT\" within %1 seconds: a wrong port, a wrong speed "
                           "(Tornasquillo talks at 19200 baud, 8 data bits, no parity, 1 stop "
                           "bit), a device that is not a phone, or a phone that is off.")
                .arg(kAnswerWait));
    }
    return reply.isFinal();
}

int PhoneCheck::run(bool fix)
{
    if (!answersAt(kAnswerWait, false)) {
        reportStop();
        m_out << "Tornasquillo cannot use " << m_device << ".\n";
        m_out.flush();
        return 1;
    }
    const bool checked = checkAfterReset(true);
    if (checked && fix && !m_fixes.isEmpty()) {
        applyFixes();
        m_problems = m_warnings = 0;
        m_fixes.clear();
        m_out << "Checking again after ATZ:\n";
        checkAfterReset(false);
    } else if (checked && fix) {
        m_out << "Nothing to fix.\n";
    }
    reportStop();

    m_out << "Summary: " << m_problems << (m_problems == 1 ? " problem, " : " problems, ")
          << m_warnings << (m_warnings == 1 ? " warning.\n" : " warnings.\n");
    if (!m_fixes.isEmpty() && !fix)
        m_out << "To send the fixes above and store them: tornasquillo --check-phone --fix --com1 "
              << m_device << '\n';
    if (m_problems == 0)
        m_out << "Use: tornasquillo --com1 " << m_device << '\n';
    else
        m_out << "With the problems above mended, use: tornasquillo --com1 " << m_device << '\n';
    m_out.flush();
    return m_problems == 0 ? 0 : 1;
}

bool PhoneCheck::checkAfterReset(bool first)
{
    m_out << "After ATZ, as Tornasquillo finds the phone at every open:\n";
    // As the program does: reset to the stored profile, then echo off and result codes on, in
    // words. How the reset is answered shows how the stored profile sends its result codes.
    const CheckReply reset = ask(QStringLiteral("Z"), true);
    const CheckReply startUp = ask(QStringLiteral("E0Q0V1"));
    if (stopped()) {
        return false;
    }
    if (!startUp.isFinal()) {
        say(Level::Problem, QStringLiteral("the phone stops answering after ATZ (ATZ answered %1, "
                                           "ATE0Q0V1 %2): Tornasquillo could not talk to it.")
                                .arg(answered(reset), answered(startUp)));
        return false;
    }
    if (reset.end == CheckReply::End::Silent) {
        say(Level::Warning,
            QStringLiteral("after ATZ the phone sends no result codes (Q1 is stored): "
                           "Tornasquillo's start-up commands ATZ and ATE0 then each wait 20 "
                           "seconds and are re-sent up to 100 times, at every open."),
            QStringLiteral("Q0"), QStringLiteral("result codes on"));
    } else if (reset.numeric) {
        say(Level::Warning,
            QStringLiteral("after ATZ the phone sends its result codes as numbers (V0 is "
                           "stored): Tornasquillo's start-up commands ATZ, ATE0 and ATQ0 then "
                           "each wait 20 seconds and are re-sent up to 100 times, at every "
                           "open."),
            QStringLiteral("V1"), QStringLiteral("result codes in words"));
    } else {
        say(Level::Ok, QStringLiteral("result codes are on and in words (Q0, V1)."));
    }

    using Item = void (PhoneCheck::*)();
    static const Item kItems[] = {&PhoneCheck::checkIdentity,    &PhoneCheck::checkMissedCalls,
                                  &PhoneCheck::checkRingReports, &PhoneCheck::checkDialling,
                                  &PhoneCheck::checkAutoAnswer,  &PhoneCheck::checkErrorReports,
                                  &PhoneCheck::checkNetwork,     &PhoneCheck::checkCharacterSet};
    for (const Item item : kItems) {
        if (item == &PhoneCheck::checkIdentity && !first)
            continue;
        (this->*item)();
        if (stopped())
            return false;
    }
    return true;
}

void PhoneCheck::checkIdentity()
{
    const CheckReply maker = ask(QStringLiteral("+CGMI"));
    const CheckReply model = ask(QStringLiteral("+CGMM"));
    if (stopped())
        return;
    // Some phones put the command's name before the text.
    const auto text = [](const CheckReply &reply, QStringView prefix) {
        const QString line = reply.info.value(0);
        return line.startsWith(prefix, Qt::CaseInsensitive) ? line.mid(prefix.size()).trimmed()
                                                            : line;
    };
    if (model.isOk() && !model.info.isEmpty()) {
        say(Level::Ok, QStringLiteral("maker \"%1\", model \"%2\".")
                           .arg(maker.isOk() ? text(maker, u"+CGMI:") : QStringLiteral("?"),
                                text(model, u"+CGMM:")));
    } else {
        say(Level::Warning,
            QStringLiteral("the phone does not give its model (AT+CGMM answered %1): "
                           "Tornasquillo shows \"CONNESSO A \" and what it answers.")
                .arg(answered(model)));
    }
}

void PhoneCheck::checkMissedCalls()
{
    const CheckReply lists = ask(QStringLiteral("+CPBS=?"));
    const CheckReply select = ask(QStringLiteral("+CPBS=MC"));
    if (stopped())
        return;
    const QString listed = lists.value(u"+CPBS:");
    const bool hasMc = listed.contains(QLatin1String("\"MC\""), Qt::CaseInsensitive);
    const QString noLookup = QStringLiteral(
        "Tornasquillo reads each caller from that list, so every call would be logged as "
        "\"errore\" and no squillo called back.");
    if (lists.isOk() && hasMc)
        say(Level::Ok, QStringLiteral("the phone has a missed-call list \"MC\" (AT+CPBS=?)."));
    else if (lists.isOk() && !listed.isEmpty())
        say(Level::Problem,
            QStringLiteral("the phone has no missed-call list \"MC\" (AT+CPBS=? lists %1): ")
                    .arg(listed) +
                noLookup + QStringLiteral(" No setting adds it; use another phone."));
    else
        say(Level::Warning,
            QStringLiteral("AT+CPBS=? answered %1: the phone does not say which lists it has.")
                .arg(answered(lists)));

    if (!select.isOk()) {
        say(Level::Problem,
            QStringLiteral("AT+CPBS=MC, unquoted as Tornasquillo sends it, answered %1: ")
                    .arg(answered(select)) +
                noLookup);
        return;
    }
    say(Level::Ok, QStringLiteral("AT+CPBS=MC, unquoted as Tornasquillo sends it, answers OK."));

    const CheckReply entry = ask(QStringLiteral("+CPBR=1"));
    if (stopped())
        return;
    const QString line = entry.value(u"+CPBR:");
    if (entry.isOk() && entry.info.isEmpty()) {
        say(Level::Ok, QStringLiteral("the missed-call list is empty (AT+CPBR=1); after a missed "
                                      "call it must give the caller's number in quotes."));
        return;
    }
    if (!entry.isOk() || line.isNull()) {
        const Level level = entry.isFinal() ? Level::Warning : Level::Problem;
        say(level, QStringLiteral("AT+CPBR=1 answered %1: entry 1 of the missed-call list cannot "
                                  "be read. Some phones answer so while the list is empty: let "
                                  "the phone ring once, then check again.")
                       .arg(answered(entry)));
        return;
    }
    const qsizetype open = line.indexOf(u'"');
    const qsizetype close = open < 0 ? -1 : line.indexOf(u'"', open + 1);
    if (close < 0) {
        say(Level::Problem, QStringLiteral("entry 1 of the missed-call list has no number in "
                                           "quotes (%1): every caller would be logged as "
                                           "\"errore\".")
                                .arg(line));
        return;
    }
    const QString number = line.mid(open + 1, close - open - 1);
    const bool international = line.mid(close + 1).section(u',', 1, 1).trimmed() == u"145";
    if (international && !number.startsWith(u'+'))
        say(Level::Ok, QStringLiteral("entry 1 of the missed-call list is \"%1\", an international "
                                      "number without its \"+\" (type 145): Tornasquillo dials "
                                      "it with the \"+\".")
                           .arg(number));
    else
        say(Level::Ok, QStringLiteral("entry 1 of the missed-call list is \"%1\".").arg(number));
}

void PhoneCheck::checkRingReports()
{
    const CheckReply crc = ask(QStringLiteral("+CRC?"));
    const CheckReply clip = ask(QStringLiteral("+CLIP?"));
    if (stopped())
        return;
    const std::optional<int> crcMode = firstNumber(crc.value(u"+CRC:"));
    if (crc.isOk() && crcMode == 0)
        say(Level::Ok, QStringLiteral("rings are reported as \"RING\" (AT+CRC? is 0)."));
    else if (crc.isOk() && crcMode)
        say(Level::Problem,
            QStringLiteral("rings are reported as \"+CRING: ...\" (AT+CRC? is %1): Tornasquillo "
                           "counts only \"RING\", so it would see no call at all.")
                .arg(*crcMode),
            QStringLiteral("+CRC=0"), QStringLiteral("rings reported as RING"));
    else if (crc.isFinal() && crc.final == u"ERROR")
        say(Level::Ok, QStringLiteral("the phone has no +CRC: rings are reported as \"RING\"."));
    else
        say(Level::Warning, QStringLiteral("AT+CRC? answered %1: cannot tell how rings are "
                                           "reported; Tornasquillo counts only \"RING\".")
                                .arg(answered(crc)));

    const std::optional<int> clipMode = firstNumber(clip.value(u"+CLIP:"));
    if (clip.isOk() && clipMode == 0)
        say(Level::Ok, QStringLiteral("no caller line follows a ring (AT+CLIP? is 0)."));
    else if (clip.isOk() && clipMode)
        say(Level::Problem,
            QStringLiteral("each ring is followed by a \"+CLIP: ...\" line (AT+CLIP? is %1): "
                           "Tornasquillo counts a ring only when \"RING\" comes alone, so it "
                           "would count no ring, or only the first, of each call.")
                .arg(*clipMode),
            QStringLiteral("+CLIP=0"), QStringLiteral("no caller line after a ring"));
    else if (clip.isFinal() && clip.final == u"ERROR")
        say(Level::Ok, QStringLiteral("the phone has no +CLIP: no caller line follows a ring."));
    else
        say(Level::Warning, QStringLiteral("AT+CLIP? answered %1: cannot tell whether a caller "
                                           "line follows each ring.")
                                .arg(answered(clip)));
}

void PhoneCheck::checkDialling()
{
    const CheckReply colp = ask(QStringLiteral("+COLP?"));
    const CheckReply cvhu = ask(QStringLiteral("+CVHU?"));
    if (stopped())
        return;
    const std::optional<int> colpMode = firstNumber(colp.value(u"+COLP:"));
    if (colp.isOk() && colpMode == 0)
        say(Level::Ok, QStringLiteral("a dial is answered at once (AT+COLP? is 0)."));
    else if (colp.isOk() && colpMode)
        say(Level::Problem,
            QStringLiteral("a dial is answered only when the callee picks up (AT+COLP? is %1): "
                           "Tornasquillo's call-back would be hung up then, or after 20 seconds "
                           "of ringing, never after its set time.")
                .arg(*colpMode),
            QStringLiteral("+COLP=0"), QStringLiteral("dials answered at once"));
    else if (colp.isFinal() && colp.final == u"ERROR")
        say(Level::Ok, QStringLiteral("the phone has no +COLP: a dial is answered at once."));
    else
        say(Level::Warning, QStringLiteral("AT+COLP? answered %1: cannot tell when a dial is "
                                           "answered.")
                                .arg(answered(colp)));

    // 27.007: 0 and 2 leave ATH ending the call; 1 makes the phone answer OK and keep it.
    const std::optional<int> hangUp = firstNumber(cvhu.value(u"+CVHU:"));
    if (cvhu.isOk() && hangUp == 1)
        say(Level::Problem,
            QStringLiteral("ATH does not end a voice call (AT+CVHU? is 1): Tornasquillo's "
                           "call-back would never be hung up."),
            QStringLiteral("+CVHU=0"), QStringLiteral("ATH ends a voice call"));
    else if (cvhu.isOk() && hangUp)
        say(Level::Ok, QStringLiteral("ATH ends a voice call (AT+CVHU? is %1).").arg(*hangUp));
    else if (cvhu.isFinal())
        say(Level::Ok, QStringLiteral("the phone has no +CVHU (AT+CVHU? answered %1): ATH ends a "
                                      "voice call.")
                           .arg(answered(cvhu)));
    else
        say(Level::Warning, QStringLiteral("no answer to AT+CVHU?: cannot tell whether ATH ends a "
                                           "voice call."));
}

void PhoneCheck::checkAutoAnswer()
{
    const CheckReply s0 = ask(QStringLiteral("S0?"));
    if (stopped())
        return;
    const std::optional<int> rings = s0.isOk() ? firstNumber(s0.info.value(0)) : std::nullopt;
    if (rings == 0)
        say(Level::Ok, QStringLiteral("the phone does not answer calls itself (ATS0? is 0)."));
    else if (rings)
        say(Level::Problem,
            QStringLiteral("the phone answers a call itself after %1 rings (ATS0? is %1): the "
                           "caller would be connected to nobody, and the call would not be "
                           "in the missed-call list.")
                .arg(*rings),
            QStringLiteral("S0=0"), QStringLiteral("no auto-answer"));
    else
        say(Level::Warning, QStringLiteral("ATS0? answered %1: cannot tell whether the phone "
                                           "answers calls itself.")
                                .arg(answered(s0)));
}

void PhoneCheck::checkErrorReports()
{
    const CheckReply cmee = ask(QStringLiteral("+CMEE?"));
    if (stopped())
        return;
    const std::optional<int> mode = firstNumber(cmee.value(u"+CMEE:"));
    if (cmee.isOk() && mode == 0)
        say(Level::Ok, QStringLiteral("errors are reported as \"ERROR\" (AT+CMEE? is 0)."));
    else if (cmee.isOk() && mode)
        say(Level::Warning,
            QStringLiteral("errors are reported as \"+CME ERROR: ...\" (AT+CMEE? is %1), which "
                           "Tornasquillo does not take for an answer: a command that fails, such "
                           "as reading an empty missed-call list, waits 20 seconds and is re-sent "
                           "up to 100 times.")
                .arg(*mode),
            QStringLiteral("+CMEE=0"), QStringLiteral("errors reported as ERROR"));
    else if (cmee.isFinal() && cmee.final == u"ERROR")
        say(Level::Ok, QStringLiteral("the phone has no +CMEE: errors are reported as \"ERROR\"."));
    else
        say(Level::Warning, QStringLiteral("AT+CMEE? answered %1: cannot tell how errors are "
                                           "reported.")
                                .arg(answered(cmee)));
}

void PhoneCheck::checkNetwork()
{
    const CheckReply creg = ask(QStringLiteral("+CREG?"));
    if (stopped())
        return;
    // The read form is "+CREG: n,stat"; an unsolicited "+CREG: stat" may cross it.
    std::optional<int> stat;
    for (const QString &line : creg.info) {
        const QStringList fields = line.mid(6).split(u',');
        bool ok = false;
        if (line.startsWith(u"+CREG:", Qt::CaseInsensitive) && fields.size() >= 2) {
            const int value = fields[1].trimmed().toInt(&ok);
            if (ok)
                stat = value;
            break;
        }
    }
    if (!creg.isOk() || !stat) {
        say(Level::Warning, QStringLiteral("AT+CREG? answered %1: cannot tell whether the phone "
                                           "is registered on a network.")
                                .arg(answered(creg)));
    } else if (*stat == 1 || *stat == 5) {
        say(Level::Ok, QStringLiteral("registered on %1 (AT+CREG? stat %2).")
                           .arg(*stat == 1 ? QStringLiteral("its home network")
                                           : QStringLiteral("a network, roaming"))
                           .arg(*stat));
    } else if (*stat == 2) {
        say(Level::Warning, QStringLiteral("searching for a network (AT+CREG? stat 2): no call "
                                           "reaches the phone until it registers."));
    } else {
        say(Level::Problem,
            QStringLiteral("not registered on a network (AT+CREG? stat %1): no call reaches the "
                           "phone. Check the SIM, its PIN and the signal; AT+COPS=0 lets the "
                           "phone choose a network.")
                .arg(*stat));
    }
}

void PhoneCheck::checkCharacterSet()
{
    const CheckReply cscs = ask(QStringLiteral("+CSCS?"));
    if (stopped())
        return;
    const QString charset = unquoted(cscs.value(u"+CSCS:")).toUpper();
    const QString fix = QStringLiteral("+CSCS=\"GSM\"");
    if (!cscs.isOk() || charset.isEmpty())
        say(Level::Warning, QStringLiteral("AT+CSCS? answered %1: cannot tell how names are "
                                           "coded.")
                                .arg(answered(cscs)));
    else if (charset == u"GSM" || charset == u"IRA")
        say(Level::Ok, QStringLiteral("character set \"%1\" (AT+CSCS?).").arg(charset));
    else if (charset == u"UCS2" || charset == u"HEX")
        say(Level::Problem,
            QStringLiteral("character set \"%1\" (AT+CSCS?): names, and on some phones numbers, "
                           "come hex-coded; the event list would show them so, and a hex-coded "
                           "number cannot be dialled.")
                .arg(charset),
            fix, QStringLiteral("plain text names"));
    else
        say(Level::Warning,
            QStringLiteral("character set \"%1\" (AT+CSCS?): names with accents may show wrong "
                           "characters in the event list.")
                .arg(charset),
            fix, QStringLiteral("plain text names"));
}

void PhoneCheck::applyFixes()
{
    QStringList commands;
    for (const Fix &fix : m_fixes)
        commands << QStringLiteral("AT") + fix.command + QStringLiteral(" (") + fix.what +
                        QLatin1Char(')');
    m_out << "Fixing: sending " << commands.join(QStringLiteral(", "))
          << ", then AT&W to store the settings in force (echo off, E0, included).\n";
    for (const Fix &fix : m_fixes) {
        const CheckReply reply = ask(fix.command);
        if (stopped())
            return;
        if (reply.isOk())
            say(Level::Ok, QStringLiteral("AT%1 answered OK.").arg(fix.command));
        else
            say(Level::Problem,
                QStringLiteral("AT%1 answered %2.").arg(fix.command, answered(reply)));
    }
    const CheckReply store = ask(QStringLiteral("&W"));
    if (stopped())
        return;
    if (store.isOk())
        say(Level::Ok, QStringLiteral("AT&W stored the settings."));
    else
        say(Level::Problem,
            QStringLiteral("AT&W answered %1: the phone did not store the settings, and its ATZ "
                           "brings the old ones back.")
                .arg(answered(store)));
}

void PhoneCheck::reportStop()
{
    if (m_stop == CheckReply::End::OutOfTime)
        say(Level::Problem,
            QStringLiteral("the check ran out of its %1 seconds before it was done: the phone "
                           "answers too slowly.")
                .arg(kRunLimit));
    else if (m_stop == CheckReply::End::Lost)
        say(Level::Problem, QStringLiteral("the line closed during the check: the device was "
                                           "removed or stopped working."));
}

QStringList serialDevices()
{
    QStringList paths;
    for (const QSerialPortInfo &port : QSerialPortInfo::availablePorts())
        paths << port.systemLocation();
    std::sort(paths.begin(), paths.end());
    return paths;
}

int checkPhone(const QString &com1, bool fix, QTextStream &out, const QStringList &candidates)
{
    SteadyClock clock;
    QtEventPump pump;
    const double start = clock.seconds();
    const double runEnd = start + PhoneCheck::kRunLimit;
    QString device = com1;

    if (device.isEmpty()) {
        if (candidates.isEmpty()) {
            out << "problem: no serial device found. Connect the phone (its cable or USB "
                   "adapter), or name its device with --com1 PATH.\n";
            return 2;
        }
        out << "Looking for a phone on: " << candidates.join(QStringLiteral(", ")) << '\n';
        out.flush();
        // Probing leaves at least half the run for the check itself.
        const double probeEnd = start + PhoneCheck::kRunLimit / 2;
        QStringList answering;
        bool opened = false;
        for (const QString &path : candidates) {
            if (clock.seconds() >= probeEnd) {
                out << path << ": not tried (out of time)\n";
                continue;
            }
            QtSerialLine line(PortMap{path, path});
            if (!line.open(1)) {
                out << path << ": cannot open: " << line.openError() << '\n';
                continue;
            }
            opened = true;
            PhoneCheck probe(line, clock, pump, out, path, probeEnd);
            const bool found = probe.answersAt(PhoneCheck::kProbeWait, true);
            line.close();
            out << path << (found ? ": answers \"AT\"\n" : ": no answer to \"AT\"\n");
            out.flush();
            if (found)
                answering << path;
        }
        if (answering.isEmpty()) {
            out << "problem: no device answers \"AT\": the phone is off, not connected, or on a "
                   "port that cannot be opened.\n";
            return opened ? 1 : 2;
        }
        if (answering.size() > 1)
            out << "Devices that answer: " << answering.join(QStringLiteral(", "))
                << "; checking the first.\n";
        device = answering.first();
    }

    QtSerialLine line(PortMap{device, device});
    if (!line.open(1)) {
        out << "problem: cannot open " << device << ": " << line.openError() << '\n';
        return 2;
    }
    out << "Checking the phone on " << device << '\n';
    out.flush();
    PhoneCheck check(line, clock, pump, out, device, runEnd);
    return check.run(fix);
}
