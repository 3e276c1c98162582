// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "line_assembler.h"
#include "port_map.h"
#include "serial_line.h"

#include <QElapsedTimer>
#include <QObject>
#include <QSerialPort>
#include <QTimer>

/// The serial line on a real device (or a pseudo-terminal): 19200 baud, 8 data bits, no parity,
/// 1 stop bit, no handshaking. An unfinished last line is held back by a LineAssembler so that a
/// read never hands out half a "RING". A port named by a link (a by-id name) opens the device the
/// link points at now.
///
/// QSerialPort opens, sets up, locks and closes the device, reports its failures, and reads it
/// when the event loop finds it readable: its notifier is the one thing that wakes the program
/// when the phone speaks. Each read it makes is an arrival for whoever sleeps until the phone
/// speaks, and so is the end of the quiet that releases a held line.
class QtSerialLine final : public QObject, public SerialLine
{
    Q_OBJECT

public:
    /// Bytes the line holds unread at most; past this the kernel holds the rest (and a
    /// pseudo-terminal's writer blocks), so a flooding phone cannot fill the memory.
    static constexpr qint64 kReadBufferSize = 64 * 1024;

    explicit QtSerialLine(PortMap ports, QObject *parent = nullptr);
    ~QtSerialLine() override;

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
    /// Says why `device` (shown as `named`) did not open: in openError() and, unless `again`
    /// met the same failure as the attempt before, on standard error.
    void openFailed(int portNumber, const QString &device, const QString &named, bool again);
    /// The line settings of an open port.
    void setUpOpenPort();
    void onError(QSerialPort::SerialPortError error);
    /// Closes the port after the device failed, says why, and reports the line lost.
    void lose(const char *what);

    PortMap m_ports;
    QSerialPort m_port;
    LineAssembler m_lines;
    /// Runs out when a held line has been quiet long enough to be handed out as it is.
    QTimer m_release;
    QElapsedTimer m_sinceOpen;
    QString m_openError;
    /// The last failure reported (device and error), so that a repeated attempt stays quiet.
    QString m_reportedFailure;
    QString m_reportedError;
};
