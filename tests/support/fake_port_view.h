// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "phone_link/port_control.h"

#include <QMap>

/// The window as port control sees it.
class FakePortView final : public PortView
{
public:
    void setPanelText(int panel, const QString &text) override { panels[panel] = text; }
    void setFrame2Enabled(bool enabled) override { frame2Enabled = enabled; }
    bool isOption3Selected() const override { return option3; }

    QMap<int, QString> panels;
    bool frame2Enabled = true;
    bool option3 = true;
};
