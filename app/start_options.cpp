// SPDX-License-Identifier: GPL-3.0-or-later
#include "start_options.h"

#include "call_monitor/slider_design.h"

#include <QCommandLineParser>

namespace {

/// One slider's option: the value it sets, in the range the window's slider has.
struct SliderOption
{
    const char *name;
    const char *valueName;
    /// %1 and %2: the range; %3: the designed start value.
    const char *description;
    SliderDesign design;
    std::optional<int> StartState::*value;
};

// Named after what the program does (the help says it "calls squilli back"): it never answers
// an incoming call, it lets it ring out and calls back.
const SliderOption kSliderOptions[] = {
    {"call-back-after", QT_TRANSLATE_NOOP("StartOptions", "SECONDS"),
     QT_TRANSLATE_NOOP("StartOptions",
                       "Seconds after a squillo before it is called back (%1 to %2; default %3)."),
     kSlider2Design, &StartState::slider2},
    {"hang-up-after", QT_TRANSLATE_NOOP("StartOptions", "SECONDS"),
     QT_TRANSLATE_NOOP("StartOptions",
                       "Seconds a call-back stands before it is hung up (%1 to %2; default %3)."),
     kSlider1Design, &StartState::slider1},
    {"max-rings", QT_TRANSLATE_NOOP("StartOptions", "N"),
     QT_TRANSLATE_NOOP("StartOptions",
                       "Largest ring count that is still a squillo (%1 to %2; default %3)."),
     kSlider3Design, &StartState::slider3},
};

} // namespace

QString longName(const QCommandLineOption &option)
{
    return QStringLiteral("--") + option.names().constFirst();
}

StartOptions::StartOptions()
    : m_open(QStringLiteral("open"),
             tr("At start-up, open COM PORT (1 or 2) as APRI / CHIUDI PORTA does; a device that "
                "is not there yet or is busy is waited for."),
             tr("PORT")),
      m_callBack(QStringLiteral("call-back"),
                 tr("At start-up, switch the responder on, as Attiva / Disattiva tornasquillo "
                    "does."))
{
    for (const SliderOption &slider : kSliderOptions) {
        m_sliders << QCommandLineOption(QString::fromLatin1(slider.name),
                                        tr(slider.description)
                                            .arg(slider.design.minimum)
                                            .arg(slider.design.maximum)
                                            .arg(slider.design.value),
                                        tr(slider.valueName));
    }
}

QList<QCommandLineOption> StartOptions::all() const
{
    return QList<QCommandLineOption>{m_open, m_callBack} + m_sliders;
}

std::optional<StartState> StartOptions::read(const QCommandLineParser &parser, QString *error) const
{
    StartState start;
    start.responderOn = parser.isSet(m_callBack);
    if (parser.isSet(m_open)) {
        const QString port = parser.value(m_open);
        if (port != QLatin1String("1") && port != QLatin1String("2")) {
            *error = tr("%1 takes 1 (COM 1) or 2 (COM 2), not \"%2\"").arg(longName(m_open), port);
            return std::nullopt;
        }
        start.port = port.toInt();
    }
    for (qsizetype i = 0; i < m_sliders.size(); ++i) {
        const QCommandLineOption &option = m_sliders[i];
        if (!parser.isSet(option))
            continue;
        const SliderDesign &design = kSliderOptions[i].design;
        const std::optional<int> value =
            wholeNumber(parser.value(option), design.minimum, design.maximum);
        if (!value) {
            *error = tr("%1 takes a whole number from %2 to %3, not \"%4\"")
                         .arg(longName(option))
                         .arg(design.minimum)
                         .arg(design.maximum)
                         .arg(parser.value(option));
            return std::nullopt;
        }
        start.*kSliderOptions[i].value = *value;
    }
    return start;
}

QStringList StartOptions::arguments(const StartState &start) const
{
    QStringList arguments;
    if (start.port != 0)
        arguments << longName(m_open) << QString::number(start.port);
    if (start.responderOn)
        arguments << longName(m_callBack);
    for (qsizetype i = 0; i < m_sliders.size(); ++i) {
        if (const std::optional<int> value = start.*kSliderOptions[i].value)
            arguments << longName(m_sliders[i]) << QString::number(*value);
    }
    return arguments;
}
