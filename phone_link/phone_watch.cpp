// SPDX-License-Identifier: GPL-3.0-or-later
#include "phone_watch.h"

#include "clock.h"
#include "event_pump.h"
#include "link_log.h"
#include "phone_reports.h"
#include "port_control.h"
#include "serial_line.h"
#include "state_folder.h"

#include <algorithm>
#include <iterator>

Q_LOGGING_CATEGORY(lcStatus, "tornasquillo.status", QtInfoMsg)

namespace {

/// How a phone tells the SIM PIN's tries left without spending one: the command, the prefix of
/// its answer's line, the field that holds the tries, and the code the line must name, if any.
struct TriesQuery
{
    const char *command;
    QStringView prefix;
    int field;
    QStringView code;
};

constexpr TriesQuery kTriesQueries[] = {
    {"+CPINR=\"SIM PIN\"", u"+CPINR:", 1, u"SIM PIN"}, // 3GPP TS 27.007
    {"+QPINC=\"SC\"", u"+QPINC:", 1, u"SC"},           // Quectel
    {"+SPIC", u"+SPIC:", 0, {}},                       // SIMCom
    {"^CPIN?", u"^CPIN:", 3, {}},                      // Huawei: <code>,<times>,<puk>,<pin>
};

std::optional<int> triesIn(const AtAnswer &answer, const TriesQuery &query)
{
    if (answer.final != u"OK")
        return std::nullopt;
    for (const QString &line : answer.info) {
        if (!line.startsWith(query.prefix, Qt::CaseInsensitive))
            continue;
        const QList<QStringView> fields = QStringView(line).sliced(query.prefix.size()).split(u',');
        if (!query.code.isEmpty() && unquoted(fields[0]).compare(query.code, Qt::CaseInsensitive))
            continue;
        if (query.field < fields.size())
            return leadingNumber(fields[query.field].trimmed());
    }
    return std::nullopt;
}

} // namespace

PhoneWatch::PhoneWatch(AtExchange &exchange, SerialLine &line, Clock &clock, EventPump &pump,
                       PortControl &portControl, PortView &view)
    : m_exchange(exchange), m_line(line), m_clock(clock), m_pump(pump), m_portControl(portControl),
      m_view(view)
{
}

void PhoneWatch::setPinFile(const PinFile &pinFile, const StateFolder *folder)
{
    m_pinFile = pinFile;
    m_folder = folder;
}

double PhoneWatch::now() const
{
    return m_clock.seconds();
}

void PhoneWatch::started()
{
    m_running = true;
    m_panelShown = m_state == PhoneState::Ready;
    m_unanswered = 0;
    m_noNetworkAnswers = 0;
    askIn(Step::Reports, 0);
}

std::optional<double> PhoneWatch::nextQuestionDue() const
{
    if (!m_running || !m_line.isOpen())
        return std::nullopt;
    return m_nextAsk;
}

void PhoneWatch::idle()
{
    if (!m_running || !m_line.isOpen() || now() < m_nextAsk)
        return;
    switch (m_step) {
    case Step::Reports:
        askForReports();
        break;
    case Step::Messages:
        keepMessagesOffTheLine();
        break;
    case Step::Sim:
        askSim();
        break;
    case Step::Network:
        askNetwork();
        break;
    case Step::Radio:
        askRadio();
        break;
    case Step::Probe:
        probe();
        break;
    }
}

void PhoneWatch::registrationArrived(int stat)
{
    if (!m_running || (networkState(stat) == PhoneState::Ready && m_state == PhoneState::Ready))
        return;
    if (m_step == Step::Sim || m_step == Step::Network || m_step == Step::Radio)
        askIn(Step::Sim, 0);
}

void PhoneWatch::askIn(Step step, double seconds)
{
    m_step = step;
    m_nextAsk = now() + seconds;
}

void PhoneWatch::endRound()
{
    askIn(Step::Sim, m_reports && m_state == PhoneState::Ready ? kAskEveryWithReports : kAskEvery);
}

