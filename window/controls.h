// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Small controls that Qt does not offer as the window needs them: a status bar panel that
// reports clicks, a group without border or caption, and an event list line that knows when it
// was logged.

#include <QDateTime>
#include <QGroupBox>
#include <QLabel>
#include <QListWidgetItem>

/// One panel of the status bar: a sunken text field that reports a click with its index
/// (1 for the leftmost). Its text is plain, because panel 2 shows whatever model name the phone
/// reports.
class StatusPanel : public QLabel
{
    Q_OBJECT

public:
    explicit StatusPanel(int index, QWidget *parent = nullptr);

    int index() const { return m_index; }

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

/// One line of the event list. It keeps the moment it was logged and shows it, in the desktop's
/// language with the seconds, as its tooltip and its accessible description. The text is made
/// only when asked for: a list left running for months holds thousands of lines.
class EventItem : public QListWidgetItem
{
public:
    EventItem(const QString &line, const QDateTime &when, QListWidget *list);

    QDateTime when() const { return m_when; }
    QVariant data(int role) const override;

private:
    QDateTime m_when;
};
