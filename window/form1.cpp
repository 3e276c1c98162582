// SPDX-License-Identifier: GPL-3.0-or-later
#include "form1.h"

#include "call_log/call_record.h"
#include "controls.h"
#include "phone_link/clock.h"
#include "phone_link/event_pump.h"
#include "phone_link/qt_serial_line.h"
#include "slider_design.h"
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
#include <QTimer>

Q_LOGGING_CATEGORY(lcWindow, "tornasquillo.window", QtInfoMsg)

namespace {

const QString kLabel1Stem = QStringLiteral("Tempo attesa prima di chiudere la chiamata: ");
const QString kLabel2Stem = QStringLiteral("Tempo attesa prima di ripondere allo squillo: ");
const QString kLabel4Stem = QStringLiteral("Numero squilli per considerare il richiamo: ");
const QString kSeconds = QStringLiteral(" sec");
const QString kRings = QStringLiteral(" squilli");

constexpr int kClientWidth = 7860; // twips
constexpr int kClientHeight = 7185;
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
    Command1 = new QPushButton(QStringLiteral("APRI / CHIUDI PORTA"), this);
    Command1->setGeometry(designRect(60, 60, 6375, 495));

    Frame2 = new BorderlessGroup(this);
    Frame2->setGeometry(designRect(6480, 60, 915, 435));
    Frame2->setAccessibleName(QStringLiteral("Porta seriale"));
    Option3 = new QRadioButton(QStringLiteral("COM 1"), Frame2);
    Option3->setGeometry(designRect(0, 0, 855, 195));
    Option3->setChecked(true);
    Option4 = new QRadioButton(QStringLiteral("COM 2"), Frame2);
    Option4->setGeometry(designRect(0, 240, 915, 195));
    // The design's sizes fit a smaller font than most desktops use: the options and their frame
    // grow rather than clip the captions.
    for (QRadioButton *option : {Option3, Option4})
        option->resize(option->size().expandedTo(option->sizeHint()));
    const QRect options = Frame2->childrenRect();
    Frame2->resize(Frame2->size().expandedTo(QSize(options.right() + 1, options.bottom() + 1)));

    Line1 = new QFrame(this);
    Line1->setFrameStyle(QFrame::HLine | QFrame::Plain);
    Line1->setLineWidth(1);
    QRect line = designRect(0, 630, 7875, 0);
    line.setHeight(1);
    Line1->setGeometry(line);

    Command3 = new QPushButton(QStringLiteral("Attiva / Disattiva tornasquillo"), this);
    Command3->setGeometry(designRect(45, 720, 6360, 420));
    Command3->setAccessibleDescription(QStringLiteral("Risponditore non attivo"));

    Label5 = new QLabel(this);
    Label5->setTextFormat(Qt::PlainText);
    Label5->setFont(QFont(QStringLiteral("Arial"), 16, QFont::Bold));
    Label5->setAlignment(Qt::AlignCenter);
    Label5->setAutoFillBackground(true);
    QPalette indicator = Label5->palette();
    indicator.setColor(QPalette::Window, Qt::yellow);
    Label5->setPalette(indicator);
    Label5->setGeometry(designRect(6435, 765, 1365, 360));
    Label5->setAccessibleDescription(QStringLiteral("Risponditore attivo"));
    setCaption(Label5, QStringLiteral("!ATTIVO!"));
    Label5->hide();

    Label3 = new QLabel(this);
    Label3->setGeometry(designRect(90, 1260, 900, 195));
    setCaption(Label3, QStringLiteral("Lista eventi :"));

    List2 = new QListWidget(this);
    List2->setGeometry(designRect(45, 1485, 7755, 2370));
    List2->setFont(eventListFont());
    List2->setAccessibleName(QStringLiteral("Lista eventi"));
    List2->setAccessibleDescription(QStringLiteral("Una riga per ogni chiamata ricevuta"));
    List2->setUniformItemSizes(true);
    Label3->setBuddy(List2);

