// SPDX-License-Identifier: GPL-3.0-or-later
#include "journal_view.h"

#include "call_monitor/phone_session.h"
#include "call_monitor/slider_design.h"
#include "phone_link/link_log.h"

JournalView::JournalView(const StartState &start, QObject *parent)
    : QObject(parent), m_port(start.port == 2 ? 2 : 1), m_responderOn(start.responderOn),
      m_slider1(start.slider1.value_or(kSlider1Design.value)),
      m_slider2(start.slider2.value_or(kSlider2Design.value)),
      m_slider3(start.slider3.value_or(kSlider3Design.value))
{
}

void JournalView::setPanelText(int panel, const QString &text)
{
    // A blank panel shows nothing. While a busy device is waited for, panel 2 goes blank at each
    // attempt and shows "Porta non aperta o occupata" again at the next tick: that is no change.
    if (panel < 1 || panel > int(m_panels.size()) || text.trimmed().isEmpty() ||
        m_panels[panel - 1] == text)
        return;
    m_panels[panel - 1] = text;
    qCInfo(lcStatus).noquote() << tr("panel %1: %2").arg(panel).arg(text);
}

void JournalView::showPhoneState(const QString &panel2, const QString &sentence)
{
    m_panels[1] = panel2;
    if (!sentence.isEmpty())
        emit phoneStateChanged(sentence);
}

void JournalView::appendToList2(const QString &line)
{
    Q_ASSERT(m_session);
    emit callLogged(m_session->listEvent(line));
}
