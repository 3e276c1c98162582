// SPDX-License-Identifier: GPL-3.0-or-later
// The script's commands: one table of name, arguments and handler, which execute() looks a line
// up in. A handler that finds its arguments wrong says how they go; a line that no row takes is
// "unknown command or wrong arguments".
#include "sim_phone.h"
#include "sim_script.h"

#include <algorithm>
#include <functional>
#include <vector>

namespace {

std::optional<int> toInt(const QString &text, int min, int max)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < min || value > max)
        return std::nullopt;
    return value;
}

// The words of a state that a line chooses, in the order of its enum.
const QStringList kCardWords{QStringLiteral("ready"), QStringLiteral("pin"), QStringLiteral("puk"),
                             QStringLiteral("absent")};
const QStringList kNetworkWords{QStringLiteral("home"), QStringLiteral("roaming"),
                                QStringLiteral("searching"), QStringLiteral("denied"),
                                QStringLiteral("none")};
const QStringList kRadioWords{QStringLiteral("on"), QStringLiteral("off"), QStringLiteral("min")};

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
    static const QStringList kWords{QStringLiteral("withheld"), QStringLiteral("unavailable")};
    return int(kWords.indexOf(word)) + 1;
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

} // namespace

/// A script line: its command word, and the rest as it stands and split at spaces.
struct SimCommander::ScriptLine
{
    QString command;
    QString rest;
    QStringList args;
};

struct SimCommander::ScriptCommand
{
    /// Runs a line; false when its arguments are wrong, with *error saying how they go.
    using Run = std::function<bool(SimCommander &, const ScriptLine &, QString *error)>;

    const char *name;
    qsizetype minArgs;
    qsizetype maxArgs; ///< the line is not this command's with fewer or more
    Run run;
};

