// SPDX-License-Identifier: GPL-3.0-or-later
#include "port_map.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

QStringList devicesMatching(const QDir &dir, const QString &pattern)
{
    QStringList names = dir.entryList({pattern}, QDir::System | QDir::Files | QDir::NoDotAndDotDot);
    std::sort(names.begin(), names.end(), deviceNameLess);
    for (QString &name : names)
        name = dir.filePath(name);
    return names;
}

} // namespace

bool deviceNameLess(const QString &a, const QString &b)
{
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

QString byIdLink(const QString &device, const QString &devDir)
{
    const QString target = QFileInfo(device).canonicalFilePath();
    if (target.isEmpty())
        return {};
    // udev writes these links relative (../../ttyUSB0); the canonical path resolves them.
    const QDir byId(QDir(devDir).filePath(QStringLiteral("serial/by-id")));
    QStringList links = byId.entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot);
    std::sort(links.begin(), links.end());
    for (const QString &link : links) {
        const QString path = byId.filePath(link);
        if (QFileInfo(path).canonicalFilePath() == target)
            return path;
    }
    return {};
}

PortMap PortMap::detect(const QString &com1Override, const QString &com2Override,
                        const QString &devDir)
{
    const QDir dir(devDir);
    QStringList usb = devicesMatching(dir, QStringLiteral("ttyUSB*"));
    usb += devicesMatching(dir, QStringLiteral("ttyACM*"));
    for (QString &device : usb) {
        if (const QString link = byIdLink(device, devDir); !link.isEmpty())
            device = link;
    }

    PortMap map;
    map.com1 = usb.size() > 0 ? usb[0] : dir.filePath(QStringLiteral("ttyS0"));
    map.com2 = usb.size() > 1 ? usb[1] : dir.filePath(QStringLiteral("ttyS1"));
    if (!com1Override.isEmpty())
        map.com1 = com1Override;
    if (!com2Override.isEmpty())
        map.com2 = com2Override;
    return map;
}
