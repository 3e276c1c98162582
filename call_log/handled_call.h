// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

/// The number of a caller who could not be looked up, as the event line writes it.
inline const QString kUnknownCaller = QStringLiteral("errore");

/// The number of a caller who withheld it, or whose number the network could not give, as the
/// event line writes it.
inline const QString kWithheldCaller = QStringLiteral("privato");

/// Whether a number names a caller: anything but the placeholders of a failed lookup and of a
/// withheld number.
inline bool isKnownCaller(const QString &number)
{
    return number != kUnknownCaller && number != kWithheldCaller;
}

/// A call as the monitor handled it, for whoever tells of it outside the window (the desktop's
/// notifications): the facts its event line is made of, without the line's padding, and whether
/// it was called back.
struct HandledCall
{
    /// A short ring ("Ha squillato"), else a call ("Ha ciamato").
    bool squillo = false;
    /// As the phone gave it; kUnknownCaller when the caller could not be looked up,
    /// kWithheldCaller when the caller withheld it.
    QString number;
    /// Empty when the phone gave none.
    QString name;
    /// The phone accepted the call-back's dial.
    bool calledBack = false;
};
