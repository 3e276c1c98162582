// SPDX-License-Identifier: GPL-3.0-or-later
#include "port_map.h"

#include <QDir>

#include <algorithm>

namespace {

QStringList devicesMatching(const QDir &dir, const QString &pattern)
{
    QStringList names = dir.entryList({pattern}, QDir::System | QDir::Files | QDir::NoDotAndDotDot);
    // ttyUSB10 comes after ttyUSB9: shorter numbers first, then by name.
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    for (QString &name : names)
        name = dir.filePath(name);
    return names;
}

} // namespace

PortMap PortMap::detect(const QString &com1Override, const QString &com2Override,
                        const QString &devDir)
{
    const QDir dir(devDir);
    QStringList usb = devicesMatching(dir, QStringLiteral("ttyUSB*"));
    usb += devicesMatching(dir, QStringLiteral("ttyACM*"));

    PortMap map;
    map.com1 = usb.size() > 0 ? usb[0] : dir.filePath(QStringLiteral("ttyS0"));
    map.com2 = usb.size() > 1 ? usb[1] : dir.filePath(QStringLiteral("ttyS1"));
    if (!com1Override.isEmpty())
        map.com1 = com1Override;
    if (!com2Override.isEmpty())
        map.com2 = com2Override;
    return map;
}
