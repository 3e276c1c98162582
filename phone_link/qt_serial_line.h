// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "line_assembler.h"
#include "port_map.h"
#include "serial_line.h"

#include <QElapsedTimer>
#include <QObject>
#include <QSerialPort>

#include <atomic>
#include <thread>

/// The serial line on a real device (or a pseudo-terminal): 19200 baud, 8 data bits, no parity,
/// 1 stop bit, no handshaking. Reads are polled; an unfinished last line is held back by a
/// LineAssembler so that a poll never hands out half a "RING". A port named by a link (a by-id
/// name) opens the device the link points at now.
///
/// QSerialPort opens, sets up, locks and closes the device and reports its failures; the reads
/// are the line's own. QSerialPort's receive notifier is switched off: it would put the device
/// in every poll of the event loop, 1,000 times a second, for a readyRead() nobody waits for.
/// Instead a thread of the line's own sleeps on the device; when bytes (or a hang-up) arrive it
/// marks the device readable and wakes the event loop, so a waiting exchange looks at once, and
/// sleeps again once readAll() has read. A readAll() on a quiet line makes no system call.
class QtSerialLine final : public QObject, public SerialLine
{
    Q_OBJECT

public:
    /// Bytes one readAll() takes from the device at most; past this the kernel holds the rest
    /// (and a pseudo-terminal's writer blocks), so a flooding phone cannot fill the memory.
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
    /// The line settings of an open port, and its watch.
    void setUpOpenPort();
    void onError(QSerialPort::SerialPortError error);
    /// Reads what the device holds into m_chunk, at most kReadBufferSize bytes, without waiting;
    /// the count read. A device that is gone or fails closes the line.
    qsizetype readDevice();
    /// Starts the thread that watches the open device; stops it, before the device closes.
    void startWatch();
    void stopWatch();
    /// The watching thread: sleeps until `device` is readable, says so, and sleeps on m_wakeFd
    /// until readAll() has read or the watch stops.
    void watchDevice(int device);
    /// Closes the port after the device failed, says why, and reports the line lost.
    void lose(const char *what);

    PortMap m_ports;
    QSerialPort m_port;
    LineAssembler m_lines;
    QByteArray m_chunk; ///< room for one read of the device
    std::thread m_watcher;
    int m_wakeFd = -1; ///< an eventfd that sends the watcher back to the device, or stops it
    std::atomic<bool> m_readable{false}; ///< set by the watcher, taken by readAll()
    std::atomic<bool> m_stopping{false};
    QElapsedTimer m_sinceOpen;
    QString m_openError;
    /// The last failure reported (device and error), so that a repeated attempt stays quiet.
    QString m_reportedFailure;
    QString m_reportedError;
};
