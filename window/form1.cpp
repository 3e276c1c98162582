// SPDX-License-Identifier: GPL-3.0-or-later
#include "form1.h"

#include "call_log/call_record.h"
#include "call_monitor/slider_design.h"
#include "control_design.h"
#include "controls.h"
#include "phone_link/clock.h"
#include "phone_link/event_pump.h"
#include "phone_link/qt_serial_line.h"
#include "twips.h"
#include "window_log.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFrame>
#include <QIcon>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QStatusBar>

Q_LOGGING_CATEGORY(lcWindow, "tornasquillo.window", QtInfoMsg)

namespace {

const QString kLabel1Stem = QStringLiteral("Tempo attesa prima di chiudere la chiamata: ");
const QString kLabel2Stem = QStringLiteral("Tempo attesa prima di ripondere allo squillo: ");
const QString kLabel4Stem = QStringLiteral("Numero squilli per considerare il richiamo: ");
const QString kSeconds = QStringLiteral(" sec");
const QString kRings = QStringLiteral(" squilli");

constexpr int kListPointSize = 10;

/// Small and large steps of every slider.
constexpr int kSliderStep = 1;
constexpr int kSliderPage = 5;

QString sliderCaption(const QString &stem, int value, const QString &unit)
{
    return stem + QString::number(value) + unit;
}

/// The event lines are columns of 15 characters, so the list needs a fixed-pitch face: the
/// design's own when the system has it, the system's fixed font otherwise.
QFont eventListFont()
{
    QFont font(QStringLiteral("Lucida Console"), kListPointSize);
    if (QFontInfo(font).family() == font.family())
        return font;
    font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(kListPointSize);
    qCDebug(lcWindow).noquote() << "no Lucida Console; the event list uses" << font.family();
    return font;
}

/// Label5: the responder's "!ATTIVO!", hidden until the responder is on.
QLabel *newIndicator(QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setFont(QFont(QStringLiteral("Arial"), 16, QFont::Bold));
    label->setAlignment(Qt::AlignCenter);
    label->setAutoFillBackground(true);
    QPalette indicator = label->palette();
    indicator.setColor(QPalette::Window, Qt::yellow);
    label->setPalette(indicator);
    label->hide();
    return label;
}

/// One line of the event list. It keeps the moment it was logged and tells it, in the desktop's
/// language with the seconds, as its tooltip and its accessible description. The text is made
/// only when asked for: a list left running for months holds thousands of lines.
class EventItem final : public QListWidgetItem
{
public:
    EventItem(const QString &line, const QDateTime &when, QListWidget *list)
        : QListWidgetItem(line, list), m_when(when)
    {
    }

    QVariant data(int role) const override
    {
        if (role == Qt::ToolTipRole || role == Qt::AccessibleDescriptionRole)
            return QLocale::system().toString(m_when, QLocale::LongFormat);
        return QListWidgetItem::data(role);
    }

private:
    QDateTime m_when;
};

/// A new control of the kind, looking as its kind does in the design.
QWidget *newControl(ControlDesign::Kind kind, QWidget *parent)
{
    switch (kind) {
    case ControlDesign::Button:
        return new QPushButton(parent);
    case ControlDesign::Frame:
        return new BorderlessGroup(parent);
    case ControlDesign::Option:
        return new QRadioButton(parent);
    case ControlDesign::Line: {
        auto *line = new QFrame(parent);
        line->setFrameStyle(QFrame::HLine | QFrame::Plain);
        line->setLineWidth(1);
        return line;
    }
    case ControlDesign::Label:
        return new QLabel(parent);
    case ControlDesign::Indicator:
        return newIndicator(parent);
    case ControlDesign::EventList: {
        auto *list = new QListWidget(parent);
        list->setFont(eventListFont());
        list->setUniformItemSizes(true);
        return list;
    }
    case ControlDesign::Slider: {
        auto *slider = new QSlider(Qt::Horizontal, parent);
        slider->setSingleStep(kSliderStep);
        slider->setPageStep(kSliderPage);
        slider->setTickPosition(QSlider::TicksBelow);
        slider->setTickInterval(1);
        return slider;
    }
    case ControlDesign::StatusBar: {
        auto *bar = new QStatusBar(parent);
        bar->setSizeGripEnabled(false);
        return bar;
    }
    }
    return nullptr;
}

/// The control of the design that `name` names, once createControls has made it.
template<class T>
T *designed(const QObject &form, const char *name)
{
    return form.findChild<T *>(QString::fromLatin1(name));
}

QIcon programIcon()
{
    // The same drawings as the desktop's icon, one file a size; 16 and 24 px are simplified to
    // stay legible.
    QIcon icon;
    const QDir icons(QStringLiteral(":/icons"));
    for (const QString &file : icons.entryList({QStringLiteral("tornasquillo-*.png")}))
        icon.addFile(icons.filePath(file));
    return icon;
}

/// MSComm1: the serial line to the phone.
std::unique_ptr<SerialLine> makeMSComm1(const PortMap &ports)
{
    auto line = std::make_unique<QtSerialLine>(ports);
    line->setObjectName(QStringLiteral("MSComm1"));
    return line;
}

} // namespace

