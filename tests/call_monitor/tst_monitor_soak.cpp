// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/fake_phone.h"
#include "tests/support/fake_program.h"

#include <QTest>

/// Ten thousand calls of every kind through the monitor on a fake clock: each is logged once,
/// in order, with its own line, and only the dialable squilli are called back.
class TestMonitorSoak : public QObject
{
    Q_OBJECT

    enum class Kind { Squillo, RealCall, FailedLookup, Undialable, Withheld };

    /// Call i as the phone gives it and as the window lists it. Slider3 is 4: a real call that
    /// rings 3 or 4 times is still a squillo and is called back, one that rings 5 or 6 times is
    /// not.
    struct Call
    {
        Kind kind;
        int rings;
        QString number;
        QString name;
        QString line; ///< the event line
        QString dial; ///< the call-back's dial; empty when there is none
    };

    static Call makeCall(int i)
    {
        const Kind kind = Kind(i % 5);
        const int rings = kind == Kind::RealCall ? 3 + i % 4 : 1 + i % 2;
        // %1: the call's index in four digits.
        const auto text = [i](const char *t) {
            const QString written = QString::fromLatin1(t);
            return written.contains(u"%1") ? written.arg(i, 4, 10, QChar(u'0')) : written;
        };
        const auto call = [&](const char *number, const char *name, const char *line,
                              const char *dial = "") {
            return Call{kind, rings, text(number), text(name), text(line), text(dial)};
        };
        switch (kind) {
        case Kind::Undialable:
            return call("3%1;ATH", "Injected %1",
                        "Ha squillato : 3%1;ATH       > Injected %1   = Risposto");
        case Kind::Withheld:
            return call("", "", "Ha squillato :                 >                 = Risposto");
        case Kind::FailedLookup:
            return call("+39347000%1", "Chiamante numero %1",
                        "Ha squillato : errore          >                 = Risposto");
        default:
            if (rings > 4)
                return call("+39347000%1", "Chiamante numero %1",
                            "Ha ciamato   : +39347000%1   > Chiamante numer = Non risposto");
            return call("+39347000%1", "Chiamante numero %1",
                        "Ha squillato : +39347000%1   > Chiamante numer = Risposto",
                        "ATD+39347000%1;\r");
        }
    }

private slots:
    void tenThousandCallsAreEachLoggedOnceInOrder()
    {
        FakeProgram program;
        auto [clock, view, monitor] = std::tie(program.clock, program.view, program.monitor);
        view.risp = true;
        view.slider1 = 0;
        view.slider2 = 0;
        view.slider3 = 4;
        FakePhone phone;
        phone.answer(program.line, clock);

        constexpr int kCalls = 10000;
        QStringList dialed;
        QStringList expectedDials;
        for (int i = 0; i < kCalls; ++i) {
            const Call current = makeCall(i);
            phone.cpbsAnswer = current.kind == Kind::FailedLookup ? QStringLiteral("\r\nERROR\r\n")
                                                                  : QStringLiteral("\r\nOK\r\n");
            phone.cpbrAnswer = QStringLiteral("\r\n+CPBR: 1,\"%1\",129,\"%2\"\r\n\r\nOK\r\n")
                                   .arg(current.number, current.name);
            for (int ring = 0; ring < current.rings; ++ring) {
                program.ring();
                clock.advance(3.5);
                monitor.Timer1_Timer(); // quiet ticks in between change nothing
            }
            clock.advance(5);
            monitor.Timer1_Timer();
            if (!current.dial.isEmpty())
                expectedDials << current.dial;
            dialed << phone.dials();
            phone.frames.clear();
            QCOMPARE(view.list2.size(), i + 1);
            QCOMPARE(view.list2.last(), current.line);
        }
        QCOMPARE(dialed, expectedDials);
        QCOMPARE(view.beeps, expectedDials.size());
    }
};

QTEST_GUILESS_MAIN(TestMonitorSoak)
#include "tst_monitor_soak.moc"
