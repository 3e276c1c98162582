// SPDX-License-Identifier: GPL-3.0-or-later
#include "device_probe.h"

#include "phone_check.h"
#include "phone_link/clock.h"
#include "phone_link/port_list.h"
#include "phone_link/qt_serial_line.h"

#include <QCoreApplication>
#include <QTextStream>

QStringList serialDevices()
{
    QStringList paths;
    for (const SerialDevice &device : systemSerialDevices())
        paths << device.path;
    return paths;
}

namespace {

/// What asking one candidate found.
struct Asked
{
    bool opened = false;
    std::unique_ptr<QtSerialLine> answering; ///< its line, still open, when it answered "AT"
};

/// Opens `path` and asks it "AT", saying on `out` what it did.
Asked askAt(const QString &path, Clock &clock, EventPump &pump, QTextStream &out, double probeEnd)
{
    if (clock.seconds() >= probeEnd) {
        out << QCoreApplication::translate("PhoneCheck", "%1: not tried (out of time)").arg(path)
            << '\n';
        return {};
    }
    auto line = std::make_unique<QtSerialLine>(PortMap{path, path});
    if (!line->open(1)) {
        out << QCoreApplication::translate("PhoneCheck", "%1: cannot open: %2")
                   .arg(path, line->openError())
            << '\n';
        return {};
    }
    PhoneCheck probe(*line, clock, pump, out, path, probeEnd);
    const CheckReply reply = probe.answersAt(PhoneCheck::kProbeWait, true);
    const bool found = reply.isFinal();
    // A phone may refuse a bare "AT" and answer every command Tornasquillo sends.
    if (reply.isOk())
        out << QCoreApplication::translate("PhoneCheck", "%1: answers \"AT\"").arg(path) << '\n';
    else if (found)
        out << QCoreApplication::translate(
                   "PhoneCheck", "%1: answers \"AT\" with %2 (a warning at most; the check tells)")
                   .arg(path, reply.describe())
            << '\n';
    else
        out << QCoreApplication::translate("PhoneCheck", "%1: no answer to \"AT\"").arg(path)
            << '\n';
    out.flush();
    return {true, found ? std::move(line) : nullptr};
}

} // namespace

ProbeResult findPhone(const QStringList &candidates, Clock &clock, EventPump &pump,
                      QTextStream &out, double probeEnd)
{
    if (candidates.isEmpty()) {
        out << PhoneCheck::reportLine(
                   PhoneCheck::Level::Problem,
                   QCoreApplication::translate("PhoneCheck",
                                               "no serial device found. Connect the phone (its "
                                               "cable or USB adapter), or name its device with "
                                               "--com1 PATH."))
            << '\n';
        return {};
    }
    out << QCoreApplication::translate("PhoneCheck", "Looking for a phone on: %1")
               .arg(candidates.join(QStringLiteral(", ")))
        << '\n';
    out.flush();
    QStringList answering;
    std::unique_ptr<QtSerialLine> first;
    bool opened = false;
    for (const QString &path : candidates) {
        Asked asked = askAt(path, clock, pump, out, probeEnd);
        opened = opened || asked.opened;
        if (!asked.answering)
            continue;
        answering << path;
        if (!first)
            first = std::move(asked.answering);
    }
    if (answering.isEmpty()) {
        out << PhoneCheck::reportLine(
                   PhoneCheck::Level::Problem,
                   QCoreApplication::translate("PhoneCheck",
                                               "no device answers \"AT\": the phone is off, not "
                                               "connected, or on a port that cannot be opened."))
            << '\n';
        return {{}, nullptr, opened ? 1 : 2};
    }
    if (answering.size() > 1)
        out << QCoreApplication::translate("PhoneCheck",
                                           "Devices that answer: %1; checking the first.")
                   .arg(answering.join(QStringLiteral(", ")))
            << '\n';
    return {answering.first(), std::move(first), 0};
}