Form1::Form1(const PortMap &ports, QWidget *parent)
    : Form1(makeMSComm1(ports), std::make_unique<SteadyClock>(), std::make_unique<QtEventPump>(),
            parent)
{
}

Form1::Form1(std::unique_ptr<SerialLine> line, std::unique_ptr<Clock> clock,
             std::unique_ptr<EventPump> pump, QWidget *parent)
    : QWidget(parent), m_clock(std::move(clock)), m_pump(std::move(pump)),
      m_session(std::move(line), *m_clock, *m_pump, *this, *this)
{
    // "!ATTIVO!" changes on a pass of its own once a second, and only where it is shown.
    m_session.monitor().addDueTime([this] { return m_session.monitor().blinkDue(); });
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Tornasquillo v 1.0"));
    setWindowIcon(programIcon());

    createControls();
    wireConnections();
    applyTabOrder();

    setFixedSize(designRect(0, 0, kClientWidth, kClientHeight).size());
    if (const QScreen *where = screen())
        move(where->availableGeometry().center() - rect().center());

    Form_Load();
}

Form1::~Form1() = default;

void Form1::createControls()
{
    QWidget *frame = nullptr; // the frame that the options after it go into
    for (const ControlDesign &design : kControlDesigns) {
        QWidget *made = makeControl(design, design.kind == ControlDesign::Option ? frame : this);
        if (design.kind == ControlDesign::Frame)
            frame = made;
    }
    Command1 = designed<QPushButton>(*this, "Command1");
    Frame2 = designed<BorderlessGroup>(*this, "Frame2");
    Option3 = designed<QRadioButton>(*this, "Option3");
    Option4 = designed<QRadioButton>(*this, "Option4");
    Line1 = designed<QFrame>(*this, "Line1");
    Command3 = designed<QPushButton>(*this, "Command3");
    Label5 = designed<QLabel>(*this, "Label5");
    Label3 = designed<QLabel>(*this, "Label3");
    List2 = designed<QListWidget>(*this, "List2");
    Label1 = designed<QLabel>(*this, "Label1");
    Slider1 = designed<QSlider>(*this, "Slider1");
    Label2 = designed<QLabel>(*this, "Label2");
    Slider2 = designed<QSlider>(*this, "Slider2");
    Label4 = designed<QLabel>(*this, "Label4");
    Slider3 = designed<QSlider>(*this, "Slider3");
    StatusBar1 = designed<QStatusBar>(*this, "StatusBar1");

    Option3->setChecked(true);
    // The options grew to fit their captions; their frame grows to hold them.
    const QRect options = Frame2->childrenRect();
    Frame2->resize(Frame2->size().expandedTo(QSize(options.right() + 1, options.bottom() + 1)));
    Label3->setBuddy(List2);
    startSliders();
    createStatusPanels();
}

