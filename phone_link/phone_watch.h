// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The phone watch: can a call reach the phone? After each start-up dialogue, and about every 30
// seconds while the monitor is idle, it asks the phone AT+CPIN? (the SIM), AT+CREG? (the network)
// and, when the phone is not registered, AT+CFUN? (the radio): one question an idle pass, each
// with a deadline of a few seconds, written once. Ring reports that cross a question go to the
// monitor as in any exchange. Panel 2 shows what keeps calls from arriving in place of "CONNESSO A
// <model>", and the model again once they can; each change is one journal line.
//
// It mends what it safely can: a radio found off is turned on (once while it stays off); a SIM
// that wants its PIN gets the PIN file's, when the SIM has at least two tries left (or cannot
// tell), at most once between two READYs, and never a PIN the SIM refused (see PinFile). A phone
// that leaves two questions in a row unanswered is silent: the port is closed and opened again,
// "AT" is asked every 10 seconds, and the start-up dialogue runs when it answers. A network lost
// is told after two answers in a row, 5 seconds apart, so a moment's search between two cells is
// no news. With AT+CREG=1 the phone reports its registration as it changes, and the round of
// questions comes once a minute while all is well. A question the phone does not know (ERROR) is
// not asked again in the run.

#include "at_exchange.h"
#include "phone_state.h"
#include "pin_file.h"

#include <QCoreApplication>
#include <QString>

#include <optional>

class Clock;
class EventPump;
class PortControl;
class PortView;
class SerialLine;
class StateFolder;

class PhoneWatch
{
    Q_DECLARE_TR_FUNCTIONS(PhoneWatch)

public:
    static constexpr double kAskEvery = 30.0;            ///< seconds between two rounds
    static constexpr double kAskEveryWithReports = 60.0; ///< the same while the phone reports
    static constexpr double kAskAgain = 5.0;     ///< after an unanswered or unsettled question
    static constexpr double kDeadline = 3.0;     ///< a question's answer comes within this
    static constexpr double kSetDeadline = 10.0; ///< a PIN entered or the radio turned on
    static constexpr double kProbeEvery = 10.0;  ///< "AT" to a silent phone
    static constexpr int kSilentAfter = 2;       ///< unanswered questions in a row
    static constexpr int kNoNetworkAfter = 2;    ///< answers in a row without a network

    PhoneWatch(AtExchange &exchange, SerialLine &line, Clock &clock, EventPump &pump,
               PortControl &portControl, PortView &view);

    /// The PIN file of --pin-file, and where its refusals are remembered.
    void setPinFile(const PinFile &pinFile, const StateFolder *folder);

    /// The start-up dialogue is over: registration reports to be set, and a round of questions due.
    void started();
    /// The monitor is idle (no call counted, looked up or called back): the next question, when
    /// one is due.
    void idle();
    /// The phone reported its registration (AT+CREG=1): a change is looked into at once.
    void registrationArrived(int stat);

    /// When the next question is due, on the clock; nothing is due while the port is closed.
    std::optional<double> nextQuestionDue() const;
    PhoneState state() const { return m_state; }

private:
    /// The next question: AT+CREG=1 after a start-up dialogue, then the round's three, or "AT"
    /// to a silent phone.
    enum class Step { Reports, Messages, Sim, Network, Radio, Probe };

    /// The answer, or nullopt when none came (counted: two in a row make the phone silent).
    std::optional<AtAnswer> question(const QString &command, double deadline);
    /// Whether the phone does not know the command (it answered ERROR): it is not asked again,
    /// and the journal says so once.
    bool unknown(const AtAnswer &answer, const QString &command, bool &notAsked);
    void askForReports();
    /// Text messages delivered to the port (AT+CNMI? mt 2 or 3) are set to be stored with a
    /// notice (mt 1): a message whose length the phone does not tell cannot be told from the
    /// reports that follow it, and a message delivered to the port is not stored at all.
    void keepMessagesOffTheLine();
    void askSim();
    void askNetwork();
    void askRadio();
    void probe();
    void networkAnswer(std::optional<int> stat);
    void simWantsPin();
    void pinRefused(const QString &key, const QString &answer);
    /// Keeps the PIN entered (empty: none) in the state folder, as well as in the run.
    void setEntered(const QString &key);
    /// The SIM's PIN tries left, where the phone tells them without spending one.
    std::optional<int> pinTriesLeft();
    void turnRadioOn();
    void silent();
    void tell(PhoneState state, const QString &sentence);
    void askIn(Step step, double seconds);
    void endRound();
    double now() const;

    AtExchange &m_exchange;
    SerialLine &m_line;
    Clock &m_clock;
    EventPump &m_pump;
    PortControl &m_portControl;
    PortView &m_view;
    PinFile m_pinFile{QString()};
    const StateFolder *m_folder = nullptr;

    bool m_running = false; ///< from a start-up dialogue until the port closes
    Step m_step = Step::Sim;
    double m_nextAsk = 0;
    PhoneState m_state = PhoneState::Ready;
    bool m_panelShown = true; ///< panel 2 shows m_state
    bool m_reports = false;   ///< the phone took AT+CREG=1
    int m_unanswered = 0;
    int m_noNetworkAnswers = 0;
    std::optional<int> m_stat; ///< the registration state the round found
    bool m_radioTurnedOn = false;
    bool m_noCpin = false;
    bool m_noCreg = false;
    bool m_noCfun = false;
    bool m_noCnmi = false;
    bool m_toldMessages = false;
    /// The tries-left questions the phone does not know, a bit each.
    unsigned m_noTriesQuery = 0;
    /// The key of the PIN entered since the SIM was last ready, in this run or (from the state
    /// folder, read once) an earlier one.
    QString m_enteredKey;
    bool m_entryRead = false;
    /// The refused keys of this run, should the state folder fail to keep them.
    QStringList m_refusedKeys;
    /// What the journal was last told about the PIN file, so it is told once.
    QString m_pinNote;
};
