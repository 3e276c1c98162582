// SPDX-License-Identifier: GPL-3.0-or-later
// What each item of the phone check asks and what the phone's answers mean for Tornasquillo.
#include "phone_check.h"

#include "call_log/handled_call.h"
#include "phone_link/at_exchange.h"
#include "phone_link/caller_entry.h"
#include "phone_link/phone_reports.h"
#include "phone_link/phone_state.h"

#include <optional>

namespace {

/// The first field of a read answer ("1,1" gives 1); nullopt when it is not a number.
std::optional<int> firstNumber(const QString &value)
{
    bool ok = false;
    const int number = value.section(u',', 0, 0).trimmed().toInt(&ok);
    return ok ? std::optional(number) : std::nullopt;
}

} // namespace

void PhoneCheck::checkIdentity()
{
    const CheckReply maker = ask(QStringLiteral("+CGMI"));
    const CheckReply model = ask(QStringLiteral("+CGMM"));
    if (stopped())
        return;
    // Some phones put the command's name before the text.
    const auto text = [](const CheckReply &reply, QStringView prefix) {
        const QString line = reply.info.value(0);
        return line.startsWith(prefix, Qt::CaseInsensitive) ? line.mid(prefix.size()).trimmed()
                                                            : line;
    };
    if (model.isOk() && !model.info.isEmpty()) {
        say(Level::Ok, tr("maker \"%1\", model \"%2\".")
                           .arg(maker.isOk() ? text(maker, u"+CGMI:") : QStringLiteral("?"),
                                text(model, u"+CGMM:")));
    } else {
        say(Level::Warning,
            tr("the phone does not give its model (AT+CGMM answered %1): Tornasquillo shows "
               "\"CONNESSO A \" and what it answers.")
                .arg(model.describe()));
    }
}

void PhoneCheck::checkMissedCalls()
{
    const CheckReply lists = ask(QStringLiteral("+CPBS=?"));
    const CheckReply select = ask(QStringLiteral("+CPBS=MC"));
    // As Tornasquillo does: a phone that answers ERROR to the unquoted storage is asked once
    // more with it in quotes, as 3GPP TS 27.007 writes it.
    const bool askQuoted = select.isFinal() && select.final == u"ERROR";
    const CheckReply quoted = askQuoted ? ask(QStringLiteral("+CPBS=\"MC\"")) : CheckReply{};
    if (stopped())
        return;
    const QString listed = lists.value(u"+CPBS:");
    const bool hasMc = listed.contains(QLatin1String("\"MC\""), Qt::CaseInsensitive);
    const bool listedWithoutMc = lists.isOk() && !listed.isEmpty() && !hasMc;
    if (!select.isOk() && !quoted.isOk()) {
        const QString why = askQuoted ? tr("AT+CPBS=MC answered %1 and AT+CPBS=\"MC\" %2")
                                            .arg(select.describe(), quoted.describe())
                                      : tr("AT+CPBS=MC answered %1").arg(select.describe());
        if (listedWithoutMc)
            reportNoLookup(tr("the phone has no missed-call list \"MC\" (AT+CPBS=? lists %1; %2)")
                               .arg(listed, why),
                           true);
        else
            reportNoLookup(tr("the missed-call list \"MC\" cannot be selected (%1)").arg(why),
                           false);
        return;
    }
    if (lists.isOk() && hasMc)
        say(Level::Ok, tr("the phone has a missed-call list \"MC\" (AT+CPBS=?)."));
    else if (listedWithoutMc)
        say(Level::Ok, tr("AT+CPBS=? lists %1, without \"MC\", but the missed-call list \"MC\" "
                          "can be selected.")
                           .arg(listed));
    else
        say(Level::Warning, tr("AT+CPBS=? answered %1: the phone does not say which lists it has.")
                                .arg(lists.describe()));
    if (select.isOk())
        say(Level::Ok, tr("AT+CPBS=MC, unquoted as Tornasquillo sends it, answers OK."));
    else
        say(Level::Ok, tr("AT+CPBS=MC, unquoted, answered %1, but the quoted form "
                          "AT+CPBS=\"MC\" answers OK: Tornasquillo asks again in that form.")
                           .arg(select.describe()));
    checkFirstMissedCall();
}

