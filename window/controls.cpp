// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls.h"

#include <QMouseEvent>

StatusPanel::StatusPanel(int index, QWidget *parent) : QLabel(parent), m_index(index)
{
    setTextFormat(Qt::PlainText);
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    setIndent(3);
}

void StatusPanel::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

void StatusPanel::mouseReleaseEvent(QMouseEvent *event)
{
    // A click is a press and a release on the same panel; dragging off it cancels.
    const bool clicked = m_pressed && event->button() == Qt::LeftButton &&
                         rect().contains(event->position().toPoint());
    m_pressed = false;
    QLabel::mouseReleaseEvent(event);
    if (clicked)
        emit panelClicked(m_index);
}