std::optional<AtAnswer> PhoneWatch::question(const QString &command, double deadline)
{
    AtAnswer answer = m_exchange.ask(command, deadline);
    if (answer.answered()) {
        m_unanswered = 0;
        return answer;
    }
    if (!m_line.isOpen() || m_pump.isStopping()) {
        // Closed or lost meanwhile: that says nothing of the phone, and the next start-up
        // dialogue starts the questions again.
        m_running = false;
        return std::nullopt;
    }
    if (++m_unanswered >= kSilentAfter)
        silent();
    else
        m_nextAsk = now() + kAskAgain;
    return std::nullopt;
}

bool PhoneWatch::unknown(const AtAnswer &answer, const QString &command, bool &notAsked)
{
    if (answer.final != u"ERROR")
        return false;
    notAsked = true;
    qCInfo(lcLink).noquote()
        << tr("the phone does not know AT%1 (it answered ERROR): it is not asked again")
               .arg(command);
    return true;
}

void PhoneWatch::askForReports()
{
    // ATZ may have turned the reports off; a phone without them is asked more often.
    const std::optional<AtAnswer> answer = question(QStringLiteral("+CREG=1"), kDeadline);
    if (!answer)
        return;
    m_reports = answer->final == u"OK";
    askIn(Step::Messages, 0);
}

void PhoneWatch::keepMessagesOffTheLine()
{
    if (m_noCnmi)
        return askSim();
    const QString command = QStringLiteral("+CNMI?");
    const std::optional<AtAnswer> answer = question(command, kDeadline);
    if (!answer)
        return;
    askIn(Step::Sim, 0);
    if (unknown(*answer, command, m_noCnmi) || answer->final != u"OK")
        return;
    const MessageRouting routing = messageRouting(answer->value(u"+CNMI:"));
    if (routing.storeCommand.isEmpty())
        return;
    const QString &set = routing.storeCommand;
    const AtAnswer done = m_exchange.ask(set, kDeadline);
    if (std::exchange(m_toldMessages, true))
        return;
    if (done.final == u"OK")
        qCInfo(lcLink).noquote()
            << tr("text messages came to the port (AT+CNMI? mt %1): they are stored with a notice "
                  "now (AT%2), so that none is lost or read as the phone's report")
                   .arg(*routing.mt)
                   .arg(set);
    else
        qCWarning(lcLink).noquote()
            << tr("text messages come to the port (AT+CNMI? mt %1) and AT%2 answered %3: a "
                  "message of several lines may be read as the phone's reports")
                   .arg(*routing.mt)
                   .arg(set, done.answered() ? done.final : tr("nothing"));
}

void PhoneWatch::askSim()
{
    if (m_noCpin)
        return askNetwork();
    const QString command = QStringLiteral("+CPIN?");
    const std::optional<AtAnswer> answer = question(command, kDeadline);
    if (!answer)
        return;
    if (unknown(*answer, command, m_noCpin))
        return askIn(Step::Network, 0);
    const QString code = answer->value(u"+CPIN:");
    const std::optional<PhoneState> sim = simState(answer->final, code);
    if (sim == PhoneState::Ready) {
        // An accepted PIN is not a refused one: a SIM locked again later gets it again, once.
        if (m_pinFile.isSet() && (!m_entryRead || !m_enteredKey.isEmpty()))
            setEntered(QString());
        return askIn(Step::Network, 0);
    }
    m_noNetworkAnswers = 0;
    if (sim == PhoneState::SimPin)
        simWantsPin();
    else if (sim)
        tell(*sim, phoneStateSentence(*sim, unquoted(code)));
    // A SIM that is busy for a moment, or just took its PIN, is asked again soon.
    if (!sim || !m_enteredKey.isEmpty())
        return askIn(Step::Sim, kAskAgain);
    endRound();
}

