// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Two small controls that Qt does not offer as the window needs them: a status bar panel that
// reports clicks, and a group without border or caption.

#include <QGroupBox>
#include <QLabel>

/// One panel of the status bar: a sunken text field that reports a click with its index
/// (1 for the leftmost). Its text is plain, because panel 2 shows whatever model name the phone
/// reports.
class StatusPanel : public QLabel
{
    Q_OBJECT

public:
    explicit StatusPanel(int index, QWidget *parent = nullptr);

signals:
    void panelClicked(int index);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    int m_index;
    bool m_pressed = false;
};

/// Holds option buttons together without drawing a frame or a title; assistive technology still
/// sees one named group.
class BorderlessGroup : public QGroupBox
{
    Q_OBJECT

public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent *) override {}
};
