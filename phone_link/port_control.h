// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Port control: the operator's open/close button and the phone's start-up dialogue. Opening
// the chosen port puts the phone into a known answer format ("Z", "E0", "Q0", "V1") and shows its
// model; closing it (or losing the device) shows the link as disconnected and frees the choice.

#include <QString>

class AtExchange;
class SerialLine;

/// What port control shows and reads in the window.
class PortView
{
public:
    virtual ~PortView() = default;
    /// Status bar panel 1 (link state) or 2 (progress and model).
    virtual void setPanelText(int panel, const QString &text) = 0;
    /// Frame2 holds the port choice; it is disabled while connected.
    virtual void setFrame2Enabled(bool enabled) = 0;
    /// Option3 ("COM 1") selected means port 1; anything else means port 2.
    virtual bool isOption3Selected() const = 0;
};

class PortControl
{
public:
    PortControl(SerialLine &line, AtExchange &exchange, PortView &view);

    /// The "APRI / CHIUDI PORTA" button: opens a closed port, closes an open one.
    void Command1_Click();
    /// The start-up list; the answers are not examined.
    void ICC();
    /// The port number last chosen (1 or 2); assigned only while the port is closed.
    int CommPort() const { return m_commPort; }

private:
    void showClosed();

    SerialLine &m_line;
    AtExchange &m_exchange;
    PortView &m_view;
    int m_commPort = 1;
};
