// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "line_assembler.h"
#include "port_map.h"
#include "serial_line.h"

#include <QElapsedTimer>
#include <QObject>
#include <QSerialPort>

/// The serial line on a real device (or a pseudo-terminal): 19200 baud, 8 data bits, no parity,
/// 1 stop bit, no handshaking. Reads are polled; an unfinished last line is held back by a
/// LineAssembler so that a poll never hands out half a "RING". A port named by a link (a by-id
/// name) opens the device the link points at now.
class QtSerialLine final : public QObject, public SerialLine
{
    Q_OBJECT

public:
    /// Bytes the port keeps for the program at most; past this the kernel holds the rest (and
    /// a pseudo-terminal's writer blocks), so a flooding phone cannot fill the memory.
    static constexpr qint64 kReadBufferSize = 64 * 1024;

    explicit QtSerialLine(PortMap ports, QObject *parent = nullptr);

    bool open(int portNumber) override;
    bool openAgain(int portNumber) override;
    bool isPresent(int portNumber) const override;
    void close() override;
    bool isOpen() const override;
    void write(const QString &text) override;
    QString readAll() override;

    /// Why the last open() failed, for the operator; empty after a successful open. When the
    /// device is busy and ModemManager manages it, this says so and how to make it let go.
    QString openError() const { return m_openError; }

private:
    bool openPort(int portNumber, bool again);
    void onError(QSerialPort::SerialPortError error);

    PortMap m_ports;
    QSerialPort m_port;
    LineAssembler m_lines;
    QElapsedTimer m_sinceOpen;
    QString m_openError;
    /// The last failure reported (device and error), so that a repeated attempt stays quiet.
    QString m_reportedFailure;
    QString m_reportedError;
};
