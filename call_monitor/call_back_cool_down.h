// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <vector>

/// The call-back cool-down: a number that was called back less than a set number of minutes ago
/// is not called back again, so a caller (or a machine) that squills ten times in a minute gets
/// one outgoing call, not ten. Measured on the monitor's clock; the call-backs of earlier runs
/// come back from the record of call-backs (CallBackHistory). Numbers are compared as a person
/// reading them would (isSameNumber): +39..., 0039... and the number without its country code are
/// one caller.
class CallBackCoolDown
{
public:
    /// The longest cool-down: a day.
    static constexpr int kMaxMinutes = 24 * 60;
    /// The program's cool-down unless the operator sets one: a caller ID can name anyone, so
    /// without it a caller who spoofs a number could have a stranger called back on the owner's
    /// SIM every few seconds. The monitor on its own, as designed, has none.
    static constexpr int kDefaultMinutes = 10;

    /// 0 turns the cool-down off.
    void setMinutes(int minutes) { m_minutes = minutes; }
    int minutes() const { return m_minutes; }

    /// Seconds until number may be called back again; 0 when it may be now.
    double secondsLeft(const QString &number, double now);
    /// number was called back at the moment `at`.
    void calledBack(const QString &number, double at);

private:
    struct CallBack
    {
        QString number;
        double at = 0;
    };

    double seconds() const { return m_minutes * 60.0; }

    int m_minutes = 0;
    /// The last call-back to each number still inside the cool-down.
    std::vector<CallBack> m_calledBack;
};
