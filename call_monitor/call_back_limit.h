// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <deque>

/// The call-back limit: at most a set number of call-backs in any 60 minutes, so that however
/// many numbers squill, the responder makes only so many outgoing calls an hour. Every dial
/// counts, whether or not the phone accepted it: a dial that the phone gave no answer to may
/// still have been set up. Measured on the monitor's clock; the dials of earlier runs come back
// from the record of call-backs (CallBackHistory).
class CallBackLimit
{
public:
    static constexpr double kWindow = 60 * 60.0; ///< seconds: the limit holds in any hour
    static constexpr int kMaxCallBacks = 1000;   ///< the largest limit the option takes

    /// 0 (the default) means no limit.
    void setCallBacks(int callBacks) { m_callBacks = callBacks; }
    int callBacks() const { return m_callBacks; }

    /// Forgets the dials of more than an hour ago, then says the seconds until another call-back
    /// may go out; 0 when one may go out now.
    double expireAndSecondsLeft(double now);
    /// A call-back was dialled at the moment `at`.
    void dialled(double at);

private:
    int m_callBacks = 0;
    /// When the call-backs of the last hour were dialled, oldest first.
    std::deque<double> m_dialled;
};
