// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How the link names devices: a path resolved to the device it stands for, and a USB id written
// as lsusb and udev write it.

#include <QString>

/// The device a path names: a link (a by-id name) resolved to the device it points at now, else
/// the path as given (a device that is not there, or not a link).
QString deviceOf(const QString &path);

/// A USB vendor or product id as four lower-case hex digits: "0421".
QString hex4(quint16 id);