void PhoneCheck::checkFirstMissedCall()
{
    const CheckReply entry = ask(QStringLiteral("+CPBR=1"));
    if (stopped())
        return;
    const QString line = entry.value(u"+CPBR:");
    if (entry.isOk() && entry.info.isEmpty()) {
        say(Level::Ok, tr("the missed-call list is empty (AT+CPBR=1); after a missed call it "
                          "must give the caller's number in quotes."));
        return;
    }
    if (!entry.isOk() || line.isNull()) {
        const Level level = entry.isFinal() ? Level::Warning : Level::Problem;
        say(level, tr("AT+CPBR=1 answered %1: entry 1 of the missed-call list cannot be read. "
                      "Some phones answer so while the list is empty: let the phone ring once, "
                      "then check again.")
                       .arg(entry.describe()));
        return;
    }
    const std::optional<CallerEntry> caller = readCallerEntry(line);
    if (!caller) {
        say(Level::Problem, tr("entry 1 of the missed-call list has no number in quotes (%1): "
                               "every caller would be logged as \"%2\".")
                                .arg(line, kUnknownCaller));
        return;
    }
    const QString &number = caller->number;
    const bool international = caller->type == CallerEntry::kInternational;
    if (international && !number.startsWith(u'+'))
        say(Level::Ok, tr("entry 1 of the missed-call list is \"%1\", an international number "
                          "without its \"+\" (type 145): Tornasquillo dials it with the \"+\".")
                           .arg(number));
    else
        say(Level::Ok, tr("entry 1 of the missed-call list is \"%1\".").arg(number));
}

/// A setting the check reads as a number: `good` is the value Tornasquillo needs and any other
/// is bad. Its texts, in English and translated when said, take the value for %1, or for
/// unclearText what the phone answered. Every field has an initializer, so a row names only the
/// fields it needs.
struct PhoneCheck::Setting
{
    /// "+CRC": read with "+CRC?", answered "+CRC: n", set with "+CRC=0". A basic S-register
    /// ("S0") is answered with its value alone.
    QString name{};
    int good = 0;
    Level badLevel = Level::Problem;
    const char *goodText = nullptr;
    const char *badText = nullptr;
    /// How many of IOP's limits badText takes after the value: %2 the seconds a command waits,
    /// %3 how often it is re-sent.
    int limits = 0;
    const char *fixWhat = nullptr; ///< the fix in a few words, for the list of fixes sent
    /// What "ERROR" to the question means: the phone lacks the setting. None where it tells
    /// nothing.
    const char *absentText = nullptr;
    const char *unclearText = nullptr; ///< for any other answer
    const char *note = nullptr;        ///< a sentence said after whichever text of the row
    /// Tornasquillo works with every value: the row only says what was read, always "ok".
    bool anyValue = false;
    /// Asked together with the next row: neither is reported unless both are answered.
    bool askedWithNext = false;
    /// For a setting whose answers mean something else: judges the answer instead.
    void (PhoneCheck::*judgeOwn)(const CheckReply &) = nullptr;
};