QWidget *Form1::makeControl(const ControlDesign &design, QWidget *parent)
{
    QWidget *control = newControl(design.kind, parent);
    control->setObjectName(QString::fromLatin1(design.name));
    QRect place = designRect(design.left, design.top, design.width, design.height);
    if (design.kind == ControlDesign::Line)
        place.setHeight(1);
    control->setGeometry(place);
    if (design.accessibleName)
        control->setAccessibleName(QString::fromUtf8(design.accessibleName));
    if (design.accessibleDescription)
        control->setAccessibleDescription(QString::fromUtf8(design.accessibleDescription));
    if (!design.caption)
        return control;
    if (auto *label = qobject_cast<QLabel *>(control))
        setCaption(label, QString::fromUtf8(design.caption));
    else if (auto *button = qobject_cast<QAbstractButton *>(control))
        button->setText(QString::fromUtf8(design.caption));
    // The design's sizes fit a smaller font than most desktops use: an option grows rather than
    // clip its caption.
    if (design.kind == ControlDesign::Option)
        control->resize(control->size().expandedTo(control->sizeHint()));
    return control;
}

void Form1::startSliders()
{
    struct SliderStart
    {
        QSlider *slider;
        QLabel *label;
        const SliderDesign &design;
        const QString &stem;
        const QString &unit;
    };
    const SliderStart sliders[] = {
        {Slider1, Label1, kSlider1Design, kLabel1Stem, kSeconds},
        {Slider2, Label2, kSlider2Design, kLabel2Stem, kSeconds},
        {Slider3, Label4, kSlider3Design, kLabel4Stem, kRings},
    };
    for (const auto &[slider, label, design, stem, unit] : sliders) {
        slider->setRange(design.minimum, design.maximum);
        slider->setValue(design.value);
        slider->setAccessibleName(stem.chopped(2)); // without the ": " before the value
        slider->setAccessibleDescription(unit.trimmed());
        setCaption(label, sliderCaption(stem, design.value, unit));
        label->setBuddy(slider);
    }
}

void Form1::createStatusPanels()
{
    // The panels are placed by hand: the status bar's own layout would add spacing and squeeze
    // them below their widths.
    struct PanelDesign
    {
        int left;
        int width;
        const char *text;
        const char *description;
    };
    const PanelDesign panels[] = {
        {0, 1440, "DISCONNESSO", "Stato della porta"},
        {1440, 4920, "Visita: https://tornasquillo.example.org", "Stato del telefono"},
        {6360, 1440, "ESCI", "Clic per uscire dal programma"},
    };
    for (int i = 0; i < int(m_panels.size()); ++i) {
        auto *panel = new StatusPanel(i + 1, StatusBar1);
        panel->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        panel->setGeometry(designRect(panels[i].left, 0, panels[i].width, 435));
        panel->setText(QString::fromLatin1(panels[i].text));
        panel->setAccessibleDescription(QString::fromLatin1(panels[i].description));
        m_panels[i] = panel;
    }
}

void Form1::wireConnections()
{
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    // Connected after the sliders got their start values, so the labels keep their stored
    // captions until the operator moves a slider.
    connect(Slider1, &QSlider::valueChanged, this, &Form1::Slider1_Scroll);
    connect(Slider2, &QSlider::valueChanged, this, &Form1::Slider2_Scroll);
    connect(Slider3, &QSlider::valueChanged, this, &Form1::Slider3_Scroll);
    for (StatusPanel *panel : m_panels)
        connect(panel, &StatusPanel::panelClicked, this, &Form1::StatusBar1_PanelClick);
}