const std::vector<SimCommander::ScriptCommand> &SimCommander::scriptCommands()
{
    using Line = ScriptLine;
    constexpr qsizetype kAny = 1 << 20;
    // A phone's setting that is one way or the other: "mc on", "storage quoted".
    const auto twoWay = [](const char *name, const char *off, const char *on,
                           void (SimPhone::*set)(bool)) {
        const auto run = [=](SimCommander &c, const Line &line, QString *error) {
            const QString value = line.args[0];
            if (value != QLatin1String(on) && value != QLatin1String(off)) {
                *error = QStringLiteral("%1 %2|%3")
                             .arg(QLatin1String(name), QLatin1String(off), QLatin1String(on));
                return false;
            }
            (c.m_phone->*set)(value == QLatin1String(on));
            return true;
        };
        return ScriptCommand{name, 1, 1, run};
    };
    // A phone's state that is one of a few: "network roaming", "sim pin".
    const auto oneOf = [](const char *name, const QStringList &words,
                          std::function<void(SimPhone &, int)> set) {
        const auto run = [=](SimCommander &c, const Line &line, QString *error) {
            const qsizetype which = words.indexOf(line.args[0]);
            if (which < 0) {
                *error = QLatin1String(name) + QLatin1Char(' ') + words.join(QLatin1Char('|'));
                return false;
            }
            set(*c.m_phone, int(which));
            return true;
        };
        return ScriptCommand{name, 1, 1, run};
    };
    // A code of the SIM's: "pin 4321", "puk 87654321".
    const auto code = [](const char *name, qsizetype minLength, qsizetype maxLength,
                         void (SimPhone::*set)(const QByteArray &)) {
        const auto run = [=](SimCommander &c, const Line &line, QString *error) {
            if (!isSimCode(line.args[0], minLength, maxLength)) {
                const QString digits =
                    minLength == maxLength
                        ? QString::number(minLength)
                        : QStringLiteral("%1 to %2").arg(minLength).arg(maxLength);
                *error = QStringLiteral("%1 CODE (%2 digits)").arg(QLatin1String(name), digits);
                return false;
            }
            (c.m_phone->*set)(line.args[0].toLatin1());
            return true;
        };
        return ScriptCommand{name, 1, 1, run};
    };
    // A line that takes no arguments and does one thing.
    const auto action = [](const char *name, std::function<void(SimCommander &)> act) {
        return ScriptCommand{name, 0, 0, [act](SimCommander &c, const Line &, QString *) {
                                 act(c);
                                 return true;
                             }};
    };

    static const std::vector<ScriptCommand> kCommands{
        {"ring", 1, kAny, &SimCommander::scriptRing},
        {"caller", 1, kAny,
         [](SimCommander &c, const Line &line, QString *) {
             c.m_callerValidity = callerValidity(line.args[0]);
             c.m_callerNumber = c.m_callerValidity > 0 ? QString() : line.args[0];
             c.m_callerName = QStringList(line.args.mid(1)).join(QLatin1Char(' '));
             c.m_phone->setNextCaller(c.m_callerNumber, c.m_callerName, c.m_callerValidity);
             return true;
         }},
        {"waiting", 1, 3, &SimCommander::scriptWaiting},
        {"sms", 1, kAny, &SimCommander::scriptMessage},
        {"notice", 1, kAny,
         [](SimCommander &c, const Line &line, QString *) {
             c.m_phone->sendNotice(line.rest.toUtf8());
             return true;
         }},
        {"clcc-notice", 0, kAny,
         [](SimCommander &c, const Line &line, QString *) {
             c.m_phone->setCallListNotice(line.rest.toUtf8());
             return true;
         }},
        twoWay("chld", "ok", "error", &SimPhone::setHoldRefused),
        twoWay("silent", "off", "on", &SimPhone::setSilent),
        twoWay("mc", "off", "on", &SimPhone::setMissedCallList),
        twoWay("international", "plus", "bare", &SimPhone::setBareInternational),
        twoWay("ringframe", "crlf", "crcrlf", &SimPhone::setExtraCrAfterRing),
        twoWay("dial-while-ringing", "ok", "refuse", &SimPhone::setRefuseDialWhileRinging),
        twoWay("storage", "any", "quoted", &SimPhone::setQuotedStorageOnly),
        oneOf("radio", kRadioWords,
              [](SimPhone &p, int which) { p.setRadio(SimNetwork::Radio(which)); }),
        oneOf("sim", kCardWords,
              [](SimPhone &p, int which) { p.setSimCard(SimNetwork::Card(which)); }),
        oneOf("network", kNetworkWords,
              [](SimPhone &p, int which) { p.setNetwork(SimNetwork::Network(which)); }),
        code("pin", 4, 8, &SimPhone::setPin),
        code("puk", 8, 8, &SimPhone::setPuk),
        {"pin-tries", 1, 1,
         [](SimCommander &c, const Line &line, QString *error) {
             const auto tries = toInt(line.args[0], 1, SimNetwork::kPinTries);
             if (!tries) {
                 *error = QStringLiteral("pin-tries N (1 to %1)").arg(SimNetwork::kPinTries);
                 return false;
             }
             c.m_phone->setPinTries(*tries);
             return true;
         }},
        twoWay("cpinr", "off", "on", &SimPhone::setPinRetriesAnswered),
        {"hang", 0, 1,
         [](SimCommander &c, const Line &line, QString *error) {
             const bool off = line.args.value(0) == QLatin1String("off");
             const auto ms = line.args.isEmpty() ? -1 : toInt(line.args[0], 1, 86400000);
             if (!off && !ms) {
                 *error = QStringLiteral("hang [MS] | hang off");
                 return false;
             }
             c.m_phone->hang(off ? 0 : *ms);
             return true;
         }},
        twoWay("bare-at", "ok", "error", &SimPhone::setBareAtRefused),
        twoWay("clcc", "ok", "error", &SimPhone::setCallListRefused),
        {"demo", 1, 1,
         [](SimCommander &c, const Line &line, QString *) {
             const std::optional<bool> on = toSwitch(line.args[0]);
             if (on)
                 c.setDemo(*on);
             return on.has_value();
         }},
        {"chunks", 2, 2,
         [](SimCommander &c, const Line &line, QString *error) {
             const auto size = toInt(line.args[0], 0, 1 << 20);
             const auto delay = toInt(line.args[1], 0, 60000);
             if (!size || !delay) {
                 *error = QStringLiteral("chunks SIZE DELAY_MS");
                 return false;
             }
             c.m_phone->setChunking(*size, *delay);
             return true;
         }},
        {"cme", 1, 1,
         [](SimCommander &c, const Line &line, QString *error) {
             const auto code =
                 line.args[0] == QLatin1String("off") ? -1 : toInt(line.args[0], 0, 65535);
             if (!code) {
                 *error = QStringLiteral("cme N | cme off");
                 return false;
             }
             c.m_phone->setCmeError(*code);
             return true;
         }},
        {"delay", 1, 1,
         [](SimCommander &c, const Line &line, QString *) {
             const auto ms = toInt(line.args[0], 0, 3600000);
             if (ms)
                 c.m_phone->setAnswerDelay(*ms);
             return ms.has_value();
         }},
        {"send", 1, kAny,
         [](SimCommander &c, const Line &line, QString *error) {
             const auto bytes = decodeEscapes(line.rest);
             if (!bytes) {
                 *error = QStringLiteral("bad escape; use \\r \\n \\t \\0 \\xNN \\\\");
                 return false;
             }
             c.m_phone->sendRaw(*bytes);
             return true;
         }},
        {"garbage", 1, 1, &SimCommander::scriptRawBytes},
        {"flood", 1, 1, &SimCommander::scriptRawBytes},
        {"profile", 0, kAny,
         [](SimCommander &c, const Line &line, QString *error) {
             if (c.m_phone->setStoredProfile(line.rest.toLatin1()))
                 return true;
             *error = QStringLiteral("profile [SETTINGS], e.g. profile E0Q1V0S0=2;+CRC=1;+CLIP=1");
             return false;
         }},
        {"dial", 1, 2, &SimCommander::scriptDial},
        {"callee", 1, 2, &SimCommander::scriptCallee},
        {"model", 1, kAny,
         [](SimCommander &c, const Line &line, QString *) {
             c.m_phone->setModel(line.rest);
             return true;
         }},
        action("hangup", [](SimCommander &c) { c.m_phone->hangUpLine(); }),
        {"plug", 0, 0,
         [](SimCommander &c, const Line &, QString *error) {
             if (c.m_phone->start(c.m_phone->linkPath()))
                 return true;
             *error = QStringLiteral("cannot open a new pty");
             return false;
         }},
        action("quit", [](SimCommander &c) { emit c.quitRequested(); }),
    };
    return kCommands;
}

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
    for (const ScriptCommand &row : scriptCommands()) {
        if (split.command != QLatin1String(row.name) || split.args.size() < row.minArgs ||
            split.args.size() > row.maxArgs)
            continue;
        QString usage;
        if (row.run(*this, split, &usage))
            return true;
        if (!usage.isEmpty())
            why = usage;
        break;
    }
    if (error)
        *error = why;
    return false;
}

