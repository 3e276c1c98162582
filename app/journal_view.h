// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The window's place in a run without one: port control and the monitor report to this view,
// and what the window would show goes to standard error (the journal, under a service) as it
// changes. Status panels 1 and 2 are written under the logging category tornasquillo.status,
// each text when it changes and only then: the monitor writes "Porta non aperta o occupata" again
// whenever the port is shown closed, and Label5's blinking is no news. A blank panel is not
// written. Each event line is listed by the phone session, as the window's lines are: stamped
// with the clock's wall time and written to the journal's tornasquillo.calls line; the view
// hands its record on for the file of --log and the desktop. Nobody moves a slider or clicks: the
// sliders keep their start values and the responder stays as it started.

#include "call_log/call_record.h"
#include "call_monitor/call_monitor.h"
#include "call_monitor/start_state.h"
#include "phone_link/port_control.h"

#include <QObject>

#include <array>

class PhoneSession;

class JournalView final : public QObject, public PortView, public MonitorView
{
    Q_OBJECT

public:
    /// The view of a start: the sliders' values (the designed ones where none is given), the
    /// responder, and the port, COM 1 unless the start chooses COM 2.
    explicit JournalView(const StartState &start, QObject *parent = nullptr);
    /// The session whose event lines this view lists: set it before the session runs.
    void listEventsOf(const PhoneSession &session) { m_session = &session; }

    int port() const { return m_port; }

    // What port control shows and reads. The port choice is the start's, and stays.
    void setPanelText(int panel, const QString &text) override;
    void setFrame2Enabled(bool enabled) override { Q_UNUSED(enabled); }
    bool isOption3Selected() const override { return m_port == 1; }
    /// The journal has the state's sentence already: panel 2's text is not told again.
    void showPhoneState(const QString &panel2, const QString &sentence) override;

    // What the call monitor reads and writes. The form has loaded: the monitor runs.
    bool flgtok() const override { return true; }
    bool flgrisp() const override { return m_responderOn; }
    int slider1Value() const override { return m_slider1; }
    int slider2Value() const override { return m_slider2; }
    int slider3Value() const override { return m_slider3; }
    void setPanel2Text(const QString &text) override { setPanelText(2, text); }
    bool isLabel5Visible() const override { return m_label5Visible; }
    void setLabel5Visible(bool visible) override { m_label5Visible = visible; }
    void appendToList2(const QString &line) override;
    /// Nobody is there to hear it; panel 2's "Risposto a squillo.." says the same.
    void beep() override {}
    void reportCall(const HandledCall &call) override { emit callHandled(call); }

signals:
    /// An event line was listed: its record, with the moment and the line on one line.
    void callLogged(const CallRecord &record);
    /// The call of the line just listed, as facts.
    void callHandled(const HandledCall &call);
    /// What keeps calls from arriving changed (or they can arrive again), in a sentence.
    void phoneStateChanged(const QString &sentence);

private:
    /// The texts of panels 1 and 2 last written to the journal; none at first, so each one's
    /// first text is told.
    std::array<QString, 2> m_panels;
    const PhoneSession *m_session = nullptr;
    int m_port;
    bool m_responderOn;
    int m_slider1;
    int m_slider2;
    int m_slider3;
    bool m_label5Visible = false;
};
