// SPDX-License-Identifier: GPL-3.0-or-later
// The script's commands: one table of name, arguments and handler, which execute() looks a line
// up in. A handler that finds its arguments wrong says how they go; a line that no row takes is
// "unknown command or wrong arguments".
#include "sim_phone.h"
#include "sim_script.h"

#include "app/whole_number.h"

#include <algorithm>

namespace {

// The words of a state that a line chooses, each with its state; the word's place in the list
// of words is its row here.
template<class State>
struct StateWord
{
    const char *word;
    State state;
};
const StateWord<SimNetwork::Card> kCards[] = {{"ready", SimNetwork::Card::Ready},
                                              {"pin", SimNetwork::Card::Pin},
                                              {"puk", SimNetwork::Card::Puk},
                                              {"absent", SimNetwork::Card::Absent}};
const StateWord<SimNetwork::Network> kNetworks[] = {{"home", SimNetwork::Network::Home},
                                                    {"roaming", SimNetwork::Network::Roaming},
                                                    {"searching", SimNetwork::Network::Searching},
                                                    {"denied", SimNetwork::Network::Denied},
                                                    {"none", SimNetwork::Network::None}};
const StateWord<SimNetwork::Radio> kRadios[] = {{"on", SimNetwork::Radio::On},
                                                {"off", SimNetwork::Radio::Off},
                                                {"min", SimNetwork::Radio::Min}};

template<class State, std::size_t N>
QStringList wordsOf(const StateWord<State> (&table)[N])
{
    QStringList words;
    for (const StateWord<State> &row : table)
        words << QLatin1String(row.word);
    return words;
}

const QStringList kCardWords = wordsOf(kCards);
const QStringList kNetworkWords = wordsOf(kNetworks);
const QStringList kRadioWords = wordsOf(kRadios);

using DialAnswer = SimPhone::DialAnswer;
using Callee = SimPhone::Callee;
/// How the phone answers a dial, as a line names it.
const StateWord<DialAnswer> kDialAnswers[] = {{"ok", DialAnswer::Ok},
                                              {"busy", DialAnswer::Busy},
                                              {"no-carrier", DialAnswer::NoCarrier},
                                              {"no-answer", DialAnswer::NoAnswer},
                                              {"no-dialtone", DialAnswer::NoDialtone},
                                              {"cme", DialAnswer::CmeError}};
const QStringList kDialAnswerWords = wordsOf(kDialAnswers);
/// What the called party does, as a line names it.
const StateWord<Callee> kCallees[] = {{"answers", Callee::Answers},
                                      {"busy", Callee::Busy},
                                      {"no-answer", Callee::NoAnswer},
                                      {"no-carrier", Callee::NoCarrier},
                                      {"never", Callee::Never}};
const QStringList kCalleeWords = wordsOf(kCallees);
/// The words for a caller without a number, in the order of its CLI validity from 1.
const QStringList kHiddenCallerWords{QStringLiteral("withheld"), QStringLiteral("unavailable")};

/// A code of the SIM's (PIN, PUK): digits only, as many as such a code has.
bool isSimCode(const QString &text, qsizetype minLength, qsizetype maxLength)
{
    return text.size() >= minLength && text.size() <= maxLength &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
}

/// The word for a caller without a number, as its CLI validity: "withheld" 1, "unavailable" 2;
/// 0 for a number.
int callerValidity(const QString &word)
{
    return int(kHiddenCallerWords.indexOf(word)) + 1;
}

/// What follows a line's first argument, as it stands.
QString afterFirstArg(const QString &rest)
{
    const qsizetype space = rest.indexOf(QLatin1Char(' '));
    return space < 0 ? QString() : rest.mid(space + 1).trimmed();
}

std::optional<bool> toSwitch(const QString &text)
{
    if (text == QLatin1String("on"))
        return true;
    if (text == QLatin1String("off"))
        return false;
    return std::nullopt;
}

/// A script line: its command word, and the rest as it stands and split at spaces.
struct ScriptLine
{
    QString command;
    QString rest;
    QStringList args;
};

struct ScriptCommand;

/// Runs a line; false when its arguments are wrong, with *error saying how they go.
using RunLine = bool (*)(const ScriptCommand &, SimCommander &, const ScriptLine &, QString *error);

/// A command of the script: the arguments it takes, its handler, and what tells the commands of
/// a family (served by one handler) apart.
struct ScriptCommand
{
    const char *name;
    qsizetype minArgs;
    qsizetype maxArgs; ///< the line is not this command's with fewer or more
    RunLine run;

