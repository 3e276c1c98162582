// SPDX-License-Identifier: GPL-3.0-or-later
#include "call_back_limit.h"

double CallBackLimit::expireAndSecondsLeft(double now)
{
    while (!m_dialled.empty() && now >= m_dialled.front() + kWindow)
        m_dialled.pop_front();
    if (m_callBacks <= 0 || int(m_dialled.size()) < m_callBacks)
        return 0.0;
    // The oldest of the hour's call-backs must drop out before another may go out.
    return m_dialled[m_dialled.size() - std::size_t(m_callBacks)] + kWindow - now;
}

void CallBackLimit::dialled(double at)
{
    if (m_callBacks > 0)
        m_dialled.push_back(at);
}