/// The settings that checkSettings() reads, in the order they are asked.
const PhoneCheck::Setting PhoneCheck::kSettings[] = {
    {.name = QStringLiteral("+CRC"),
     .goodText = QT_TRANSLATE_NOOP("PhoneCheck", "the phone's setting is +CRC=%1 (AT+CRC?)."),
     .absentText =
         QT_TRANSLATE_NOOP("PhoneCheck", "the phone has no +CRC (AT+CRC? answered \"ERROR\")."),
     .unclearText = QT_TRANSLATE_NOOP("PhoneCheck", "AT+CRC? answered %1."),
     .note = QT_TRANSLATE_NOOP("PhoneCheck",
                               "Tornasquillo counts rings reported as \"RING\" and as \"+CRING: "
                               "VOICE\" alike."),
     .anyValue = true,
     .askedWithNext = true},
    {.name = QStringLiteral("+CLIP"), .judgeOwn = &PhoneCheck::checkCallerId},
    {.name = QStringLiteral("+COLP"),
     .goodText = QT_TRANSLATE_NOOP("PhoneCheck", "a dial is answered at once (AT+COLP? is %1)."),
     .badText = QT_TRANSLATE_NOOP(
         "PhoneCheck", "a dial is answered only when the callee picks up (AT+COLP? is "
                       "%1): Tornasquillo's call-back would be hung up then, or after %2 "
                       "seconds of ringing, never after its set time."),
     .limits = 1,
     .fixWhat = QT_TRANSLATE_NOOP("PhoneCheck", "dials answered at once"),
     .absentText =
         QT_TRANSLATE_NOOP("PhoneCheck", "the phone has no +COLP: a dial is answered at once."),
     .unclearText = QT_TRANSLATE_NOOP("PhoneCheck",
                                      "AT+COLP? answered %1: cannot tell when a dial is answered."),
     .askedWithNext = true},
    {.name = QStringLiteral("+CVHU"), .judgeOwn = &PhoneCheck::checkHangUp},
    {.name = QStringLiteral("S0"),
     .goodText =
         QT_TRANSLATE_NOOP("PhoneCheck", "the phone does not answer calls itself (ATS0? is %1)."),
     .badText = QT_TRANSLATE_NOOP(
         "PhoneCheck", "the phone answers a call itself after %1 rings (ATS0? is %1): the "
                       "caller would be connected to nobody, and the call would not be "
                       "in the missed-call list."),
     .fixWhat = QT_TRANSLATE_NOOP("PhoneCheck", "no auto-answer"),
     .unclearText =
         QT_TRANSLATE_NOOP("PhoneCheck", "ATS0? answered %1: cannot tell whether the phone answers "
                                         "calls itself.")},
    {.name = QStringLiteral("+CMEE"),
     .badLevel = Level::Warning,
     .goodText =
         QT_TRANSLATE_NOOP("PhoneCheck", "errors are reported as \"ERROR\" (AT+CMEE? is %1)."),
     .badText = QT_TRANSLATE_NOOP("PhoneCheck",
                                  "errors are reported as \"+CME ERROR: ...\" (AT+CMEE? is %1), "
                                  "which Tornasquillo does not take for an answer: a command that "
                                  "fails, such as reading an empty missed-call list, waits %2 "
                                  "seconds for an answer it takes (the up to %3 re-sends go out "
                                  "back to back at the end of that wait)."),
     .limits = 2,
     .fixWhat = QT_TRANSLATE_NOOP("PhoneCheck", "errors reported as ERROR"),
     .absentText = QT_TRANSLATE_NOOP("PhoneCheck",
                                     "the phone has no +CMEE: errors are reported as \"ERROR\"."),
     .unclearText = QT_TRANSLATE_NOOP(
         "PhoneCheck", "AT+CMEE? answered %1: cannot tell how errors are reported.")},
};

void PhoneCheck::checkSettings()
{

    QList<std::pair<const Setting *, CheckReply>> asked;
    for (const Setting &setting : kSettings) {
        asked.append({&setting, ask(setting.name + u'?')});
        if (setting.askedWithNext)
            continue;
        if (stopped())
            return;
        for (const auto &[row, reply] : std::as_const(asked)) {
            if (row->judgeOwn)
                (this->*row->judgeOwn)(reply);
            else
                checkSetting(*row, reply);
        }
        asked.clear();
    }
}

void PhoneCheck::checkSetting(const Setting &setting, const CheckReply &reply)
{
    const QString prefix = setting.name.startsWith(u'+') ? setting.name + u':' : QString();
    const std::optional<int> value = firstNumber(reply.value(prefix));
    const auto said = [&setting](const QString &text) {
        return setting.note ? twoSentences(text, tr(setting.note)) : text;
    };
    if (reply.isOk() && value && (setting.anyValue || value == setting.good)) {
        say(Level::Ok, said(tr(setting.goodText).arg(*value)));
    } else if (reply.isOk() && value) {
        // IOP's limits, as they cost a phone that answers otherwise than it expects.
        QString text = tr(setting.badText).arg(*value);
        if (setting.limits >= 1)
            text = text.arg(QString::number(AtExchange::kDeadline));
        if (setting.limits >= 2)
            text = text.arg(QString::number(AtExchange::kRetransmitLimit));
        say(setting.badLevel, said(text), setting.name + u'=' + QString::number(setting.good),
            tr(setting.fixWhat));
    } else if (reply.isFinal() && reply.final == u"ERROR" && setting.absentText) {
        say(Level::Ok, said(tr(setting.absentText)));
    } else {
        say(setting.anyValue ? Level::Ok : Level::Warning,
            said(tr(setting.unclearText).arg(reply.describe())));
    }
}

