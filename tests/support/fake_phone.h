// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fake_line.h"
#include "fake_program.h"
#include "phone_link/clock.h"
#include "test_numbers.h"

#include <QList>
#include <QPair>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <functional>
#include <optional>

/// A call list (AT+CLCC's answer) holding the call-back with this stat: 0 active, 3 alerting.
inline QString callListWith(int stat)
{
    return QStringLiteral("\r\n+CLCC: 1,0,%1,0,0,\"%2\",145\r\n\r\nOK\r\n")
        .arg(stat)
        .arg(kCallerNumber);
}

/// The phone at the far end of a fake line, as the monitor meets it: answers the caller lookup
/// (the missed-call list chosen unquoted or quoted), the dial, the hang-up and the list of calls
/// (anything else with ERROR), and records when each frame went out.
struct FakePhone
{
    QString cpbsAnswer = QStringLiteral("\r\nOK\r\n");
    /// The answer to the storage written quoted, +CPBS="MC".
    QString quotedCpbsAnswer = QStringLiteral("\r\nERROR\r\n");
    QString cpbrAnswer = QStringLiteral("\r\n+CPBR: 1,\"%1\",145,\"%2\"\r\n\r\nOK\r\n")
                             .arg(kCallerNumber, kCallerName);
    QString dialAnswer = QStringLiteral("\r\nOK\r\n");
    QString hangUpAnswer = QStringLiteral("\r\nOK\r\n");
    /// What AT+CLCC answers, by the seconds since the last dial: by default the callee never
    /// answers, and the call-back alerts until it is hung up.
    std::function<QString(double sinceDial)> callList = [](double) { return callListWith(3); };
    QList<QPair<QString, double>> frames;
    /// Answers to other frames, asked before they get ERROR; an empty answer is none at all.
    std::function<std::optional<QString>(const QString &frame)> more;

    /// Answers what the program writes on `line`, from now on.
    void answer(FakeLine &line, const Clock &clock)
    {
        line.responder = [this, &clock](const QString &frame) {
            frames.append({frame, clock.seconds()});
            if (frame == u"AT+CPBS=MC\r")
                return cpbsAnswer;
            if (frame == u"AT+CPBS=\"MC\"\r")
                return quotedCpbsAnswer;
            if (frame == u"AT+CPBR=1\r")
                return cpbrAnswer;
            if (frame.startsWith(u"ATD"))
                return dialAnswer;
            if (frame == u"ATH\r")
                return hangUpAnswer;
            if (frame == kAskCalls)
                return callList(clock.seconds() - lastDialAt());
            if (more) {
                if (const std::optional<QString> answer = more(frame))
                    return *answer;
            }
            return QStringLiteral("\r\nERROR\r\n");
        };
    }
    /// The frames written, without the AT+CLCC that a standing call-back asks once a second:
    /// asked() counts those.
    QStringList sent() const
    {
        QStringList all;
        for (const auto &frame : frames) {
            if (frame.first != kAskCalls)
                all << frame.first;
        }
        return all;
    }
    int asked() const
    {
        return int(std::count_if(frames.begin(), frames.end(),
                                 [](const auto &frame) { return frame.first == kAskCalls; }));
    }
    double sentAt(const QString &frame) const
    {
        for (const auto &f : frames)
            if (f.first == frame)
                return f.second;
        return -1;
    }
    double lastDialAt() const
    {
        for (auto f = frames.crbegin(); f != frames.crend(); ++f) {
            if (f->first.startsWith(u"ATD"))
                return f->second;
        }
        return -1;
    }
    QStringList dials() const { return sent().filter(QRegularExpression(QStringLiteral("^ATD"))); }

    static inline const QString kAskCalls = QStringLiteral("AT+CLCC\r");
    bool dialed() const { return !dials().isEmpty(); }
};

/// The phone session with the phone answering the monitor, half a second past a whole second.
struct PhoneProgram : FakeProgram<>
{
    FakePhone phone;

    PhoneProgram() : FakeProgram(1000.5) { phone.answer(line, clock); }
};

/// Number and name fields of an event line for the phone's default entry 1.
inline const QString kMario =
    QStringLiteral("+393331234567  ") + QStringLiteral(" > ") + QStringLiteral("Mario Rossi    ");
