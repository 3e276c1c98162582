// SPDX-License-Identifier: GPL-3.0-or-later
#include "call_back_cool_down.h"

#include "phone_link/caller_entry.h"

#include <algorithm>

double CallBackCoolDown::secondsLeft(const QString &number, double now)
{
    // Call-backs whose cool-down is over are forgotten: a program left running for months keeps
    // only the numbers of the last minutes.
    std::erase_if(m_calledBack, [&](const CallBack &c) { return now >= c.at + seconds(); });
    const auto last =
        std::find_if(m_calledBack.begin(), m_calledBack.end(),
                     [&](const CallBack &c) { return isSameNumber(c.number, number); });
    return last == m_calledBack.end() ? 0.0 : last->at + seconds() - now;
}

void CallBackCoolDown::calledBack(const QString &number, double at)
{
    if (m_minutes <= 0)
        return;
    std::erase_if(m_calledBack, [&](const CallBack &c) { return isSameNumber(c.number, number); });
    m_calledBack.push_back({number, at});
}
