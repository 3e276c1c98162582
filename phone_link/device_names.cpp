// SPDX-License-Identifier: GPL-3.0-or-later
#include "device_names.h"

#include <QFileInfo>

QString deviceOf(const QString &path)
{
    const QString device = QFileInfo(path).canonicalFilePath();
    return device.isEmpty() ? path : device;
}

QString hex4(quint16 id)
{
    return QStringLiteral("%1").arg(id, 4, 16, QLatin1Char('0'));
}
