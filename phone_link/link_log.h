// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcLink)
/// What keeps calls from arriving, and the status bar's panels in a run without a window.
Q_DECLARE_LOGGING_CATEGORY(lcStatus)
