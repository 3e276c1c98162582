// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Port control: the operator's open/close button and the phone's start-up dialogue. Opening
// the chosen port puts the phone into a known answer format ("Z", "E0", "Q0", "V1") and shows its
// model; closing it (or losing the device) shows the link as disconnected and frees the choice.
//
// A line that is lost (the device vanished or failed, not the operator's close) is watched for:
// once a second port control looks whether the device of the chosen port is there again and, when
// it is, opens it exactly as the button does. The operator's close ends the watching; a click
// while it waits is an ordinary open.

#include <QElapsedTimer>
#include <QString>
#include <QTimer>

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
    /// How often a lost device is looked for: a look is one stat() of the device's path.
    static constexpr int kWatchIntervalMs = 1000;

    PortControl(SerialLine &line, AtExchange &exchange, PortView &view);

    /// The "APRI / CHIUDI PORTA" button: opens a closed port, closes an open one.
    void Command1_Click();
    /// The start-up list; the answers are not examined.
    void ICC();
    /// The port number last chosen (1 or 2); assigned only while the port is closed.
    int CommPort() const { return m_commPort; }

    /// Whether a lost line is being waited for.
    bool isWatching() const { return m_waiting; }
    /// For tests: look for a lost device more often than once a second.
    void setWatchInterval(int ms) { m_watch.setInterval(ms); }

private:
    enum class Attempt { Operator, Watch };

    void openChosenPort(Attempt attempt);
    void showClosed();
    void onLost();
    void lookForDevice();

    SerialLine &m_line;
    AtExchange &m_exchange;
    PortView &m_view;
    int m_commPort = 1;
    bool m_waiting = false;    ///< the line was lost and has not been opened again since
    bool m_inDialogue = false; ///< the start-up dialogue is running (it lets events run)
    QTimer m_watch;
    QElapsedTimer m_sinceLost;
};
