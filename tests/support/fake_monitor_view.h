// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "call_monitor/call_monitor.h"

#include <QStringList>

/// The window as the monitor sees it: flags, sliders, panel 2, Label5 and List2.
class FakeMonitorView : public MonitorView
{
public:
    bool flgtok() const override { return tok; }
    bool flgrisp() const override { return risp; }
    int slider1Value() const override { return slider1; }
    int slider2Value() const override { return slider2; }
    int slider3Value() const override { return slider3; }
    void setPanel2Text(const QString &text) override
    {
        panel2 = text;
        panel2History << text;
    }
    bool isLabel5Visible() const override { return label5Visible; }
    void setLabel5Visible(bool visible) override
    {
        label5Visible = visible;
        ++label5Changes;
    }
    void appendToList2(const QString &line) override { list2 << line; }
    void beep() override { ++beeps; }
    void reportCall(const HandledCall &call) override { reported << call; }

    bool tok = true;
    bool risp = false;
    int slider1 = 10;
    int slider2 = 2;
    int slider3 = 1;
    QString panel2;
    QStringList panel2History;
    bool label5Visible = false;
    int label5Changes = 0;
    QStringList list2;
    int beeps = 0;
    QList<HandledCall> reported;
};
