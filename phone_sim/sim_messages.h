// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class SimNetwork;
class SimOutput;
struct SimProfile;

// Text messages from the network, in text mode, the only one this phone has (AT+CMGF=1). What
// becomes of a message is the <mt> of +CNMI in force: 0 stored in the SIM's storage "SM" without
// a word, 1 stored and announced with +CMTI: "SM",<index>, 2 or 3 delivered to the port whole, a
// +CMT header line and then the text, and not stored at all. Under +CSDH=1 the header carries
// every field, the text's length last; under +CSDH=0 only the sender and the time stamp. The
// text goes out as it came, so a text of several lines is several lines on the port. A phone
// that is not registered, or is hung, gets no message; a full storage takes no more.
class SimMessages
{
public:
    static constexpr int kCapacity = 20;

    SimMessages(const SimProfile &profile, const SimNetwork &network, SimOutput *output);

    /// A message from `number` reaches the phone.
    void receive(const QString &number, const QByteArray &text);
    int storedCount() const { return int(m_stored.size()); }

private:
    struct Message
    {
        QString number;
        QByteArray text;
        QByteArray timeStamp;
    };

    QByteArray deliveryHeader(const Message &message) const;

    const SimProfile &m_profile;
    const SimNetwork &m_network;
    SimOutput *m_output;
    QList<Message> m_stored;
};
