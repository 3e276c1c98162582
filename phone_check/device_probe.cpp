// SPDX-License-Identifier: GPL-3.0-or-later
#include "device_probe.h"

#include "phone_check.h"
#include "phone_link/clock.h"
#include "phone_link/port_list.h"
#include "phone_link/qt_serial_line.h"

#include <QTextStream>

QStringList serialDevices()
{
    QStringList paths;
    for (const SerialDevice &device : systemSerialDevices())
        paths << device.path;
    return paths;
}

ProbeResult findPhone(const QStringList &candidates, Clock &clock, EventPump &pump,
                      QTextStream &out, double probeEnd)
{
    if (candidates.isEmpty()) {
        out << "problem: no serial device found. Connect the phone (its cable or USB "
               "adapter), or name its device with --com1 PATH.\n";
        return {};
    }
    out << "Looking for a phone on: " << candidates.join(QStringLiteral(", ")) << '\n';
    out.flush();
    QStringList answering;
    std::unique_ptr<QtSerialLine> first;
    bool opened = false;
    for (const QString &path : candidates) {
        if (clock.seconds() >= probeEnd) {
            out << path << ": not tried (out of time)\n";
            continue;
        }
        auto line = std::make_unique<QtSerialLine>(PortMap{path, path});
        if (!line->open(1)) {
            out << path << ": cannot open: " << line->openError() << '\n';
            continue;
        }
        opened = true;
        PhoneCheck probe(*line, clock, pump, out, path, probeEnd);
        const CheckReply reply = probe.answersAt(PhoneCheck::kProbeWait, true);
        const bool found = reply.isFinal();
        // A phone may refuse a bare "AT" and answer every command Tornasquillo sends.
        if (reply.isOk())
            out << path << ": answers \"AT\"\n";
        else if (found)
            out << path << ": answers \"AT\" with " << reply.describe()
                << " (a warning at most; the check tells)\n";
        else
            out << path << ": no answer to \"AT\"\n";
        out.flush();
        if (found) {
            answering << path;
            if (!first)
                first = std::move(line);
        }
    }
    if (answering.isEmpty()) {
        out << "problem: no device answers \"AT\": the phone is off, not connected, or on a "
               "port that cannot be opened.\n";
        return {{}, nullptr, opened ? 1 : 2};
    }
    if (answering.size() > 1)
        out << "Devices that answer: " << answering.join(QStringLiteral(", "))
            << "; checking the first.\n";
    return {answering.first(), std::move(first), 0};
}
