// SPDX-License-Identifier: GPL-3.0-or-later
// What each item of the phone check asks and what the phone's answers mean for Tornasquillo.
#include "phone_check.h"

#include "phone_link/at_exchange.h"

#include <optional>

namespace {

/// The first field of a read answer ("1,1" gives 1); nullopt when it is not a number.
std::optional<int> firstNumber(const QString &value)
{
    bool ok = false;
    const int number = value.section(u',', 0, 0).trimmed().toInt(&ok);
    return ok ? std::optional(number) : std::nullopt;
}

QString unquoted(QString text)
{
    text = text.trimmed();
    if (text.size() >= 2 && text.startsWith(u'"') && text.endsWith(u'"'))
        return text.mid(1, text.size() - 2);
    return text;
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
        say(Level::Ok, QStringLiteral("maker \"%1\", model \"%2\".")
                           .arg(maker.isOk() ? text(maker, u"+CGMI:") : QStringLiteral("?"),
                                text(model, u"+CGMM:")));
    } else {
        say(Level::Warning,
            QStringLiteral("the phone does not give its model (AT+CGMM answered %1): "
                           "Tornasquillo shows \"CONNESSO A \" and what it answers.")
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
        QString why = QStringLiteral("AT+CPBS=MC answered %1").arg(select.describe());
        if (askQuoted)
            why += QStringLiteral(" and AT+CPBS=\"MC\" %1").arg(quoted.describe());
        if (listedWithoutMc)
            reportNoLookup(QStringLiteral("the phone has no missed-call list \"MC\" (AT+CPBS=? "
                                          "lists %1; %2)")
                               .arg(listed, why),
                           QStringLiteral(" No setting adds the list; use another phone."));
        else
            reportNoLookup(
                QStringLiteral("the missed-call list \"MC\" cannot be selected (%1)").arg(why), {});
        return;
    }
    if (lists.isOk() && hasMc)
        say(Level::Ok, QStringLiteral("the phone has a missed-call list \"MC\" (AT+CPBS=?)."));
    else if (listedWithoutMc)
        say(Level::Ok, QStringLiteral("AT+CPBS=? lists %1, without \"MC\", but the missed-call "
                                      "list \"MC\" can be selected.")
                           .arg(listed));
    else
        say(Level::Warning,
            QStringLiteral("AT+CPBS=? answered %1: the phone does not say which lists it has.")
                .arg(lists.describe()));
    if (select.isOk())
        say(Level::Ok,
            QStringLiteral("AT+CPBS=MC, unquoted as Tornasquillo sends it, answers OK."));
    else
        say(Level::Ok, QStringLiteral("AT+CPBS=MC, unquoted, answered %1, but the quoted form "
                                      "AT+CPBS=\"MC\" answers OK: Tornasquillo asks again in "
                                      "that form.")
                           .arg(select.describe()));

    const CheckReply entry = ask(QStringLiteral("+CPBR=1"));
    if (stopped())
        return;
    const QString line = entry.value(u"+CPBR:");
    if (entry.isOk() && entry.info.isEmpty()) {
        say(Level::Ok, QStringLiteral("the missed-call list is empty (AT+CPBR=1); after a missed "
                                      "call it must give the caller's number in quotes."));
        return;
    }
    if (!entry.isOk() || line.isNull()) {
        const Level level = entry.isFinal() ? Level::Warning : Level::Problem;
        say(level, QStringLiteral("AT+CPBR=1 answered %1: entry 1 of the missed-call list cannot "
                                  "be read. Some phones answer so while the list is empty: let "
                                  "the phone ring once, then check again.")
                       .arg(entry.describe()));
        return;
    }
    const qsizetype open = line.indexOf(u'"');
    const qsizetype close = open < 0 ? -1 : line.indexOf(u'"', open + 1);
    if (close < 0) {
        say(Level::Problem, QStringLiteral("entry 1 of the missed-call list has no number in "
                                           "quotes (%1): every caller would be logged as "
                                           "\"errore\".")
                                .arg(line));
        return;
    }
    const QString number = line.mid(open + 1, close - open - 1);
    const bool international = line.mid(close + 1).section(u',', 1, 1).trimmed() == u"145";
    if (international && !number.startsWith(u'+'))
        say(Level::Ok, QStringLiteral("entry 1 of the missed-call list is \"%1\", an international "
                                      "number without its \"+\" (type 145): Tornasquillo dials "
                                      "it with the \"+\".")
                           .arg(number));
    else
        say(Level::Ok, QStringLiteral("entry 1 of the missed-call list is \"%1\".").arg(number));
}

/// A setting the check reads as a number: `good` is the value Tornasquillo needs and any other
/// is bad. Its texts take the value for %1, or for unclearText what the phone answered. Every
/// field has an initializer, so a row names only the fields it needs.
struct PhoneCheck::Setting
{
    /// "+CRC": read with "+CRC?", answered "+CRC: n", set with "+CRC=0". A basic S-register
    /// ("S0") is answered with its value alone.
    QString name{};
    int good = 0;
    Level badLevel = Level::Problem;
    QString goodText{};
    QString badText{};
    QString fixWhat{}; ///< the fix in a few words, for the list of fixes sent
    /// What "ERROR" to the question means: the phone lacks the setting. Empty where it tells
    /// nothing.
    QString absentText{};
    QString unclearText{}; ///< for any other answer
    /// Tornasquillo works with every value: the row only says what was read, always "ok".
    bool anyValue = false;
    /// Asked together with the next row: neither is reported unless both are answered.
    bool askedWithNext = false;
    /// For a setting whose answers mean something else: judges the answer instead.
    void (PhoneCheck::*judgeOwn)(const CheckReply &) = nullptr;
};

void PhoneCheck::checkSettings()
{
    static const QList<Setting> kSettings = [] {
        // IOP's limits, as they cost a phone that answers otherwise than it expects.
        const QString deadline = QString::number(AtExchange::kDeadline);
        const QString resends = QString::number(AtExchange::kRetransmitLimit);
        const QString bothRings = QStringLiteral("Tornasquillo counts rings reported as \"RING\" "
                                                 "and as \"+CRING: VOICE\" alike.");
        return QList<Setting>{
            {.name = QStringLiteral("+CRC"),
             .goodText = QStringLiteral("the phone's setting is +CRC=%1 (AT+CRC?). ") + bothRings,
             .absentText = QStringLiteral("the phone has no +CRC (AT+CRC? answered "
                                          "\"ERROR\"). ") +
                           bothRings,
             .unclearText = QStringLiteral("AT+CRC? answered %1. ") + bothRings,
             .anyValue = true,
             .askedWithNext = true},
            {.name = QStringLiteral("+CLIP"), .judgeOwn = &PhoneCheck::checkCallerId},
            {.name = QStringLiteral("+COLP"),
             .goodText = QStringLiteral("a dial is answered at once (AT+COLP? is %1)."),
             .badText = QStringLiteral("a dial is answered only when the callee picks up "
                                       "(AT+COLP? is %1): Tornasquillo's call-back would be "
                                       "hung up then, or after ") +
                        deadline + QStringLiteral(" seconds of ringing, never after its set time."),
             .fixWhat = QStringLiteral("dials answered at once"),
             .absentText = QStringLiteral("the phone has no +COLP: a dial is answered at once."),
             .unclearText =
                 QStringLiteral("AT+COLP? answered %1: cannot tell when a dial is answered."),
             .askedWithNext = true},
            {.name = QStringLiteral("+CVHU"), .judgeOwn = &PhoneCheck::checkHangUp},
            {.name = QStringLiteral("S0"),
             .goodText = QStringLiteral("the phone does not answer calls itself (ATS0? is %1)."),
             .badText = QStringLiteral("the phone answers a call itself after %1 rings (ATS0? is "
                                       "%1): the caller would be connected to nobody, and the "
                                       "call would not be in the missed-call list."),
             .fixWhat = QStringLiteral("no auto-answer"),
             .unclearText = QStringLiteral("ATS0? answered %1: cannot tell whether the phone "
                                           "answers calls itself.")},
            {.name = QStringLiteral("+CMEE"),
             .badLevel = Level::Warning,
             .goodText = QStringLiteral("errors are reported as \"ERROR\" (AT+CMEE? is %1)."),
             .badText = QStringLiteral("errors are reported as \"+CME ERROR: ...\" (AT+CMEE? is "
                                       "%1), which Tornasquillo does not take for an answer: a "
                                       "command that fails, such as reading an empty "
                                       "missed-call list, waits ") +
                        deadline + QStringLiteral(" seconds and is re-sent up to ") + resends +
                        QStringLiteral(" times."),
             .fixWhat = QStringLiteral("errors reported as ERROR"),
             .absentText =
                 QStringLiteral("the phone has no +CMEE: errors are reported as \"ERROR\"."),
             .unclearText =
                 QStringLiteral("AT+CMEE? answered %1: cannot tell how errors are reported.")},
        };
    }();

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
    if (reply.isOk() && value && (setting.anyValue || value == setting.good))
        say(Level::Ok, setting.goodText.arg(*value));
    else if (reply.isOk() && value)
        say(setting.badLevel, setting.badText.arg(*value),
            setting.name + u'=' + QString::number(setting.good), setting.fixWhat);
    else if (reply.isFinal() && reply.final == u"ERROR" && !setting.absentText.isEmpty())
        say(Level::Ok, setting.absentText);
    else
        say(setting.anyValue ? Level::Ok : Level::Warning,
            setting.unclearText.arg(reply.describe()));
}

void PhoneCheck::checkCallerId(const CheckReply &clip)
{
    // "+CLIP: n,m": n the setting, m whether the network provides caller ID (0: it does not).
    const QString read = clip.value(u"+CLIP:");
    const std::optional<int> setting = firstNumber(read);
    const bool provided = read.section(u',', 1, 1).trimmed() != u"0";
    const QString fromList = QStringLiteral("Tornasquillo reads each caller from the missed-call "
                                            "list.");
    if (clip.isOk() && setting == 1 && provided) {
        m_callerId = CallerId::On;
        m_callerIdRead = QStringLiteral("+CLIP=1");
        say(Level::Ok, QStringLiteral("the phone's setting is +CLIP=1 (AT+CLIP? is %1). "
                                      "Tornasquillo takes the caller's number from the +CLIP "
                                      "line of the rings when the missed-call list gives none "
                                      "or another number.")
                           .arg(read));
    } else if (clip.isOk() && setting == 1) {
        m_callerId = CallerId::Absent;
        m_callerIdRead = QStringLiteral("AT+CLIP? is %1").arg(read);
        say(Level::Ok, QStringLiteral("the phone's setting is +CLIP=1, but the network does not "
                                      "provide caller ID (AT+CLIP? is %1). ")
                               .arg(read) +
                           fromList);
    } else if (clip.isOk() && setting) {
        m_callerId = CallerId::Off;
        m_callerIdRead = QStringLiteral("+CLIP=%1").arg(*setting);
        say(Level::Ok, QStringLiteral("the phone's setting is +CLIP=%1 (AT+CLIP? is %2). ")
                               .arg(*setting)
                               .arg(read) +
                           fromList);
    } else {
        m_callerId = CallerId::Absent;
        m_callerIdRead = QStringLiteral("AT+CLIP? answered %1").arg(clip.describe());
        say(Level::Ok, m_callerIdRead + QStringLiteral(". ") + fromList);
    }
}

void PhoneCheck::reportNoLookup(const QString &why, const QString &noFix)
{
    if (m_callerId == CallerId::On) {
        say(Level::Warning,
            why + QStringLiteral(": the caller comes from caller ID only. Tornasquillo takes the "
                                 "caller's number from the +CLIP line of the rings; a call whose "
                                 "number is withheld is logged as \"errore\" and not called "
                                 "back."));
        return;
    }
    const QString text =
        why + QStringLiteral(", and caller ID is not on (%1): every call would be logged as "
                             "\"errore\" and no squillo called back.")
                  .arg(m_callerIdRead);
    if (m_callerId == CallerId::Off)
        say(Level::Problem, text, QStringLiteral("+CLIP=1"),
            QStringLiteral("the caller's number with the rings"));
    else
        say(Level::Problem, text + noFix);
}

void PhoneCheck::checkHangUp(const CheckReply &cvhu)
{
    // 27.007: 0 and 2 leave ATH ending the call; 1 makes the phone answer OK and keep it.
    const std::optional<int> hangUp = firstNumber(cvhu.value(u"+CVHU:"));
    if (cvhu.isOk() && hangUp == 1)
        say(Level::Problem,
            QStringLiteral("ATH does not end a voice call (AT+CVHU? is 1): Tornasquillo's "
                           "call-back would never be hung up."),
            QStringLiteral("+CVHU=0"), QStringLiteral("ATH ends a voice call"));
    else if (cvhu.isOk() && hangUp)
        say(Level::Ok, QStringLiteral("ATH ends a voice call (AT+CVHU? is %1).").arg(*hangUp));
    else if (cvhu.isFinal())
        say(Level::Ok, QStringLiteral("the phone has no +CVHU (AT+CVHU? answered %1): ATH ends a "
                                      "voice call.")
                           .arg(cvhu.describe()));
    else
        say(Level::Warning, QStringLiteral("no answer to AT+CVHU?: cannot tell whether ATH ends a "
                                           "voice call."));
}
void PhoneCheck::checkNetwork()
{
    const CheckReply creg = ask(QStringLiteral("+CREG?"));
    if (stopped())
        return;
    // The read form is "+CREG: n,stat"; an unsolicited "+CREG: stat" may cross it.
    std::optional<int> stat;
    for (const QString &line : creg.info) {
        const QStringList fields = line.mid(6).split(u',');
        bool ok = false;
        if (line.startsWith(u"+CREG:", Qt::CaseInsensitive) && fields.size() >= 2) {
            const int value = fields[1].trimmed().toInt(&ok);
            if (ok)
                stat = value;
            break;
        }
    }
    if (!creg.isOk() || !stat) {
        say(Level::Warning, QStringLiteral("AT+CREG? answered %1: cannot tell whether the phone "
                                           "is registered on a network.")
                                .arg(creg.describe()));
    } else if (*stat == 1 || *stat == 5) {
        say(Level::Ok, QStringLiteral("registered on %1 (AT+CREG? stat %2).")
                           .arg(*stat == 1 ? QStringLiteral("its home network")
                                           : QStringLiteral("a network, roaming"))
                           .arg(*stat));
    } else if (*stat == 2) {
        say(Level::Warning, QStringLiteral("searching for a network (AT+CREG? stat 2): no call "
                                           "reaches the phone until it registers."));
    } else {
        // A radio that is off (flight mode, or minimum functionality) registers nowhere,
        // whatever the SIM and the signal.
        const CheckReply cfun = ask(QStringLiteral("+CFUN?"));
        if (stopped())
            return;
        const std::optional<int> radio = firstNumber(cfun.value(u"+CFUN:"));
        if (cfun.isOk() && (radio == 0 || radio == 4))
            say(Level::Problem,
                QStringLiteral("not registered on a network (AT+CREG? stat %1): the phone's "
                               "radio is off (AT+CFUN? is %2), so no call reaches the phone.")
                    .arg(*stat)
                    .arg(*radio),
                QStringLiteral("+CFUN=1"), QStringLiteral("radio on"), false);
        else
            say(Level::Problem,
                QStringLiteral("not registered on a network (AT+CREG? stat %1): no call reaches "
                               "the phone. Check the SIM, its PIN and the signal; AT+COPS=0 lets "
                               "the phone choose a network.")
                    .arg(*stat));
    }
}

void PhoneCheck::checkCharacterSet()
{
    const CheckReply cscs = ask(QStringLiteral("+CSCS?"));
    if (stopped())
        return;
    const QString charset = unquoted(cscs.value(u"+CSCS:")).toUpper();
    const QString fix = QStringLiteral("+CSCS=\"GSM\"");
    if (!cscs.isOk() || charset.isEmpty())
        say(Level::Warning, QStringLiteral("AT+CSCS? answered %1: cannot tell how names are "
                                           "coded.")
                                .arg(cscs.describe()));
    else if (charset == u"GSM" || charset == u"IRA")
        say(Level::Ok, QStringLiteral("character set \"%1\" (AT+CSCS?).").arg(charset));
    else if (charset == u"UCS2" || charset == u"HEX")
        say(Level::Problem,
            QStringLiteral("character set \"%1\" (AT+CSCS?): names, and on some phones numbers, "
                           "come hex-coded; the event list would show them so, and a hex-coded "
                           "number cannot be dialled.")
                .arg(charset),
            fix, QStringLiteral("plain text names"));
    else
        say(Level::Warning,
            QStringLiteral("character set \"%1\" (AT+CSCS?): names with accents may show wrong "
                           "characters in the event list.")
                .arg(charset),
            fix, QStringLiteral("plain text names"));
}