    const char *off = nullptr; ///< the words of a setting that is one way or the other
    const char *on = nullptr;
    void (SimPhone::*setSwitch)(bool) = nullptr;
    const QStringList *words = nullptr; ///< the words of a state that is one of a few
    void (*choose)(SimPhone &, int) = nullptr;
    qsizetype minDigits = 0; ///< the length of a code of the SIM's
    qsizetype maxDigits = 0;
    void (SimPhone::*setCode)(const QByteArray &) = nullptr;
    void (*act)(SimCommander &) = nullptr; ///< what a line without arguments does
};

constexpr qsizetype kAny = 1 << 20;

} // namespace

// The handlers of the script's commands, with the rights of the commander itself.
struct SimScriptHandlers
{
    using Line = ScriptLine;

    // A phone's setting that is one way or the other: "mc on", "storage quoted".
    static bool setSwitch(const ScriptCommand &row, SimCommander &c, const Line &line,
                          QString *error)
    {
        const QString value = line.args[0];
        if (value != QLatin1String(row.on) && value != QLatin1String(row.off)) {
            *error =
                QStringLiteral("%1 %2|%3")
                    .arg(QLatin1String(row.name), QLatin1String(row.off), QLatin1String(row.on));
            return false;
        }
        (c.m_phone->*row.setSwitch)(value == QLatin1String(row.on));
        return true;
    }
    // A phone's state that is one of a few: "network roaming", "sim pin".
    static bool choose(const ScriptCommand &row, SimCommander &c, const Line &line, QString *error)
    {
        const qsizetype which = row.words->indexOf(line.args[0]);
        if (which < 0) {
            *error = QLatin1String(row.name) + QLatin1Char(' ') + row.words->join(QLatin1Char('|'));
            return false;
        }
        row.choose(*c.m_phone, int(which));
        return true;
    }
    // A code of the SIM's: "pin 4321", "puk 87654321".
    static bool setCode(const ScriptCommand &row, SimCommander &c, const Line &line, QString *error)
    {
        if (!isSimCode(line.args[0], row.minDigits, row.maxDigits)) {
            const QString digits =
                row.minDigits == row.maxDigits
                    ? QString::number(row.minDigits)
                    : QStringLiteral("%1 to %2").arg(row.minDigits).arg(row.maxDigits);
            *error = QStringLiteral("%1 CODE (%2 digits)").arg(QLatin1String(row.name), digits);
            return false;
        }
        (c.m_phone->*row.setCode)(line.args[0].toLatin1());
        return true;
    }
    // A line that takes no arguments and does one thing.
    static bool act(const ScriptCommand &row, SimCommander &c, const Line &, QString *)
    {
        row.act(c);
        return true;
    }
    static void hangUpLine(SimCommander &c) { c.m_phone->hangUpLine(); }
    static void quit(SimCommander &c) { emit c.quitRequested(); }