void PhoneCheck::checkCallerId(const CheckReply &clip)
{
    // "+CLIP: n,m": n the setting, m whether the network provides caller ID (0: it does not).
    const QString read = clip.value(u"+CLIP:");
    const std::optional<int> setting = firstNumber(read);
    const bool provided = read.section(u',', 1, 1).trimmed() != u"0";
    const QString fromList = tr("Tornasquillo reads each caller from the missed-call list.");
    if (clip.isOk() && setting == 1 && provided) {
        m_callerId = CallerId::On;
        m_callerIdRead = QStringLiteral("+CLIP=1");
        say(Level::Ok, tr("the phone's setting is +CLIP=1 (AT+CLIP? is %1). Tornasquillo takes "
                          "the caller's number from the +CLIP line of the rings when the "
                          "missed-call list gives none or another number.")
                           .arg(read));
    } else if (clip.isOk() && setting == 1) {
        m_callerId = CallerId::Absent;
        m_callerIdRead = tr("AT+CLIP? is %1").arg(read);
        say(Level::Ok, twoSentences(tr("the phone's setting is +CLIP=1, but the network does not "
                                       "provide caller ID (AT+CLIP? is %1).")
                                        .arg(read),
                                    fromList));
    } else if (clip.isOk() && setting) {
        m_callerId = CallerId::Off;
        m_callerIdRead = QStringLiteral("+CLIP=%1").arg(*setting);
        say(Level::Ok,
            twoSentences(
                tr("the phone's setting is +CLIP=%1 (AT+CLIP? is %2).").arg(*setting).arg(read),
                fromList));
    } else {
        m_callerId = CallerId::Absent;
        m_callerIdRead = tr("AT+CLIP? answered %1").arg(clip.describe());
        say(Level::Ok, twoSentences(tr("AT+CLIP? answered %1.").arg(clip.describe()), fromList));
    }
}

void PhoneCheck::reportNoLookup(const QString &why, bool noList)
{
    if (m_callerId == CallerId::On) {
        say(Level::Warning,
            tr("%1: the caller comes from caller ID only. Tornasquillo takes the caller's number "
               "from the +CLIP line of the rings; a call whose number is withheld is logged as "
               "\"%2\" and not called back.")
                .arg(why, kUnknownCaller));
        return;
    }
    const QString text = tr("%1, and caller ID is not on (%2): every call would be logged as "
                            "\"%3\" and no squillo called back.")
                             .arg(why, m_callerIdRead, kUnknownCaller);
    if (m_callerId == CallerId::Off)
        say(Level::Problem, text, QStringLiteral("+CLIP=1"),
            tr("the caller's number with the rings"));
    else if (noList)
        say(Level::Problem, twoSentences(text, tr("No setting adds the list; use another phone.")));
    else
        say(Level::Problem, text);
}

void PhoneCheck::checkHangUp(const CheckReply &cvhu)
{
    // 27.007: 0 and 2 leave ATH ending the call; 1 makes the phone answer OK and keep it.
    const std::optional<int> hangUp = firstNumber(cvhu.value(u"+CVHU:"));
    if (cvhu.isOk() && hangUp == 1)
        say(Level::Problem,
            tr("ATH does not end a voice call (AT+CVHU? is 1): Tornasquillo's call-back would "
               "never be hung up."),
            QStringLiteral("+CVHU=0"), tr("ATH ends a voice call"));
    else if (cvhu.isOk() && hangUp)
        say(Level::Ok, tr("ATH ends a voice call (AT+CVHU? is %1).").arg(*hangUp));
    else if (cvhu.isFinal())
        say(Level::Ok, tr("the phone has no +CVHU (AT+CVHU? answered %1): ATH ends a voice call.")
                           .arg(cvhu.describe()));
    else
        say(Level::Warning,
            tr("no answer to AT+CVHU?: cannot tell whether ATH ends a voice call."));
}
void PhoneCheck::checkCallList()
{
    // A call-back that stands is watched through the phone's list of calls: without it an
    // answered call-back stays connected, and paid for, until its set time is up.
    const CheckReply clcc = ask(QStringLiteral("+CLCC"));
    if (stopped())
        return;
    if (clcc.isOk())
        say(Level::Ok, tr("the phone lists its calls (AT+CLCC answered OK): a call-back that is "
                          "answered or rejected is hung up at once."));
    else
        say(Level::Warning,
            tr("the phone does not list its calls (AT+CLCC answered %1): a call-back that is "
               "answered stays connected, and is paid for, until it is hung up after its set "
               "time.")
                .arg(clcc.describe()));
}

void PhoneCheck::checkSim()
{
    const CheckReply cpin = ask(QStringLiteral("+CPIN?"));
    if (stopped())
        return;
    const QString code = cpin.value(u"+CPIN:");
    const std::optional<PhoneState> sim =
        cpin.isFinal() ? simState(cpin.final, code) : std::nullopt;
    if (sim == PhoneState::Ready)
        say(Level::Ok, tr("the SIM is ready (AT+CPIN? answered %1).").arg(unquoted(code)));
    else if (sim)
        say(Level::Problem,
            tr("%1 (AT+CPIN? answered %2): no call reaches the phone.")
                .arg(phoneStateSentence(*sim, unquoted(code)),
                     code.isEmpty() ? cpin.describe() : QStringLiteral("\"+CPIN: %1\"").arg(code)));
    else
        say(Level::Warning,
            tr("AT+CPIN? answered %1: cannot tell whether the SIM is ready.").arg(cpin.describe()));
}

