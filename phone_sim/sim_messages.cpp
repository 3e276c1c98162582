// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim_messages.h"

#include "sim_log.h"
#include "sim_network.h"
#include "sim_output.h"
#include "sim_profile.h"

#include <QDateTime>

namespace {

/// The service centre that passes the messages on: a made-up Italian number.
constexpr char kServiceCentre[] = "+393000000000";
/// First octet of an SMS-DELIVER with no more messages to send; protocol 0, GSM alphabet.
constexpr int kFirstOctet = 4;
constexpr int kProtocol = 0;
constexpr int kCoding = 0;

int numberType(const QString &number)
{
    return number.startsWith(QLatin1Char('+')) ? 145 : 129;
}

/// The service centre's time stamp, "yy/MM/dd,hh:mm:ss+zz", zz in quarters of an hour.
QByteArray timeStampNow()
{
    const QDateTime now = QDateTime::currentDateTime();
    const int quarters = now.offsetFromUtc() / 900;
    const QString zone = (quarters < 0 ? QStringLiteral("-") : QStringLiteral("+")) +
                         QString::number(qAbs(quarters)).rightJustified(2, QLatin1Char('0'));
    return (now.toString(QStringLiteral("yy/MM/dd,HH:mm:ss")) + zone).toLatin1();
}

} // namespace

SimMessages::SimMessages(const SimProfile &profile, const SimNetwork &network, SimOutput *output)
    : m_profile(profile), m_network(network), m_output(output)
{
}

void SimMessages::receive(const QString &number, const QByteArray &text)
{
    const QByteArray why =
        m_output->isHung() ? QByteArray("the phone is hung") : m_network.whyNoCalls();
    if (!why.isEmpty()) {
        qCInfo(lcPhoneSim).noquote()
            << simStamp() << "a message from" << number << "not delivered:" << why;
        return;
    }
    const Message message{number, text, timeStampNow()};
    const int mt = m_profile.cnmi[1];
    if (mt >= 2) {
        qCInfo(lcPhoneSim).noquote() << simStamp() << "-> +CMT from" << number;
        m_output->sendResult(m_profile.info({deliveryHeader(message), text}), false, {});
        return;
    }
    if (m_stored.size() >= kCapacity) {
        qCInfo(lcPhoneSim).noquote()
            << simStamp() << "a message from" << number << "lost: the storage is full";
        return;
    }
    m_stored.append(message);
    const QByteArray notice = "+CMTI: \"SM\"," + QByteArray::number(m_stored.size());
    qCInfo(lcPhoneSim).noquote() << simStamp() << "a message from" << number << "stored"
                                 << (mt == 1 ? "-> " + notice : QByteArray());
    if (mt == 1)
        m_output->sendResult(m_profile.resultCode(notice), false, {});
}

QByteArray SimMessages::deliveryHeader(const Message &message) const
{
    QByteArray header = "+CMT: \"" + message.number.toUtf8() + "\",,\"" + message.timeStamp + '"';
    if (m_profile.csdh != 1)
        return header;
    const auto field = [](int value) { return ',' + QByteArray::number(value); };
    return header + field(numberType(message.number)) + field(kFirstOctet) + field(kProtocol) +
           field(kCoding) + ",\"" + kServiceCentre + '"' + field(numberType(kServiceCentre)) +
           field(int(QString::fromUtf8(message.text).size()));
}
