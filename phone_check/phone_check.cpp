// SPDX-License-Identifier: GPL-3.0-or-later
#include "phone_check.h"

#include "phone_link/at_exchange.h"
#include "phone_link/clock.h"
#include "phone_link/event_pump.h"
#include "phone_link/qt_serial_line.h"

#include <QCoreApplication>
#include <QTextStream>

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

QString PhoneCheck::reportLine(Level level, const QString &text)
{
    QString name;
    switch (level) {
    case Level::Ok:
        name = tr("ok");
        break;
    case Level::Warning:
        name = tr("warning");
        break;
    case Level::Problem:
        name = tr("problem");
        break;
    }
    return tr("%1: %2", "a line of the report: its level (ok, warning, problem), then what was "
                        "found")
        .arg(name, text);
}

QString PhoneCheck::twoSentences(const QString &first, const QString &second)
{
    return tr("%1 %2", "two sentences of one line of the report").arg(first, second);
}

void PhoneCheck::say(Level level, const QString &text, const QString &fixCommand,
                     const QString &fixWhat, bool stored)
{
    QString said = text;
    if (!fixCommand.isEmpty()) {
        said = twoSentences(text, stored ? tr("Fix: AT%1, then AT&W.").arg(fixCommand)
                                         : tr("Fix: AT%1.").arg(fixCommand));
        m_fixes.append({fixCommand, fixWhat});
    }
    m_out << reportLine(level, said) << '\n';
    m_out.flush();
    if (level == Level::Problem)
        ++m_problems;
    else if (level == Level::Warning)
        ++m_warnings;
}

CheckReply PhoneCheck::answersAt(double wait, bool quiet)
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
        return reply;

    if (reply.isOk() && !resultCodesOff) {
        say(Level::Ok, tr("the phone answers \"AT\"."));
    } else if (reply.isOk()) {
        say(Level::Ok, tr("the phone answers once its result codes are switched on (ATQ0); "
                          "they were off."));
    } else if (reply.isFinal()) {
        say(Level::Warning,
            tr("the phone answers a bare \"AT\" with %1. Tornasquillo never sends it; what "
               "counts is how the phone answers the commands it does send, below.")
                .arg(reply.describe()));
    } else if (reply.end == CheckReply::End::Silent) {
        say(Level::Problem, tr("no answer to \"AT\" within %1 seconds: a wrong port, a wrong speed "
                               "(Tornasquillo talks at 19200 baud, 8 data bits, no parity, 1 stop "
                               "bit), a device that is not a phone, or a phone that is off.")
                                .arg(kAnswerWait));
    }
    return reply;
}

int PhoneCheck::run(bool fix)
{
    if (!answersAt(kAnswerWait, false).isFinal()) {
        reportStop();
        m_out << tr("Tornasquillo cannot use %1.").arg(m_device) << '\n';
        m_out.flush();
        return 1;
    }
    const bool checked = checkAfterReset(true);
    if (checked && fix && !m_fixes.isEmpty()) {
        applyFixes();
        m_problems = m_warnings = 0;
        m_fixes.clear();
        m_out << tr("Checking again after ATZ:") << '\n';
        checkAfterReset(false);
    } else if (checked && fix) {
        m_out << (m_problems > 0 ? tr("No setting mends the problems above.")
                                 : tr("Nothing to fix."))
              << '\n';
    }
    reportStop();

    // Whole sentences for one and for more (or none), as English and Italian count.
    static const char *const kSummaries[2][2] = {{QT_TR_NOOP("Summary: %1 problems, %2 warnings."),
                                                  QT_TR_NOOP("Summary: %1 problems, %2 warning.")},
                                                 {QT_TR_NOOP("Summary: %1 problem, %2 warnings."),
                                                  QT_TR_NOOP("Summary: %1 problem, %2 warning.")}};
    m_out << tr(kSummaries[m_problems == 1][m_warnings == 1]).arg(m_problems).arg(m_warnings)
          << '\n';
    if (!m_fixes.isEmpty() && !fix)
        m_out << tr("To send the fixes above and store them: tornasquillo --check-phone --fix "
                    "--com1 %1")
                     .arg(m_device)
              << '\n';
    if (m_problems == 0)
        m_out << tr("Use: tornasquillo --com1 %1").arg(m_device) << '\n';
    else
        m_out << tr("With the problems above mended, use: tornasquillo --com1 %1").arg(m_device)
              << '\n';
    m_out.flush();
    return m_problems == 0 ? 0 : 1;
}

// The SIM comes first: a locked one refuses the missed-call list too. The settings come
// before the missed-call list: whether a phone without one will do depends on its caller ID
// (+CLIP).
const PhoneCheck::Item PhoneCheck::kItems[] = {
    &PhoneCheck::checkIdentity, &PhoneCheck::checkSim,         &PhoneCheck::checkSettings,
    &PhoneCheck::checkCallList, &PhoneCheck::checkMissedCalls, &PhoneCheck::checkNetwork,
    &PhoneCheck::checkMessages, &PhoneCheck::checkCharacterSet};

