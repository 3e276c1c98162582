// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The program's only window. It owns the phone session (the serial line, the exchange, port
// control and the call monitor) and the timer that drives it, and it is the view both port control
// and the monitor report to: port control
// writes the link state into status panels 1 and 2 and enables the port choice; the monitor
// writes its progress into panel 2, blinks Label5 and appends event lines to List2. The window
// itself only turns clicks into calls and those reports into captions.
//
// Each event line is stamped with the wall time of the window's clock when it is listed (a test
// gives a fake clock and knows the moment): the stamp is the line's tooltip, the line's record goes
// to the journal, and callLogged() hands it on for a record on disk. callHandled() hands on the
// same call as facts, for the desktop's notifications.
//
// Every exchange and wait pumps events, so a handler here may run nested inside another one
// (ESCI pressed while a call-back counts down its seconds); ending the program stops all waits.

#include "call_log/call_record.h"
#include "call_monitor/phone_session.h"
#include "call_monitor/start_state.h"

#include <QWidget>

#include <array>
#include <memory>

class Clock;
class EventPump;
class PortMap;
class QFrame;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSlider;
class QStatusBar;
class BorderlessGroup;
class StatusPanel;
struct ControlDesign;

class Form1 : public QWidget, public PortView, public MonitorView
{
    Q_OBJECT

public:
    /// The program's window on the real serial line, clock and event loop; ports says which
    /// device stands for "COM 1" and which for "COM 2".
    explicit Form1(const PortMap &ports, QWidget *parent = nullptr);
    /// The window on the line, clock and pump given, which it keeps (tests give a fake clock).
    Form1(std::unique_ptr<SerialLine> line, std::unique_ptr<Clock> clock,
          std::unique_ptr<EventPump> pump, QWidget *parent = nullptr);
    ~Form1() override;

    /// Does at start-up what the operator's drags and clicks would: the sliders' values, the
    /// responder switched on, the port chosen and opened (or waited for). Call it from the event
    /// loop, with the window shown: the port's start-up dialogue lets events run.
    void startAs(const StartState &start);

    // What port control shows and reads.
    void setPanelText(int panel, const QString &text) override;
    void setFrame2Enabled(bool enabled) override;
    bool isOption3Selected() const override;
    void showPhoneState(const QString &panel2, const QString &sentence) override;

    // What the call monitor reads and writes.
    bool flgtok() const override { return m_flgtok; }
    bool flgrisp() const override { return m_flgrisp; }
    int slider1Value() const override;
    int slider2Value() const override;
    int slider3Value() const override;
    void setPanel2Text(const QString &text) override;
    bool isLabel5Visible() const override;
    void setLabel5Visible(bool visible) override;
    void appendToList2(const QString &line) override;
    void beep() override;
    void reportCall(const HandledCall &call) override { emit callHandled(call); }

    /// The phone session, for the settings that the start hands it (the limits on call-backs,
    /// the PIN file).
    PhoneSession &session() { return m_session; }

signals:
    /// The program is over: ESCI was clicked or the window was closed. The port is already
    /// released and every wait has stopped; the application should leave its event loop.
    void programEnded();
    /// An event line was listed: its record, with the moment and the line on one line.
    void callLogged(const CallRecord &record);
    /// The call of the line just listed, as facts: squillo or call, who, called back or not.
    void callHandled(const HandledCall &call);
    /// What keeps calls from arriving changed (or they can arrive again), in a sentence.
    void phoneStateChanged(const QString &sentence);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    /// Makes the designed controls (control_design.h), then the status panels.
    void createControls();
    /// One control of the design, placed and captioned, in parent.
    QWidget *makeControl(const ControlDesign &design, QWidget *parent);
    /// The sliders' ranges and start values, and their labels' captions.
    void startSliders();
    void createStatusPanels();
    void wireConnections();
    void applyTabOrder();
    /// A rectangle of the design (twips) in pixels on this window's screen.
    QRect designRect(int left, int top, int width, int height) const;
    /// Sets a label's caption and widens it if the system font needs more room than the design's.
    void setCaption(QLabel *label, const QString &caption);
    void endProgram();

    /// Form_Load: the flags' start values and the start of the timer.
    void Form_Load();
    /// Command1_Click: "APRI / CHIUDI PORTA" opens or closes the chosen port.
    void Command1_Click();
    /// Command3_Click: switches the responder on or off and shows it with Label5.
    void Command3_Click();
    /// Slider1_Scroll: Label1 follows Slider1.
    void Slider1_Scroll();
    /// Slider2_Scroll: Label2 follows Slider2.
    void Slider2_Scroll();
    /// Slider3_Scroll: Label4 follows Slider3.
    void Slider3_Scroll();
    /// StatusBar1_PanelClick: panel 3 ("ESCI") resets the phone and ends the program.
    void StatusBar1_PanelClick(int panel);

    /// Command1: opens or closes the serial port.
    QPushButton *Command1 = nullptr;
    /// Frame2: holds the port choice; disabled while connected.
    BorderlessGroup *Frame2 = nullptr;
    /// Option3: "COM 1".
    QRadioButton *Option3 = nullptr;
    /// Option4: "COM 2".
    QRadioButton *Option4 = nullptr;
    /// Line1: separates the port controls from the rest.
    QFrame *Line1 = nullptr;
    /// Command3: switches the responder on and off.
    QPushButton *Command3 = nullptr;
    /// Label5: "!ATTIVO!", blinks while the responder is on.
    QLabel *Label5 = nullptr;
    /// Label3: heading of the event list.
    QLabel *Label3 = nullptr;
    /// List2: the event list, one line per call.
    QListWidget *List2 = nullptr;
    /// Label1: shows Slider1's value.
    QLabel *Label1 = nullptr;
    /// Slider1: seconds the call-back stands before it is hung up.
    QSlider *Slider1 = nullptr;
    /// Label2: shows Slider2's value.
    QLabel *Label2 = nullptr;
    /// Slider2: seconds after a squillo before calling back.
    QSlider *Slider2 = nullptr;
    /// Label4: shows Slider3's value.
    QLabel *Label4 = nullptr;
    /// Slider3: the largest ring count that is still a squillo.
    QSlider *Slider3 = nullptr;
    /// StatusBar1: link state, progress and the exit panel.
    QStatusBar *StatusBar1 = nullptr;
    std::array<StatusPanel *, 3> m_panels{};

    std::unique_ptr<Clock> m_clock;
    std::unique_ptr<EventPump> m_pump;
    /// The serial line to the phone (MSComm1), the exchange, port control, the monitor, and
    /// Timer1, which runs the monitor's pass when the phone speaks, when one of the monitor's
    /// deadlines comes, and when Label5 is to change.
    PhoneSession m_session;

    /// flgtok: the call monitor runs only while it is set.
    bool m_flgtok = false;
    /// flgrisp: the responder is on.
    bool m_flgrisp = false;
};
