// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt_serial_line.h"

#include "device_names.h"
#include "link_log.h"
#include "modem_manager.h"

#include <QDBusConnection>
#include <QFileInfo>

#include <cerrno>
#include <poll.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcLink, "tornasquillo.link", QtInfoMsg)

namespace {

/// A refused open is either a permission the user lacks or a device another program holds.
bool lacksPermission(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    return ::access(native.constData(), R_OK | W_OK) != 0 && errno == EACCES;
}

const char *const kRemoved =
    QT_TRANSLATE_NOOP("QtSerialLine", "the device was removed or stopped working");
const char *const kReadFailed = QT_TRANSLATE_NOOP("QtSerialLine", "reading from the device failed");
const char *const kWriteFailed = QT_TRANSLATE_NOOP("QtSerialLine", "writing to the device failed");

/// A device that hung up (unplugged, or a pseudo-terminal whose far end closed) fails its reads as
/// any broken device does; only its state tells the two apart.
bool hungUp(int fd)
{
    pollfd device{fd, POLLIN, 0};
    return fd < 0 || (::poll(&device, 1, 0) > 0 && (device.revents & (POLLHUP | POLLNVAL)) != 0);
}

} // namespace

QtSerialLine::QtSerialLine(PortMap ports, QObject *parent)
    : QObject(parent), m_ports(std::move(ports))
{
    connect(&m_port, &QSerialPort::errorOccurred, this, &QtSerialLine::onError);
    connect(&m_port, &QSerialPort::readyRead, this, [this] { reportArrival(); });
    m_port.setReadBufferSize(kReadBufferSize);
    m_release.setSingleShot(true);
    m_release.setTimerType(Qt::PreciseTimer);
    m_release.setInterval(int(LineAssembler::kQuietMs));
    connect(&m_release, &QTimer::timeout, this, [this] { reportArrival(); });
}

QtSerialLine::~QtSerialLine() = default;

bool QtSerialLine::open(int portNumber)
{
    return openPort(portNumber, false);
}

bool QtSerialLine::openAgain(int portNumber)
{
    return openPort(portNumber, true);
}

bool QtSerialLine::isPresent(int portNumber) const
{
    // A link whose device is gone (a by-id name while the phone is unplugged) is not there.
    return QFileInfo::exists(m_ports.devicePath(portNumber));
}

bool QtSerialLine::openPort(int portNumber, bool again)
{
    const QString path = m_ports.devicePath(portNumber);
    // The lock file that keeps two programs off one port is named after the device: opened by
    // its by-id link, the port would take another lock than a program that opens ttyUSB0.
    const QString device = deviceOf(path);
    const QString named = device == path ? path : path + QStringLiteral(" -> ") + device;
    m_openError.clear();
    m_lines.clear();
    m_port.setPortName(device);
    if (!m_port.open(QIODevice::ReadWrite)) {
        openFailed(portNumber, device, named, again);
        return false;
    }
    m_reportedFailure.clear();
    setUpOpenPort();
    qCInfo(lcLink).noquote() << tr("opened COM %1 ( %2 )").arg(portNumber).arg(named);
    // Run as root, the open passes ModemManager's exclusive hold: its commands would then mix
    // with ours.
    if (const auto modem = modemManagingDevice(QDBusConnection::systemBus(), device)) {
        const QString advice = modemManagerAdvice(*modem, device, usbIdsOf(device));
        qCWarning(lcLink).noquote() << tr("COM %1 is open, but ModemManager uses the same device "
                                          "and its commands will mix with ours.")
                                               .arg(portNumber) +
                                           u'\n' + advice;
    }
    return true;
}

void QtSerialLine::openFailed(int portNumber, const QString &device, const QString &named,
                              bool again)
{
    const QSerialPort::SerialPortError error = m_port.error();
    const bool busy = error == QSerialPort::PermissionError && !lacksPermission(device);
    const QString failure = QStringLiteral("%1 %2 %3").arg(device).arg(int(error)).arg(busy);
    if (again && failure == m_reportedFailure) {
        m_openError = m_reportedError;
        return;
    }
    switch (error) {
    case QSerialPort::PermissionError:
        if (busy) {
            m_openError = tr("the device is busy (held by another program)");
            const QString hint =
                modemManagerHint(QDBusConnection::systemBus(), device, usbIdsOf(device));
            if (!hint.isEmpty())
                m_openError += QStringLiteral(".\n") + hint;
        } else {
            m_openError = tr("permission denied; add your user to the group that owns %1 "
                             "(usually 'dialout': sudo adduser $USER dialout, then log in "
                             "again)")
                              .arg(device);
        }
        break;
    case QSerialPort::DeviceNotFoundError:
        m_openError = tr("no such device");
        break;
    default:
        m_openError = m_port.errorString();
        break;
    }
    m_reportedFailure = failure;
    m_reportedError = m_openError;
    qCWarning(lcLink).noquote()
        << tr("cannot open COM %1 ( %2 ): %3").arg(portNumber).arg(named, m_openError);
}

void QtSerialLine::setUpOpenPort()
{
    // The line settings are applied after open; a pseudo-terminal accepts them all. Its lack of
    // modem-control lines makes DTR and RTS fail, which changes nothing for the phone.
    m_port.setBaudRate(QSerialPort::Baud19200);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    m_port.clearError();
    // What the device said while nobody listened (rings of a call long over) is not news.
    m_port.clear(QSerialPort::Input);
    m_sinceOpen.start();
}

void QtSerialLine::close()
{
    if (m_port.isOpen())
        m_port.close();
    m_lines.clear();
    m_release.stop();
}

bool QtSerialLine::isOpen() const
{
    return m_port.isOpen();
}

void QtSerialLine::write(const QString &text)
{
    if (m_port.isOpen())
        m_port.write(text.toLatin1());
}

QString QtSerialLine::readAll()
{
    if (!m_port.isOpen())
        return {};
    // QSerialPort read the device when the event loop found it readable; a device that is gone
    // or fails said so through errorOccurred() and closed the line.
    if (m_port.bytesAvailable() > 0)
        m_lines.feed(QString::fromLatin1(m_port.readAll()), m_sinceOpen.elapsed());
    // An idle line costs a read no look at the clock.
    if (!m_lines.isHolding())
        return {};
    QString ready = m_lines.take(m_sinceOpen.elapsed());
    // A line still arriving is handed out when its end comes (an arrival of its own) or, at the
    // latest, once the line has been quiet for the assembler's while since this read.
    if (m_lines.isHolding())
        m_release.start();
    return ready;
}

void QtSerialLine::onError(QSerialPort::SerialPortError error)
{
    const char *what = nullptr;
    switch (error) {
    case QSerialPort::ResourceError:
        what = kRemoved;
        break;
    case QSerialPort::ReadError:
        what = hungUp(int(m_port.handle())) ? kRemoved : kReadFailed;
        break;
    case QSerialPort::WriteError:
        what = kWriteFailed;
        break;
    default:
        // Open failures are reported by open(); modem-control errors on a pseudo-terminal and
        // time-outs are harmless.
        return;
    }
    if (m_port.isOpen())
        lose(what);
}

void QtSerialLine::lose(const char *what)
{
    // A device that is gone keeps signalling; closing the port stops that at once.
    qCWarning(lcLink).noquote()
        << tr("the line to %1 failed: %2 - port closed").arg(m_port.portName(), tr(what));
    m_port.close();
    m_lines.clear();
    m_release.stop();
    reportLost();
}
