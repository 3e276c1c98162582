// SPDX-License-Identifier: GPL-3.0-or-later
// The window's start as the start options ask: each step goes through the handler that the
// operator's drag or click runs, so the labels, Label5 and the panels are the designed ones.
#include "form1.h"

#include <QRadioButton>
#include <QSlider>

void Form1::startAs(const StartState &start)
{
    // setValue() signals valueChanged(), which runs the Scroll handler as a drag does.
    const std::pair<QSlider *, std::optional<int>> sliders[] = {
        {Slider1, start.slider1}, {Slider2, start.slider2}, {Slider3, start.slider3}};
    for (const auto &[slider, value] : sliders) {
        if (value)
            slider->setValue(*value);
    }
    if (start.responderOn && !m_flgrisp)
        Command3_Click();
    if (start.port == 0)
        return;
    // The port last: its start-up dialogue lets events run, and may wait a long time on a silent
    // phone.
    (start.port == 1 ? Option3 : Option4)->setChecked(true);
    m_session.portControl().openOrWait();
}
