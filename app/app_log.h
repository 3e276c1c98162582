// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLoggingCategory>

/// The program's own messages: its start, its end, what it cannot do as asked.
Q_DECLARE_LOGGING_CATEGORY(lcApp)