bool SimCommander::scriptRing(const ScriptLine &line, QString *error)
{
    // "ring 2 3000 after AT+CPBS 500": the call waits for the phone to receive the command.
    const QStringList &args = line.args;
    const qsizetype after = args.indexOf(QLatin1String("after"));
    const QStringList ringArgs = after < 0 ? args : args.mid(0, after);
    const QStringList afterArgs = after < 0 ? QStringList() : args.mid(after + 1);
    const auto times = toInt(ringArgs.value(0), 1, 1000);
    const auto interval = ringArgs.size() == 2 ? toInt(ringArgs[1], 0, 3600000) : 3000;
    const auto afterMs = afterArgs.size() == 2 ? toInt(afterArgs[1], 0, 3600000) : 0;
    if (!times || !interval || !afterMs || ringArgs.size() > 2 ||
        (after >= 0 && (afterArgs.isEmpty() || afterArgs.size() > 2))) {
        *error = QStringLiteral("ring N [INTERVAL_MS] [after COMMAND [MS]]");
        return false;
    }
    if (after < 0)
        m_phone->ring(*times, *interval);
    else
        m_phone->ringAfterCommand(afterArgs[0], *afterMs, *times, *interval);
    return true;
}

bool SimCommander::scriptRawBytes(const ScriptLine &line, QString *error)
{
    bool ok = false;
    const qint64 count = line.args[0].toLongLong(&ok);
    if (!ok || count < 1 || count > kMaxRawBytes) {
        *error = line.command + QStringLiteral(" N (1 to %1)").arg(kMaxRawBytes);
        return false;
    }
    m_phone->sendRaw(randomBytes(count));
    return true;
}