    auto makeSlider = [this](const SliderDesign &design, const QString &stem, const QString &unit,
                             QLabel *label) {
        auto *slider = new QSlider(Qt::Horizontal, this);
        slider->setRange(design.minimum, design.maximum);
        slider->setValue(design.value);
        slider->setSingleStep(kSliderStep);
        slider->setPageStep(kSliderPage);
        slider->setTickPosition(QSlider::TicksBelow);
        slider->setTickInterval(1);
        slider->setAccessibleName(stem.chopped(2)); // without the ": " before the value
        slider->setAccessibleDescription(unit.trimmed());
        setCaption(label, sliderCaption(stem, design.value, unit));
        label->setBuddy(slider);
        return slider;
    };

    Label1 = new QLabel(this);
    Label1->setGeometry(designRect(135, 4095, 3645, 195));
    Slider1 = makeSlider(kSlider1Design, kLabel1Stem, kSeconds, Label1);
    Slider1->setGeometry(designRect(90, 4365, 7665, 510));

    Label2 = new QLabel(this);
    Label2->setGeometry(designRect(135, 4950, 3510, 195));
    Slider2 = makeSlider(kSlider2Design, kLabel2Stem, kSeconds, Label2);
    Slider2->setGeometry(designRect(90, 5220, 7665, 510));

    Label4 = new QLabel(this);
    Label4->setGeometry(designRect(135, 5805, 3450, 195));
    Slider3 = makeSlider(kSlider3Design, kLabel4Stem, kRings, Label4);
    Slider3->setGeometry(designRect(90, 6075, 7665, 510));

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setGeometry(designRect(0, 6750, kClientWidth, 435));
    StatusBar1->setAccessibleName(QStringLiteral("Barra di stato"));
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

    Timer1 = new QTimer(this);
    Timer1->setTimerType(Qt::PreciseTimer);
    Timer1->setInterval(1);

    const std::pair<QObject *, const char *> names[] = {
        {Command1, "Command1"},     {Frame2, "Frame2"},   {Option3, "Option3"},
        {Option4, "Option4"},       {Line1, "Line1"},     {Command3, "Command3"},
        {Label5, "Label5"},         {Label3, "Label3"},   {List2, "List2"},
        {Label1, "Label1"},         {Label2, "Label2"},   {Label4, "Label4"},
        {Slider1, "Slider1"},       {Slider2, "Slider2"}, {Slider3, "Slider3"},
        {StatusBar1, "StatusBar1"}, {Timer1, "Timer1"},
    };
    for (const auto &[object, name] : names)
        object->setObjectName(QString::fromLatin1(name));
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
    connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
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
    Timer1->start();
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

void Form1::Timer1_Timer()
{
    m_session.monitor().Timer1_Timer();
}

void Form1::closeEvent(QCloseEvent *event)
{
    endProgram();
    QWidget::closeEvent(event);
}

void Form1::endProgram()
{
    if (m_ended)
        return;
    m_ended = true;
    // Waits and exchanges still running below this handler return at once, so the event loop
    // can end without waiting for a call-back's seconds.
    m_pump->requestStop();
    m_session.line().close();
    emit programEnded();
}

void Form1::setPanelText(int panel, const QString &text)
{
    if (panel < 1 || panel > int(m_panels.size()))
        return;
    // While the port is closed the monitor writes panel 2 on every millisecond's tick.
    StatusPanel *target = m_panels[panel - 1];
    if (target->text() != text)
        target->setText(text);
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
    const QDateTime when = m_clock->wallTime();
    auto *item = new EventItem(line, when, List2);
    // The padding that lines up the columns on screen is noise to a screen reader.
    item->setData(Qt::AccessibleTextRole, line.simplified());
    List2->scrollToItem(item);

    const CallRecord record = CallRecord::of(line, when);
    journalCall(record);
    emit callLogged(record);
}

void Form1::beep()
{
    QApplication::beep();
}