    static bool caller(const ScriptCommand &, SimCommander &c, const Line &line, QString *)
    {
        c.m_callerValidity = callerValidity(line.args[0]);
        c.m_callerNumber = c.m_callerValidity > 0 ? QString() : line.args[0];
        c.m_callerName = QStringList(line.args.mid(1)).join(QLatin1Char(' '));
        c.m_phone->setNextCaller(c.m_callerNumber, c.m_callerName, c.m_callerValidity);
        return true;
    }
    static bool notice(const ScriptCommand &, SimCommander &c, const Line &line, QString *)
    {
        c.m_phone->sendNotice(line.rest.toUtf8());
        return true;
    }
    static bool callListNotice(const ScriptCommand &, SimCommander &c, const Line &line, QString *)
    {
        c.m_phone->setCallListNotice(line.rest.toUtf8());
        return true;
    }
    static bool pinTries(const ScriptCommand &, SimCommander &c, const Line &line, QString *error)
    {
        const auto tries = wholeNumber(line.args[0], 1, SimNetwork::kPinTries);
        if (!tries) {
            *error = QStringLiteral("pin-tries N (1 to %1)").arg(SimNetwork::kPinTries);
            return false;
        }
        c.m_phone->setPinTries(*tries);
        return true;
    }
    static bool hang(const ScriptCommand &, SimCommander &c, const Line &line, QString *error)
    {
        const bool off = line.args.value(0) == QLatin1String("off");
        const auto ms = line.args.isEmpty() ? -1 : wholeNumber(line.args[0], 1, 86400000);
        if (!off && !ms) {
            *error = QStringLiteral("hang [MS] | hang off");
            return false;
        }
        c.m_phone->hang(off ? 0 : *ms);
        return true;
    }
    static bool demo(const ScriptCommand &, SimCommander &c, const Line &line, QString *)
    {
        const std::optional<bool> on = toSwitch(line.args[0]);
        if (on)
            c.setDemo(*on);
        return on.has_value();
    }
    static bool chunks(const ScriptCommand &, SimCommander &c, const Line &line, QString *error)
    {
        const auto size = wholeNumber(line.args[0], 0, 1 << 20);
        const auto delay = wholeNumber(line.args[1], 0, 60000);
        if (!size || !delay) {
            *error = QStringLiteral("chunks SIZE DELAY_MS");
            return false;
        }
        c.m_phone->setChunking(*size, *delay);
        return true;
    }
    static bool cme(const ScriptCommand &, SimCommander &c, const Line &line, QString *error)
    {
        const auto code =
            line.args[0] == QLatin1String("off") ? -1 : wholeNumber(line.args[0], 0, 65535);
        if (!code) {
            *error = QStringLiteral("cme N | cme off");
            return false;
        }
        c.m_phone->setCmeError(*code);
        return true;
    }
    static bool delay(const ScriptCommand &, SimCommander &c, const Line &line, QString *)
    {
        const auto ms = wholeNumber(line.args[0], 0, 3600000);
        if (ms)
            c.m_phone->setAnswerDelay(*ms);
        return ms.has_value();
    }
    static bool send(const ScriptCommand &, SimCommander &c, const Line &line, QString *error)
    {
        const auto bytes = SimCommander::decodeEscapes(line.rest);
        if (!bytes) {
            *error = QStringLiteral("bad escape; use \\r \\n \\t \\0 \\xNN \\\\");
            return false;
        }
        c.m_phone->sendRaw(*bytes);
        return true;
    }
    static bool profile(const ScriptCommand &, SimCommander &c, const Line &line, QString *error)
    {
        if (c.m_phone->setStoredProfile(line.rest.toLatin1()))
            return true;
        *error = QStringLiteral("profile [SETTINGS], e.g. profile E0Q1V0S0=2;+CRC=1;+CLIP=1");
        return false;
    }
    static bool model(const ScriptCommand &, SimCommander &c, const Line &line, QString *)
    {
        c.m_phone->setModel(line.rest);
        return true;
    }
    static bool plug(const ScriptCommand &, SimCommander &c, const Line &, QString *error)
    {
        if (c.m_phone->start(c.m_phone->linkPath()))
            return true;
        *error = QStringLiteral("cannot open a new pty");
        return false;
    }

    static bool ring(const ScriptCommand &, SimCommander &c, const Line &line, QString *error);
    static bool rawBytes(const ScriptCommand &, SimCommander &c, const Line &line, QString *error);
    static bool dial(const ScriptCommand &, SimCommander &c, const Line &line, QString *error);
    static bool callee(const ScriptCommand &, SimCommander &c, const Line &line, QString *error);
    static bool waiting(const ScriptCommand &, SimCommander &c, const Line &line, QString *error);
    static bool message(const ScriptCommand &, SimCommander &c, const Line &line, QString *error);
};