bool SimCommander::scriptDial(const ScriptLine &line, QString *error)
{
    static const QStringList kAnswers{QStringLiteral("ok"),          QStringLiteral("busy"),
                                      QStringLiteral("no-carrier"),  QStringLiteral("no-answer"),
                                      QStringLiteral("no-dialtone"), QStringLiteral("cme")};
    const QStringList &args = line.args;
    const qsizetype which = kAnswers.indexOf(args[0].toLower());
    const bool cme = which == kAnswers.size() - 1;
    const auto code = cme && args.size() == 2 ? toInt(args[1], 0, 65535) : std::optional(0);
    if (which < 0 || args.size() != (cme ? 2 : 1) || !code) {
        *error = QStringLiteral("dial ok|busy|no-carrier|no-answer|no-dialtone|cme N");
        return false;
    }
    m_phone->setDialAnswer(SimPhone::DialAnswer(which), *code);
    return true;
}

bool SimCommander::scriptCallee(const ScriptLine &line, QString *error)
{
    static const QStringList kCallees{QStringLiteral("answers"), QStringLiteral("busy"),
                                      QStringLiteral("no-answer"), QStringLiteral("no-carrier"),
                                      QStringLiteral("never")};
    const QStringList &args = line.args;
    const qsizetype which = kCallees.indexOf(args[0].toLower());
    bool ok = args.size() == 1;
    const double seconds = ok ? 0.0 : args[1].toDouble(&ok);
    if (which < 0 || !ok || seconds < 0 || seconds > 3600 ||
        (which == kCallees.size() - 1 && args.size() == 2)) {
        *error =
            QStringLiteral("callee answers|busy|no-answer|no-carrier [SECONDS] | callee never");
        return false;
    }
    m_phone->setCallee(SimPhone::Callee(which), int(seconds * 1000));
    return true;
}

bool SimCommander::scriptWaiting(const ScriptLine &line, QString *error)
{
    // "waiting +39333 5 3000": a call that rings 5 times, 3 s apart, waiting while the call
    // made stands.
    const QStringList &args = line.args;
    const auto times = args.size() > 1 ? toInt(args[1], 1, 1000) : 5;
    const auto interval = args.size() > 2 ? toInt(args[2], 0, 3600000) : 3000;
    if (!times || !interval) {
        *error = QStringLiteral("waiting NUMBER|withheld|unavailable [RINGS [INTERVAL_MS]]");
        return false;
    }
    m_phone->ringWaiting(args[0], callerValidity(args[0]), *times, *interval);
    return true;
}

bool SimCommander::scriptMessage(const ScriptLine &line, QString *error)
{
    const auto text = decodeEscapes(afterFirstArg(line.rest));
    if (!text) {
        *error = QStringLiteral("sms NUMBER TEXT, with \\r \\n \\t \\xNN \\\\ escapes");
        return false;
    }
    m_phone->receiveMessage(line.args[0], *text);
    return true;
}