bool PhoneCheck::checkAfterReset(bool first)
{
    m_out << tr("After ATZ, as Tornasquillo finds the phone at every open:") << '\n';
    // As the program does: reset to the stored profile, then echo off and result codes on, in
    // words. How the reset is answered shows how the stored profile sends its result codes.
    const CheckReply reset = ask(QStringLiteral("Z"), true);
    const CheckReply startUp = ask(QStringLiteral("E0Q0V1"));
    if (stopped()) {
        return false;
    }
    if (!startUp.isFinal()) {
        say(Level::Problem, tr("the phone stops answering after ATZ (ATZ answered %1, ATE0Q0V1 "
                               "%2): Tornasquillo could not talk to it.")
                                .arg(reset.describe(), startUp.describe()));
        return false;
    }
    // Without result codes in words, no start-up command is answered as the exchange knows an
    // answer: each one waits out the exchange's deadline.
    const auto slowStartUp = [this](const QString &sentence, const QString &fix,
                                    const QString &fixSays) {
        say(Level::Warning, sentence.arg(AtExchange::kDeadline).arg(AtExchange::kRetransmitLimit),
            fix, fixSays);
    };
    if (reset.end == CheckReply::End::Silent) {
        slowStartUp(tr("after ATZ the phone sends no result codes (Q1 is stored): Tornasquillo's "
                       "start-up commands ATZ and ATE0 then each wait %1 seconds for an answer "
                       "that never comes, at every open (the up to %2 re-sends go out back to "
                       "back at the end of that wait)."),
                    QStringLiteral("Q0"), tr("result codes on"));
    } else if (reset.numeric) {
        slowStartUp(tr("after ATZ the phone sends its result codes as numbers (V0 is stored): "
                       "Tornasquillo's start-up commands ATZ, ATE0 and ATQ0 then each wait %1 "
                       "seconds for an answer in words, at every open (the up to %2 re-sends go "
                       "out back to back at the end of that wait)."),
                    QStringLiteral("V1"), tr("result codes in words"));
    } else {
        say(Level::Ok, tr("result codes are on and in words (Q0, V1)."));
    }

    for (const Item item : kItems) {
        if (item == &PhoneCheck::checkIdentity && !first)
            continue;
        (this->*item)();
        if (stopped())
            return false;
    }
    return true;
}

void PhoneCheck::applyFixes()
{
    QStringList commands;
    for (const Fix &fix : m_fixes)
        commands << QStringLiteral("AT%1 (%2)").arg(fix.command, fix.what);
    m_out << tr("Fixing: sending %1, then AT&W to store the settings in force (echo off, E0, "
                "included).")
                 .arg(commands.join(QStringLiteral(", ")))
          << '\n';
    for (const Fix &fix : m_fixes) {
        const CheckReply reply = ask(fix.command);
        if (stopped())
            return;
        if (reply.isOk())
            say(Level::Ok, tr("AT%1 answered OK.").arg(fix.command));
        else
            say(Level::Problem, tr("AT%1 answered %2.").arg(fix.command, reply.describe()));
    }
    const CheckReply store = ask(QStringLiteral("&W"));
    if (stopped())
        return;
    if (store.isOk())
        say(Level::Ok, tr("AT&W stored the settings."));
    else
        say(Level::Problem,
            tr("AT&W answered %1: the phone did not store the settings, and its ATZ brings "
               "the old ones back.")
                .arg(store.describe()));
}

void PhoneCheck::reportStop()
{
    if (m_stop == CheckReply::End::OutOfTime)
        say(Level::Problem, tr("the check ran out of its %1 seconds before it was done: the phone "
                               "answers too slowly.")
                                .arg(kRunLimit));
    else if (m_stop == CheckReply::End::Lost)
        say(Level::Problem,
            tr("the line closed during the check: the device was removed or stopped working."));
}

int checkPhone(const QString &com1, bool fix, QTextStream &out, const QStringList &candidates)
{
    SteadyClock clock;
    QtEventPump pump;
    const double start = clock.seconds();
    const double runEnd = start + PhoneCheck::kRunLimit;
    QString device = com1;
    std::unique_ptr<QtSerialLine> line;
    if (device.isEmpty()) {
        // Probing leaves at least half the run for the check itself.
        ProbeResult found =
            findPhone(candidates, clock, pump, out, start + PhoneCheck::kRunLimit / 2);
        if (found.device.isEmpty())
            return found.status;
        device = found.device;
        line = std::move(found.line);
        line->readAll(); // what the probe's questions left on the line is not the check's answer
    } else {
        line = std::make_unique<QtSerialLine>(PortMap{device, device});
        if (!line->open(1)) {
            out << PhoneCheck::reportLine(
                       PhoneCheck::Level::Problem,
                       QCoreApplication::translate("PhoneCheck", "cannot open %1: %2")
                           .arg(device, line->openError()))
                << '\n';
            return 2;
        }
    }
    out << QCoreApplication::translate("PhoneCheck", "Checking the phone on %1").arg(device)
        << '\n';
    out.flush();
    PhoneCheck check(*line, clock, pump, out, device, runEnd);
    return check.run(fix);
}