namespace {

using H = SimScriptHandlers;

ScriptCommand twoWay(const char *name, const char *off, const char *on, void (SimPhone::*set)(bool))
{
    return {.name = name,
            .minArgs = 1,
            .maxArgs = 1,
            .run = &H::setSwitch,
            .off = off,
            .on = on,
            .setSwitch = set};
}

ScriptCommand oneOf(const char *name, const QStringList &words, void (*choose)(SimPhone &, int))
{
    return {.name = name,
            .minArgs = 1,
            .maxArgs = 1,
            .run = &H::choose,
            .words = &words,
            .choose = choose};
}

ScriptCommand code(const char *name, qsizetype minDigits, qsizetype maxDigits,
                   void (SimPhone::*set)(const QByteArray &))
{
    return {.name = name,
            .minArgs = 1,
            .maxArgs = 1,
            .run = &H::setCode,
            .minDigits = minDigits,
            .maxDigits = maxDigits,
            .setCode = set};
}

ScriptCommand action(const char *name, void (*act)(SimCommander &))
{
    return {.name = name, .minArgs = 0, .maxArgs = 0, .run = &H::act, .act = act};
}

void setRadio(SimPhone &p, int which)
{
    p.setRadio(kRadios[which].state);
}

void setSimCard(SimPhone &p, int which)
{
    p.setSimCard(kCards[which].state);
}

void setNetwork(SimPhone &p, int which)
{
    p.setNetwork(kNetworks[which].state);
}

// The commands, looked up in this order: the first row with the line's word that takes as many
// arguments runs it.
const ScriptCommand kCommands[] = {
    {"ring", 1, kAny, &H::ring},
    {"caller", 1, kAny, &H::caller},
    {"waiting", 1, 3, &H::waiting},
    {"sms", 1, kAny, &H::message},
    {"notice", 1, kAny, &H::notice},
    {"clcc-notice", 0, kAny, &H::callListNotice},
    twoWay("chld", "ok", "error", &SimPhone::setHoldRefused),
    twoWay("silent", "off", "on", &SimPhone::setSilent),
    twoWay("mc", "off", "on", &SimPhone::setMissedCallList),
    twoWay("international", "plus", "bare", &SimPhone::setBareInternational),
    twoWay("ringframe", "crlf", "crcrlf", &SimPhone::setExtraCrAfterRing),
    twoWay("dial-while-ringing", "ok", "refuse", &SimPhone::setRefuseDialWhileRinging),
    twoWay("storage", "any", "quoted", &SimPhone::setQuotedStorageOnly),
    oneOf("radio", kRadioWords, &setRadio),
    oneOf("sim", kCardWords, &setSimCard),
    oneOf("network", kNetworkWords, &setNetwork),
    code("pin", 4, 8, &SimPhone::setPin),
    code("puk", 8, 8, &SimPhone::setPuk),
    {"pin-tries", 1, 1, &H::pinTries},
    twoWay("cpinr", "off", "on", &SimPhone::setPinRetriesAnswered),
    {"hang", 0, 1, &H::hang},
    twoWay("bare-at", "ok", "error", &SimPhone::setBareAtRefused),
    twoWay("clcc", "ok", "error", &SimPhone::setCallListRefused),
    {"demo", 1, 1, &H::demo},
    {"chunks", 2, 2, &H::chunks},
    {"cme", 1, 1, &H::cme},
    {"delay", 1, 1, &H::delay},
    {"send", 1, kAny, &H::send},
    {"garbage", 1, 1, &H::rawBytes},
    {"flood", 1, 1, &H::rawBytes},
    {"profile", 0, kAny, &H::profile},
    {"dial", 1, 2, &H::dial},
    {"callee", 1, 2, &H::callee},
    {"model", 1, kAny, &H::model},
    action("hangup", &H::hangUpLine),
    {"plug", 0, 0, &H::plug},
    action("quit", &H::quit),
};

} // namespace

bool SimCommander::execute(const QString &rawLine, QString *error)
{
    const QString line = rawLine.trimmed();
    if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
        return true;
    const qsizetype space = line.indexOf(QLatin1Char(' '));
    ScriptLine split;
    split.command = line.left(space).toLower();
    split.rest = space < 0 ? QString() : line.mid(space + 1).trimmed();
    split.args = split.rest.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QString why = QStringLiteral("unknown command or wrong arguments");
    for (const ScriptCommand &row : kCommands) {
        if (split.command != QLatin1String(row.name) || split.args.size() < row.minArgs ||
            split.args.size() > row.maxArgs)
            continue;
        QString usage;
        if (row.run(row, *this, split, &usage))
            return true;
        if (!usage.isEmpty())
            why = usage;
        break;
    }
    if (error)
        *error = why;
    return false;
}