void PhoneWatch::askNetwork()
{
    if (m_noCreg)
        return askRadio();
    const QString command = QStringLiteral("+CREG?");
    const std::optional<AtAnswer> answer = question(command, kDeadline);
    if (!answer)
        return;
    if (unknown(*answer, command, m_noCreg))
        return askIn(Step::Radio, 0);
    m_stat.reset();
    for (const QString &line : answer->info) {
        if (phoneReport(line) == PhoneReport::Other && registrationStat(line)) {
            m_stat = registrationStat(line);
            break;
        }
    }
    if (m_stat && networkState(*m_stat) == PhoneState::Ready)
        return networkAnswer(m_stat);
    // Not registered: the radio may be off. A phone that answers without a state says nothing.
    if (m_stat)
        return askIn(Step::Radio, 0);
    endRound();
}

void PhoneWatch::askRadio()
{
    if (!m_noCfun) {
        const QString command = QStringLiteral("+CFUN?");
        const std::optional<AtAnswer> answer = question(command, kDeadline);
        if (!answer)
            return;
        const std::optional<int> fun =
            answer->final == u"OK" ? leadingNumber(answer->value(u"+CFUN:")) : std::nullopt;
        if (fun && isRadioOff(*fun))
            return turnRadioOn();
        if (!fun)
            unknown(*answer, command, m_noCfun);
    }
    m_radioTurnedOn = false;
    networkAnswer(m_noCreg ? std::nullopt : m_stat);
}

void PhoneWatch::networkAnswer(std::optional<int> stat)
{
    const PhoneState network = stat ? networkState(*stat) : PhoneState::Ready;
    if (network == PhoneState::Ready) {
        m_noNetworkAnswers = 0;
        m_radioTurnedOn = false;
        tell(PhoneState::Ready, phoneStateSentence(PhoneState::Ready));
        return endRound();
    }
    if (++m_noNetworkAnswers < kNoNetworkAfter)
        return askIn(Step::Sim, kAskAgain);
    tell(network, phoneStateSentence(network, QString::number(*stat)));
    endRound();
}

void PhoneWatch::turnRadioOn()
{
    tell(PhoneState::RadioOff,
         tr("%1: turning it on").arg(phoneStateSentence(PhoneState::RadioOff)));
    if (!std::exchange(m_radioTurnedOn, true)) {
        const AtAnswer answer = m_exchange.ask(QStringLiteral("+CFUN=1"), kSetDeadline);
        if (answer.final != u"OK")
            qCWarning(lcStatus).noquote()
                << tr("AT+CFUN=1 answered %1: the radio stays off; it is not turned on again "
                      "while it stays off")
                       .arg(answer.answered() ? answer.final : tr("nothing"));
    }
    // Registering takes the phone a few seconds once its radio is on.
    askIn(Step::Sim, 2 * kAskAgain);
}

void PhoneWatch::silent()
{
    tell(PhoneState::Silent, phoneStateSentence(PhoneState::Silent));
    m_portControl.reopen();
    askIn(Step::Probe, kProbeEvery);
}

void PhoneWatch::probe()
{
    const AtAnswer answer = m_exchange.ask(QString(), kDeadline);
    if (!answer.answered()) {
        if (m_line.isOpen() && !m_pump.isStopping())
            askIn(Step::Probe, kProbeEvery);
        return;
    }
    qCInfo(lcStatus).noquote() << tr("the phone answers again: the start-up dialogue runs");
    m_running = false;
    m_portControl.startUp();
}

void PhoneWatch::tell(PhoneState state, const QString &sentence)
{
    const bool changed = state != m_state;
    if (changed) {
        m_state = state;
        qCInfo(lcStatus).noquote() << sentence;
    }
    if (!changed && m_panelShown)
        return;
    m_panelShown = true;
    const QString panel = state == PhoneState::Ready
                              ? QStringLiteral("CONNESSO A ") + m_portControl.model()
                              : phoneStatePanel(state);
    m_view.showPhoneState(panel, changed ? sentence : QString());
}