void PhoneCheck::checkNetwork()
{
    const CheckReply creg = ask(QStringLiteral("+CREG?"));
    if (stopped())
        return;
    // The read form is "+CREG: n,stat"; an unsolicited "+CREG: stat" may cross it, and is set
    // aside with the ring reports.
    std::optional<int> stat;
    for (const QString &line : creg.info) {
        if (phoneReport(line) == PhoneReport::Other && (stat = registrationStat(line)))
            break;
    }
    if (!creg.isOk() || !stat) {
        say(Level::Warning, tr("AT+CREG? answered %1: cannot tell whether the phone is registered "
                               "on a network.")
                                .arg(creg.describe()));
    } else if (*stat == 1) {
        say(Level::Ok, tr("registered on its home network (AT+CREG? stat %1).").arg(*stat));
    } else if (*stat == 5) {
        say(Level::Ok, tr("registered on a network, roaming (AT+CREG? stat %1).").arg(*stat));
    } else {
        // A radio that is off (flight mode, or minimum functionality) registers nowhere,
        // whatever the SIM and the signal.
        const CheckReply cfun = ask(QStringLiteral("+CFUN?"));
        if (stopped())
            return;
        const std::optional<int> radio = firstNumber(cfun.value(u"+CFUN:"));
        if (cfun.isOk() && radio && isRadioOff(*radio))
            say(Level::Problem,
                tr("%1 (AT+CFUN? is %2): no call reaches the phone.")
                    .arg(phoneStateSentence(PhoneState::RadioOff))
                    .arg(*radio),
                QStringLiteral("+CFUN=1"), tr("radio on"), false);
        else
            say(*stat == 2 ? Level::Warning : Level::Problem,
                tr("%1: no call reaches the phone until it registers. Check the SIM, its PIN and "
                   "the signal; AT+COPS=0 lets the phone choose a network.")
                    .arg(phoneStateSentence(networkState(*stat), QString::number(*stat))));
    }
}

void PhoneCheck::checkMessages()
{
    // A message delivered to the port (mt 2 or 3) is never stored, and one of several lines,
    // without its length (+CSDH=0), cannot be told from the reports after it.
    const CheckReply cnmi = ask(QStringLiteral("+CNMI?"));
    if (stopped())
        return;
    const MessageRouting routing = messageRouting(cnmi.value(u"+CNMI:"));
    const std::optional<int> mt = routing.mt;
    if (!cnmi.isOk() || !mt) {
        say(Level::Ok, tr("the phone tells of no text messages on the port (AT+CNMI? answered %1).")
                           .arg(cnmi.describe()));
        return;
    }
    if (routing.storeCommand.isEmpty()) {
        say(Level::Ok,
            tr("text messages are stored, not delivered to the port (AT+CNMI? mt %1).").arg(*mt));
        return;
    }
    say(Level::Problem,
        tr("text messages are delivered to the port and not stored (AT+CNMI? mt %1): Tornasquillo "
           "skips each one, but one of several lines may pass for the phone's reports; it sets "
           "them to be stored with a notice at every start.")
            .arg(*mt),
        routing.storeCommand, tr("messages stored, with a notice"));
}

void PhoneCheck::checkCharacterSet()
{
    const CheckReply cscs = ask(QStringLiteral("+CSCS?"));
    if (stopped())
        return;
    const QString charset = unquoted(cscs.value(u"+CSCS:")).toUpper();
    const QString fix = QStringLiteral("+CSCS=\"GSM\"");
    if (!cscs.isOk() || charset.isEmpty())
        say(Level::Warning,
            tr("AT+CSCS? answered %1: cannot tell how names are coded.").arg(cscs.describe()));
    else if (charset == u"GSM" || charset == u"IRA")
        say(Level::Ok, tr("character set \"%1\" (AT+CSCS?).").arg(charset));
    else if (charset == u"UCS2" || charset == u"HEX")
        say(Level::Problem,
            tr("character set \"%1\" (AT+CSCS?): names, and on some phones numbers, come "
               "hex-coded; the event list would show them so, and a hex-coded number cannot be "
               "dialled.")
                .arg(charset),
            fix, tr("plain text names"));
    else
        say(Level::Warning,
            tr("character set \"%1\" (AT+CSCS?): names with accents may show wrong characters in "
               "the event list.")
                .arg(charset),
            fix, tr("plain text names"));
}