void Form1::applyTabOrder()
{
    // The design's order, of which only these take the focus: StatusBar1, Frame2 and the labels
    // never do.
    QWidget *const order[] = {Command1, List2,   Option4, Option3,
                              Command3, Slider1, Slider2, Slider3};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

QRect Form1::designRect(int left, int top, int width, int height) const
{
    const qreal dpiX = logicalDpiX();
    const qreal dpiY = logicalDpiY();
    const int x = twipsToPixels(left, dpiX);
    const int y = twipsToPixels(top, dpiY);
    return QRect(x, y, twipsToPixels(left + width, dpiX) - x,
                 twipsToPixels(top + height, dpiY) - y);
}

void Form1::setCaption(QLabel *label, const QString &caption)
{
    label->setText(caption);
    label->resize(label->size().expandedTo(label->sizeHint()));
}

void Form1::Form_Load()
{
    m_flgtok = true;
    m_flgrisp = false;
    m_session.timer1().start();
}

void Form1::Command1_Click()
{
    m_session.portControl().Command1_Click();
}

void Form1::Command3_Click()
{
    m_flgrisp = !m_flgrisp;
    setLabel5Visible(m_flgrisp);
    // Label5 blinks, so it cannot tell a screen reader whether the responder is on; the button
    // can.
    Command3->setAccessibleDescription(m_flgrisp ? QStringLiteral("Risponditore attivo")
                                                 : QStringLiteral("Risponditore non attivo"));
}

void Form1::Slider1_Scroll()
{
    setCaption(Label1, sliderCaption(kLabel1Stem, Slider1->value(), kSeconds));
}

void Form1::Slider2_Scroll()
{
    setCaption(Label2, sliderCaption(kLabel2Stem, Slider2->value(), kSeconds));
}

void Form1::Slider3_Scroll()
{
    setCaption(Label4, sliderCaption(kLabel4Stem, Slider3->value(), kRings));
}

void Form1::StatusBar1_PanelClick(int panel)
{
    if (panel != 3)
        return;
    // With the port closed the reset answers "ERROR" at once; with a silent phone it takes the
    // exchange's full give-up, during which closing the window still ends the program at once.
    const QString answer = m_session.exchange().IOP(QStringLiteral("Z"));
    qCInfo(lcWindow).noquote() << tr("ESCI: the phone's reset answered %1").arg(answer);
    endProgram();
    close();
}

void Form1::closeEvent(QCloseEvent *event)
{
    endProgram();
    QWidget::closeEvent(event);
}

void Form1::endProgram()
{
    // Waits and exchanges still running below this handler return at once, so the event loop
    // can end without waiting for a call-back's seconds.
    if (m_session.end())
        emit programEnded();
}

void Form1::setPanelText(int panel, const QString &text)
{
    if (panel < 1 || panel > int(m_panels.size()))
        return;
    StatusPanel *target = m_panels[panel - 1];
    if (target->text() != text)
        target->setText(text);
}

void Form1::showPhoneState(const QString &panel2, const QString &sentence)
{
    setPanelText(2, panel2);
    if (!sentence.isEmpty())
        emit phoneStateChanged(sentence);
}

void Form1::setFrame2Enabled(bool enabled)
{
    Frame2->setEnabled(enabled);
}

bool Form1::isOption3Selected() const
{
    return Option3->isChecked();
}

int Form1::slider1Value() const
{
    return Slider1->value();
}

int Form1::slider2Value() const
{
    return Slider2->value();
}

int Form1::slider3Value() const
{
    return Slider3->value();
}

void Form1::setPanel2Text(const QString &text)
{
    setPanelText(2, text);
}

bool Form1::isLabel5Visible() const
{
    return !Label5->isHidden();
}

void Form1::setLabel5Visible(bool visible)
{
    if (Label5->isHidden() == visible)
        Label5->setVisible(visible);
}

void Form1::appendToList2(const QString &line)
{
    const CallRecord record = m_session.listEvent(line);
    auto *item = new EventItem(line, record.when, List2);
    // The padding that lines up the columns on screen is noise to a screen reader.
    item->setData(Qt::AccessibleTextRole, line.simplified());
    List2->scrollToItem(item);
    emit callLogged(record);
}

void Form1::beep()
{
    QApplication::beep();
}