void PhoneWatch::simWantsPin()
{
    tell(PhoneState::SimPin, phoneStateSentence(PhoneState::SimPin));
    if (!m_pinFile.isSet())
        return;
    QString note;
    const std::optional<PinFile::Contents> pin = m_pinFile.read(&note);
    if (pin && (m_refusedKeys.contains(pin->key) ||
                (m_folder && PinFile::isRefused(*m_folder, pin->key)))) {
        tell(PhoneState::PinRefused, phoneStateSentence(PhoneState::PinRefused, m_pinFile.path()));
        return;
    }
    if (pin && !m_entryRead && m_folder)
        m_enteredKey = PinFile::lastEntry(*m_folder);
    m_entryRead = true;
    if (pin && pin->key == m_enteredKey)
        return pinRefused(pin->key, tr("the phone still asks for it"));
    const std::optional<int> tries = pin ? pinTriesLeft() : std::nullopt;
    if (pin && tries && *tries < 2)
        note = tr("the SIM has %n PIN try(s) left: the PIN of %1 is not entered, the last try is "
                  "left to a person",
                  nullptr, *tries)
                   .arg(m_pinFile.path());
    if (!note.isEmpty()) {
        if (std::exchange(m_pinNote, note) != note)
            qCWarning(lcStatus).noquote() << note;
        return;
    }
    m_pinNote.clear();
    setEntered(pin->key);
    qCInfo(lcStatus).noquote()
        << (tries ? tr("entering the PIN of %1 (the SIM has %n try(s) left)", nullptr, *tries)
                  : tr("entering the PIN of %1 (the phone does not tell the tries left)"))
               .arg(m_pinFile.path());
    const AtAnswer answer =
        m_exchange.ask(QStringLiteral("+CPIN=\"%1\"").arg(pin->pin), kSetDeadline);
    if (answer.final == u"OK") {
        // Taken: a later run may enter it again. Whether the SIM is now ready, the next AT+CPIN?
        // tells; still asking for it, it counts as refused in this run.
        if (m_folder)
            PinFile::rememberEntry(*m_folder, QString(), nullptr);
        qCInfo(lcStatus).noquote() << tr("the phone took the PIN of %1").arg(m_pinFile.path());
    } else if (answer.answered())
        pinRefused(pin->key, answer.final);
    // No answer: whether it was taken, the next AT+CPIN? tells.
}

void PhoneWatch::setEntered(const QString &key)
{
    m_enteredKey = key;
    m_entryRead = true;
    QString error;
    if (m_folder && !PinFile::rememberEntry(*m_folder, key, &error) && !key.isEmpty())
        qCWarning(lcStatus).noquote()
            << tr("cannot note the PIN's entry in %1 (%2): should the run end before the SIM "
                  "takes it, a later run may enter it once more")
                   .arg(m_folder->path(), error);
}

void PhoneWatch::pinRefused(const QString &key, const QString &answer)
{
    setEntered(QString());
    m_refusedKeys << key;
    QString error;
    if (m_folder && !PinFile::rememberRefusal(*m_folder, key, &error))
        qCWarning(lcStatus).noquote()
            << tr("cannot remember the refused PIN in %1 (%2): a later run may enter it once "
                  "more")
                   .arg(m_folder->path(), error);
    const std::optional<int> tries = pinTriesLeft();
    const QString left = tries ? tr("the SIM has %n try(s) left", nullptr, *tries)
                               : tr("the phone does not tell the tries left");
    tell(PhoneState::PinRefused,
         phoneStateSentence(PhoneState::PinRefused,
                            tr("%1 (%2; %3)", "the PIN file, the phone's answer, the tries left")
                                .arg(m_pinFile.path(), answer, left)));
}

std::optional<int> PhoneWatch::pinTriesLeft()
{
    for (std::size_t i = 0; i < std::size(kTriesQueries); ++i) {
        if (m_noTriesQuery & (1u << i))
            continue;
        const TriesQuery &query = kTriesQueries[i];
        const AtAnswer answer = m_exchange.ask(QString::fromLatin1(query.command), kDeadline);
        if (!answer.answered())
            return std::nullopt;
        if (const std::optional<int> tries = triesIn(answer, query))
            return tries;
        // Not this phone's way of telling; the next one is tried, and this one not again.
        m_noTriesQuery |= 1u << i;
    }
    return std::nullopt;
}