bool SimScriptHandlers::ring(const ScriptCommand &, SimCommander &c, const ScriptLine &line,
                             QString *error)
{
    // "ring 2 3000 after AT+CPBS 500": the call waits for the phone to receive the command.
    const QStringList &args = line.args;
    const qsizetype after = args.indexOf(QLatin1String("after"));
    const QStringList ringArgs = after < 0 ? args : args.mid(0, after);
    const QStringList afterArgs = after < 0 ? QStringList() : args.mid(after + 1);
    const auto times = wholeNumber(ringArgs.value(0), 1, 1000);
    const auto interval = ringArgs.size() == 2 ? wholeNumber(ringArgs[1], 0, 3600000) : 3000;
    const auto afterMs = afterArgs.size() == 2 ? wholeNumber(afterArgs[1], 0, 3600000) : 0;
    if (!times || !interval || !afterMs || ringArgs.size() > 2 ||
        (after >= 0 && (afterArgs.isEmpty() || afterArgs.size() > 2))) {
        *error = QStringLiteral("ring N [INTERVAL_MS] [after COMMAND [MS]]");
        return false;
    }
    if (after < 0)
        c.m_phone->ring(*times, *interval);
    else
        c.m_phone->ringAfterCommand(afterArgs[0], *afterMs, *times, *interval);
    return true;
}

bool SimScriptHandlers::rawBytes(const ScriptCommand &, SimCommander &c, const ScriptLine &line,
                                 QString *error)
{
    bool ok = false;
    const qint64 count = line.args[0].toLongLong(&ok);
    if (!ok || count < 1 || count > SimCommander::kMaxRawBytes) {
        *error = line.command + QStringLiteral(" N (1 to %1)").arg(SimCommander::kMaxRawBytes);
        return false;
    }
    c.m_phone->sendRaw(SimCommander::randomBytes(count));
    return true;
}

bool SimScriptHandlers::dial(const ScriptCommand &, SimCommander &c, const ScriptLine &line,
                             QString *error)
{
    const QStringList &args = line.args;
    const qsizetype which = kDialAnswerWords.indexOf(args[0].toLower());
    const bool cme = which >= 0 && kDialAnswers[which].state == DialAnswer::CmeError;
    const auto code = cme && args.size() == 2 ? wholeNumber(args[1], 0, 65535) : std::optional(0);
    if (which < 0 || args.size() != (cme ? 2 : 1) || !code) {
        *error = QStringLiteral("dial ok|busy|no-carrier|no-answer|no-dialtone|cme N");
        return false;
    }
    c.m_phone->setDialAnswer(kDialAnswers[which].state, *code);
    return true;
}

bool SimScriptHandlers::callee(const ScriptCommand &, SimCommander &c, const ScriptLine &line,
                               QString *error)
{
    const QStringList &args = line.args;
    const qsizetype which = kCalleeWords.indexOf(args[0].toLower());
    bool ok = args.size() == 1;
    const double seconds = ok ? 0.0 : args[1].toDouble(&ok);
    if (which < 0 || !ok || seconds < 0 || seconds > 3600 ||
        (kCallees[which].state == Callee::Never && args.size() == 2)) {
        *error =
            QStringLiteral("callee answers|busy|no-answer|no-carrier [SECONDS] | callee never");
        return false;
    }
    c.m_phone->setCallee(kCallees[which].state, int(seconds * 1000));
    return true;
}

bool SimScriptHandlers::waiting(const ScriptCommand &, SimCommander &c, const ScriptLine &line,
                                QString *error)
{
    // "waiting +39333 5 3000": a call that rings 5 times, 3 s apart, waiting while the call
    // made stands.
    const QStringList &args = line.args;
    const auto times = args.size() > 1 ? wholeNumber(args[1], 1, 1000) : 5;
    const auto interval = args.size() > 2 ? wholeNumber(args[2], 0, 3600000) : 3000;
    if (!times || !interval) {
        *error = QStringLiteral("waiting NUMBER|withheld|unavailable [RINGS [INTERVAL_MS]]");
        return false;
    }
    c.m_phone->ringWaiting(args[0], callerValidity(args[0]), *times, *interval);
    return true;
}

bool SimScriptHandlers::message(const ScriptCommand &, SimCommander &c, const ScriptLine &line,
                                QString *error)
{
    const auto text = SimCommander::decodeEscapes(afterFirstArg(line.rest));
    if (!text) {
        *error = QStringLiteral("sms NUMBER TEXT, with \\r \\n \\t \\xNN \\\\ escapes");
        return false;
    }
    c.m_phone->receiveMessage(line.args[0], *text);
    return true;
}
