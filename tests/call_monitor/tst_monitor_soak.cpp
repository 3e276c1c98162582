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

    struct Call
    {
        Kind kind;
        int rings;
        QString number;
        QString name;
    };

    static Call makeCall(int i)
    {
        const Kind kind = Kind(i % 5);
        const int rings = kind == Kind::RealCall ? 3 + i % 4 : 1 + i % 2;
        switch (kind) {
        case Kind::Undialable:
            return {kind, rings, QStringLiteral("3%1;ATH").arg(i),
                    QStringLiteral("Injected %1").arg(i)};
        case Kind::Withheld:
            return {kind, rings, QString(), QString()};
        default:
            return {kind, rings, QStringLiteral("+39347%1").arg(i, 7, 10, QChar(u'0')),
                    QStringLiteral("Chiamante numero %1").arg(i)};
        }
    }

    static QString pad(const QString &text) { return text.leftJustified(15, u' ', true); }

    static QString expectedLine(const Call &call)
    {
        const bool squillo = call.rings <= 2;
        const bool failed = call.kind == Kind::FailedLookup;
        return (squillo ? QStringLiteral("Ha squillato : ") : QStringLiteral("Ha ciamato   : ")) +
               pad(failed ? QStringLiteral("errore") : call.number) + QStringLiteral(" > ") +
               pad(failed ? QString() : call.name) +
               (squillo ? QStringLiteral(" = Risposto") : QStringLiteral(" = Non risposto"));
    }

private slots:
    void tenThousandCallsAreEachLoggedOnceInOrder()
    {
        FakeProgram program;
        auto [clock, view, monitor] = std::tie(program.clock, program.view, program.monitor);
        view.risp = true;
        view.slider1 = 0;
        view.slider2 = 0;
        view.slider3 = 2;
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
            if (current.rings <= 2 &&
                (current.kind == Kind::Squillo || current.kind == Kind::RealCall))
                expectedDials << QStringLiteral("ATD%1;\r").arg(current.number);
            dialed << phone.dials();
            phone.frames.clear();
            QCOMPARE(view.list2.size(), i + 1);
            QCOMPARE(view.list2.last(), expectedLine(current));
        }
        QCOMPARE(dialed, expectedDials);
        QCOMPARE(view.beeps, expectedDials.size());
    }
};

QTEST_GUILESS_MAIN(TestMonitorSoak)
#include "tst_monitor_soak.moc"
