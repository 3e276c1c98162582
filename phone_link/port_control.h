// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Port control: the operator's open/close button and the phone's start-up dialogue. Opening
// the chosen port puts the phone into a known answer format ("Z", "E0", "Q0", "V1") and shows its
// model; closing it (or losing the device) shows the link as disconnected and frees the choice.
//
// A line that is lost (the device vanished or failed, not the operator's close) is watched for:
// once a second port control looks whether the device of the chosen port is there again and, when
// it is, opens it exactly as the button does. The operator's close ends the watching; a click
// while it waits is an ordinary open. The start options' open is watched for in the same way
// when the device is not there yet at start-up, or is busy.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>
#include <QTimer>

#include <functional>

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
    /// What keeps calls from arriving, or the model again once they can: `panel2` for panel 2,
    /// and, when the state has just changed, the same in a sentence for whoever tells of it
    /// elsewhere (the desktop's notifications); the journal has it already.
    virtual void showPhoneState(const QString &panel2, const QString &sentence)
    {
        Q_UNUSED(sentence);
        setPanelText(2, panel2);
    }
};

class PortControl
{
    Q_DECLARE_TR_FUNCTIONS(PortControl)

public:
    /// How often a lost device is looked for: a look is one stat() of the device's path.
    static constexpr int kWatchIntervalMs = 1000;

    PortControl(SerialLine &line, AtExchange &exchange, PortView &view);
    ~PortControl();
    PortControl(const PortControl &) = delete;
    PortControl &operator=(const PortControl &) = delete;

    /// The "APRI / CHIUDI PORTA" button: opens a closed port, closes an open one.
    void Command1_Click();
    /// The start options' open, for a program left to start by itself: the button's open of a
    /// closed port, except that a device that cannot be opened (not there yet, or busy) is
    /// watched for as a lost one is, and opened as soon as it can be. Says so once.
    void openOrWait();
    /// The start-up list; the answers are not examined.
    void ICC();
    /// The start-up dialogue on the open line: the start-up list, then the model for panel 2;
    /// the started-handler runs after it.
    void startUp();
    /// The phone stopped answering: the port is closed and opened again, as after a USB reset,
    /// without the start-up dialogue, which waits for the phone to answer again (startUp()). A
    /// device that cannot be opened again is watched for as a lost one.
    void reopen();
    /// The model the phone gave in the last start-up dialogue.
    QString model() const { return m_model; }
    /// Runs at the end of each start-up dialogue, with the port open.
    void setStartedHandler(std::function<void()> handler) { m_started = std::move(handler); }
    /// The port number last chosen (1 or 2); assigned only while the port is closed.
    int CommPort() const { return m_commPort; }

    /// Called each time the link is shown closed (panel 1 "DISCONNESSO", panel 2 blank), whether
    /// by the operator's close, a failed open or a lost device.
    void setShownClosedHandler(std::function<void()> handler)
    {
        m_shownClosed = std::move(handler);
    }

    /// For tests: look for a lost device more often than once a second.
    void setWatchInterval(int ms) { m_watch.setInterval(ms); }

private:
    /// Where the link stands. Closed: never opened, or closed by the operator (or the program's
    /// end). StartingUp: open, the start-up dialogue running (it lets events run, so a click or a
    /// loss can happen inside it). Open: the dialogue is over. Lost: the line closed on its own
    /// and the device is watched for (as is the device that the start options could not open).
    enum class Link { Closed, StartingUp, Open, Lost };

    enum class Attempt { Operator, Watch };

    /// Whether the line opened; the start-up dialogue has run when it did.
    bool openChosenPort(Attempt attempt);
    void showClosed();
    void onLost();
    void lookForDevice();

    SerialLine &m_line;
    AtExchange &m_exchange;
    PortView &m_view;
    int m_commPort = 1;
    Link m_link = Link::Closed;
    QTimer m_watch;
    /// Runs from a loss until the line is open again or the operator closes it: an open while it
    /// runs is a comeback, and is reported with the time the line was away. It runs too from a
    /// start options' open that found no device until the first open.
    QElapsedTimer m_sinceLost;
    /// The line has not been open yet since the start options asked for it.
    bool m_awaitedAtStart = false;
    QString m_model;
    std::function<void()> m_started;
    std::function<void()> m_shownClosed;
};
