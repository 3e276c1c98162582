// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim_commands.h"

#include "sim_calls.h"
#include "sim_command_line.h"
#include "sim_log.h"
#include "sim_network.h"

#include <QMutexLocker>

#include <array>
#include <functional>
#include <iterator>
#include <optional>

namespace {

constexpr char kManufacturer[] = "Tornasquillo";
constexpr char kRevision[] = "TS-SIM 1.0";
constexpr char kImei[] = "352099001761481";
constexpr char kImsi[] = "222015550001234";

const QByteArrayList kStorages{"MC", "RC", "DC", "SM", "ME"};
const QByteArrayList kCharsets{"GSM", "IRA", "UCS2", "UTF-8"};

// The values a test form offers to choose from: +CSCS: ("GSM","IRA").
QByteArray choices(const char *name, const QByteArrayList &values)
{
    return QByteArray(name) + ": (\"" + values.join("\",\"") + "\")";
}

QByteArray ucs2Hex(const QString &text)
{
    QByteArray out;
    for (const QChar c : text)
        out += QByteArray::number(c.unicode(), 16).rightJustified(4, '0').toUpper();
    return out;
}

} // namespace

// One command, or a family of commands that differ only in data, and how each of its forms is
// answered. A form without a handler is an error, as it is on a phone.
struct SimCommands::Row
{
    /// A command of the SIM's needs the card there; one that reads it needs it unlocked too.
    enum class Sim { Any, Inserted, Unlocked };

    using Reply = std::function<QByteArrayList(SimCommands &)>;
    using Run = std::function<bool(SimCommands &, const QByteArray &op, Answer &)>;

    const char *name;
    const char *alias = nullptr; ///< another name for the same command ("+GMI" for "+CGMI")
    Reply read = {};             ///< "NAME?": the value in force
    Reply test = {};             ///< "NAME=?": the values it takes
    Run run = {};                ///< any other form; `op` is what follows the name
    bool stored = false;         ///< a setting of the profile that AT&W stores and ATZ restores
    Sim sim = Sim::Any;          ///< what the command needs of the SIM, in every form
    bool (*refused)(const SimCommands &) = nullptr; ///< a quirk that refuses every form
};

const std::vector<SimCommands::Row> &SimCommands::table()
{
    using Reply = Row::Reply;
    const auto fixed = [](const char *text) {
        return Reply([text](SimCommands &) { return QByteArrayList{text}; });
    };
    // E, Q, V: nothing or "0" clears the setting, "1" sets it.
    const auto flag = [](const char *name, bool SimProfile::*field) {
        const auto run = [field](SimCommands &c, const QByteArray &op, Answer &) {
            if (!op.isEmpty() && op != "0" && op != "1")
                return false;
            c.m_profile.*field = op == "1";
            return true;
        };
        return Row{.name = name, .run = run, .stored = true};
    };
    // Z, &W, &F, H: one action, named with or without its 0.
    const auto action = [](const char *name, void (*act)(SimCommands &)) {
        const auto run = [act](SimCommands &c, const QByteArray &op, Answer &) {
            if (!op.isEmpty() && op != "0")
                return false;
            act(c);
            return true;
        };
        return Row{.name = name, .run = run};
    };
    // The bare command gives the identity; the test form only says the command is there.
    const auto identity = [](const char *name, const char *alias, Reply value) {
        const auto run = [value](SimCommands &c, const QByteArray &op, Answer &answer) {
            if (!op.isEmpty())
                return false;
            answer.info += c.m_profile.info(value(c));
            return true;
        };
        const auto test = [](SimCommands &) { return QByteArrayList(); };
        return Row{.name = name, .alias = alias, .test = test, .run = run};
    };
    // A numeric setting: its read form gives the value (and `readTail`, the provisioning status
    // some report after it), its test form the range. An S-register reads as its bare value.
    const auto number = [](const char *name, std::function<int &(SimCommands &)> value, int max,
                           const QByteArray &readTail, const QByteArray &range) {
        const QByteArray label = QByteArray(name) + ": ";
        const auto read = [=](SimCommands &c) {
            const QByteArray number = QByteArray::number(value(c));
            return QByteArrayList{name[0] == 'S' ? number.rightJustified(3, '0')
                                                 : label + number + readTail};
        };
        const auto test = [=](SimCommands &) { return QByteArrayList{label + range}; };
        const auto run = [=](SimCommands &c, const QByteArray &op, Answer &) {
            bool ok = false;
            const int v = op.mid(1).toInt(&ok);
            if (!op.startsWith('=') || !ok || v < 0 || v > max)
                return false;
            value(c) = v;
            return true;
        };
        return Row{.name = name, .read = read, .test = test, .run = run};
    };
    // A numeric setting of the profile.
    const auto setting = [number](const char *name, int SimProfile::*field, int max,
                                  const QByteArray &readTail, const QByteArray &range) {
        const auto value = [field](SimCommands &c) -> int & { return c.m_profile.*field; };
        Row row = number(name, value, max, readTail, range);
        row.stored = true;
        return row;
    };
    const auto creg = [](SimCommands &c) -> int & { return c.m_network.reportMode(); };
    // The unsolicited-report setting, then where the phone is registered (SimNetwork).
    const auto registration = [number, creg] {
        Row row = number("+CREG", creg, 2, {}, "(0-2)");
        row.read = [](SimCommands &c) {
            return QByteArrayList{"+CREG: " + QByteArray::number(c.m_network.reportMode()) + ',' +
                                  QByteArray::number(c.m_network.registration())};
        };
        return row;
    };
    const auto none = [](SimCommands &) { return QByteArrayList(); };
    const auto needsSim = [](Row row, Row::Sim sim) {
        row.sim = sim;
        return row;
    };

    static const std::vector<Row> kTable{
        flag("E", &SimProfile::echo),
        flag("Q", &SimProfile::quiet),
        // A bare V is V0, as a bare E is E0.
        flag("V", &SimProfile::verbose),
        setting("S0", &SimProfile::s0, 255, {}, "(0-255)"),
        // The unsolicited registration reports are no profile setting either, but a reset turns
        // them off.
        action("Z",
               [](SimCommands &c) {
                   c.m_profile = c.m_stored;
                   c.m_network.reportMode() = 0;
               }),
        action("&W", [](SimCommands &c) { c.m_stored = c.m_profile; }),
        action("&F", [](SimCommands &c) { c.m_profile = SimProfile(); }),
        action("H", [](SimCommands &c) { c.m_calls.hangUp(); }),
        Row{.name = "D", .run = &SimCommands::dial},
        identity("+CGMI", "+GMI", fixed(kManufacturer)),
        identity("+CGMM", "+GMM",
                 [](SimCommands &c) { return QByteArrayList{c.model().toUtf8()}; }),
        identity("+CGMR", "+GMR", fixed(kRevision)),
        identity("+CGSN", "+GSN", fixed(kImei)),
        needsSim(identity("+CIMI", nullptr, fixed(kImsi)), Row::Sim::Unlocked),
        setting("+CMEE", &SimProfile::cmee, 2, {}, "(0-2)"),
        setting("+CRC", &SimProfile::crc, 1, {}, "(0,1)"),
        setting("+CLIP", &SimProfile::clip, 1, ",1", "(0,1)"),
        setting("+COLP", &SimProfile::colp, 1, ",1", "(0,1)"),
        setting("+CVHU", &SimProfile::cvhu, 2, {}, "(0-2)"),
        registration(),
        // Full functionality (1), flight mode (4) or minimum (0); the radio's state is no profile
        // setting, so ATZ leaves it as it is.
        Row{.name = "+CFUN",
            .read =
                [](SimCommands &c) {
                    return QByteArrayList{"+CFUN: " +
                                          QByteArray::number(c.m_network.functionality())};
                },
            .test = fixed("+CFUN: (0,1,4),(0)"),
            .run =
                [](SimCommands &c, const QByteArray &op, Answer &) {
                    return op.size() == 2 && op[0] == '=' &&
                           c.m_network.setFunctionality(op[1] - '0');
                }},
        Row{.name = "+CPIN",
            .read = [](SimCommands &c) { return c.m_network.pinState(); },
            .test = none,
            .run = &SimCommands::enterPin,
            .sim = Row::Sim::Inserted},
        Row{.name = "+CPINR",
            .test = none,
            .run = &SimCommands::readRetries,
            .sim = Row::Sim::Inserted},
        Row{.name = "+CSCS",
            .read = &SimCommands::charsetInUse,
            .test = &SimCommands::charsets,
            .run = &SimCommands::selectCharset,
            .stored = true},
        Row{.name = "+CPBS",
            .read = &SimCommands::storageInUse,
            .test = &SimCommands::storages,
            .run = &SimCommands::selectStorage,
            .sim = Row::Sim::Unlocked},
        Row{.name = "+CPBR",
            .test = &SimCommands::phonebookLimits,
            .run = &SimCommands::readPhonebook,
            .sim = Row::Sim::Unlocked},
        // The calls and their state; an empty list is just OK.
        Row{.name = "+CLCC",
            .test = [](SimCommands &) { return QByteArrayList(); },
            .run =
                [](SimCommands &c, const QByteArray &op, Answer &answer) {
                    if (!op.isEmpty() || c.m_callListRefused)
                        return false;
                    answer.info += c.m_profile.info(c.m_calls.callList());
                    if (!c.m_callListNotice.isEmpty())
                        answer.info += c.m_profile.info({c.m_callListNotice});
                    return true;
                }},
        // Call waiting and holding; of its forms the phone plays 0 (reject the waiting call)
        // and 1X (end call X only).
        Row{.name = "+CHLD",
            .test = fixed("+CHLD: (0,1,1x,2,2x,3,4)"),
            .run = &SimCommands::holdCalls,
            .refused = [](const SimCommands &c) { return c.m_holdRefused; }},
        // Text messages: text mode only, where new ones go, and how much of a header is shown.
        Row{.name = "+CMGF",
            .read = fixed("+CMGF: 1"),
            .test = fixed("+CMGF: (1)"),
            .run =
                [](SimCommands &, const QByteArray &op, Answer &answer) {
                    if (op == "=0")
                        answer.final = "+CMS ERROR: 303";
                    return op == "=1";
                },
            .stored = true},
        Row{.name = "+CNMI",
            .read =
                [](SimCommands &c) {
                    QByteArrayList values;
                    for (const int value : c.m_profile.cnmi)
                        values << QByteArray::number(value);
                    return QByteArrayList{"+CNMI: " + values.join(',')};
                },
            .test = fixed("+CNMI: (0-3),(0-3),(0-3),(0-2),(0,1)"),
            .run = &SimCommands::setNewMessages,
            .stored = true},
        setting("+CSDH", &SimProfile::csdh, 1, {}, "(0,1)"),
    };
    return kTable;
}

const SimCommands::Row *SimCommands::find(const QByteArray &command, QByteArray *op)
{
    const qsizetype split = SimCommandLine::nameLength(command);
    const QByteArray name = command.left(split);
    *op = command.mid(split);
    for (const Row &row : table()) {
        if (name == row.name || (row.alias && name == row.alias))
            return &row;
    }
    return nullptr;
}

SimCommands::SimCommands(SimProfile &profile, SimCalls &calls, SimNetwork &network)
    : m_profile(profile), m_stored(profile), m_calls(calls), m_network(network)
{
}

SimCommands::Answer SimCommands::execute(const QByteArray &body)
{
    // The start-up dialogue's settings still work when every other command fails, so a client
    // meets the injected error where it asks the phone something.
    static const QByteArrayList kAlwaysAnswered{"Z", "Z0", "E", "E0", "E1", "Q", "Q0", "V1"};
    Answer answer;
    const std::optional<QByteArrayList> commands = SimCommandLine::split(body);
    if (!commands || (m_bareAtRefused && body.trimmed().isEmpty())) {
        answer.final = "ERROR";
        return answer;
    }
    for (const QByteArray &command : *commands) {
        if (m_cmeError >= 0 && !kAlwaysAnswered.contains(command)) {
            answer.final = "+CME ERROR: " + QByteArray::number(m_cmeError);
            return answer;
        }
        if (!executeOne(command, answer)) {
            if (answer.final == "OK")
                answer.final = "ERROR";
            return answer;
        }
    }
    return answer;
}

bool SimCommands::executeOne(const QByteArray &command, Answer &answer)
{
    if (command.isEmpty())
        return true;
    QByteArray op;
    const Row *row = find(command, &op);
    if (!row)
        return false;
    const int refusal =
        row->sim == Row::Sim::Any ? 0 : m_network.simRefusal(row->sim == Row::Sim::Unlocked);
    if (refusal != 0) {
        answer.final = "+CME ERROR: " + QByteArray::number(refusal);
        return false;
    }
    if (row->refused && row->refused(*this))
        return false;
    const auto reply = [&](const Row::Reply &form) {
        if (!form)
            return false;
        answer.info += m_profile.info(form(*this));
        return true;
    };
    if (op == "?")
        return reply(row->read);
    if (op == "=?")
        return reply(row->test);
    return row->run && row->run(*this, op, answer);
}

bool SimCommands::setStoredProfile(const QByteArray &commands)
{
    QByteArray body = commands.trimmed();
    if (body.toUpper().startsWith("AT"))
        body.remove(0, 2);
    const std::optional<QByteArrayList> list = SimCommandLine::split(body);
    if (!list)
        return false;
    for (const QByteArray &command : *list) {
        if (!command.isEmpty() && !isProfileSetting(command))
            return false;
    }
    const SimProfile saved = m_profile;
    m_profile = SimProfile();
    Answer ignored;
    for (const QByteArray &command : *list) {
        if (!executeOne(command, ignored)) {
            m_profile = saved;
            return false;
        }
    }
    m_stored = m_profile;
    return true;
}

bool SimCommands::isProfileSetting(const QByteArray &command) const
{
    QByteArray op;
    const Row *row = find(command, &op);
    // A read form reports a setting without making it.
    return row && row->stored && op != "?";
}

void SimCommands::setCmeError(int code)
{
    m_cmeError = code < 0 ? -1 : code;
}

void SimCommands::setMissedCallList(bool present)
{
    m_hasMissedCalls = present;
    if (!present)
        m_storage = "SM";
}

QString SimCommands::model() const
{
    QMutexLocker lock(&m_mutex);
    return m_model;
}

void SimCommands::setModel(const QString &model)
{
    QMutexLocker lock(&m_mutex);
    m_model = model;
}

bool SimCommands::dial(const QByteArray &dialString, Answer &answer)
{
    QByteArray text = dialString.trimmed();
    // Tone and pulse modifiers mean nothing to a GSM phone.
    if (text.startsWith('T') || text.startsWith('P'))
        text.remove(0, 1);
    // Without the ';' it would be a data call, which this phone cannot make.
    if (!text.endsWith(';') || text.count(';') != 1)
        return false;
    const QByteArray number = text.chopped(1).trimmed();
    if (!SimCommandLine::isDialNumber(number, kNumberLength))
        return false;
    // Without a network there is nobody to call, whatever the number: the call fails at once.
    if (!m_network.takesCalls()) {
        qCInfo(lcPhoneSim).noquote()
            << simStamp() << "dial to" << number << "refused:" << m_network.whyNoCalls();
        answer.final = "NO CARRIER";
        return false;
    }
    const SimCalls::DialResult result = m_calls.dial(number);
    answer.final = result.final;
    answer.deferred = result.deferred;
    return result.setUp;
}

bool SimCommands::enterPin(const QByteArray &op, Answer &answer)
{
    if (!op.startsWith('='))
        return false;
    const int code = m_network.enterPin(op.mid(1));
    if (code > 0)
        answer.final = "+CME ERROR: " + QByteArray::number(code);
    return code == 0;
}

bool SimCommands::readRetries(const QByteArray &op, Answer &answer)
{
    if (!op.isEmpty() && !op.startsWith('='))
        return false;
    const std::optional<QByteArrayList> lines = m_network.retries(op.mid(1));
    if (lines)
        answer.info += m_profile.info(*lines);
    return lines.has_value();
}

QByteArrayList SimCommands::charsetInUse() const
{
    return {"+CSCS: \"" + m_profile.charset + '"'};
}

QByteArrayList SimCommands::charsets() const
{
    return {choices("+CSCS", kCharsets)};
}

bool SimCommands::selectCharset(const QByteArray &op, Answer &)
{
    const QByteArray charset = SimCommandLine::unquote(op.mid(1)).toUpper();
    if (!op.startsWith('=') || !kCharsets.contains(charset))
        return false;
    m_profile.charset = charset;
    return true;
}

QByteArrayList SimCommands::storageInUse() const
{
    return {"+CPBS: \"" + m_storage + "\"," + QByteArray::number(m_calls.list(m_storage).size()) +
            ',' + QByteArray::number(SimCalls::kListCapacity)};
}

QByteArrayList SimCommands::storages() const
{
    return {choices("+CPBS", m_hasMissedCalls ? kStorages : QByteArrayList{"SM"})};
}

bool SimCommands::selectStorage(const QByteArray &op, Answer &)
{
    const QByteArray which = SimCommandLine::unquote(op.mid(1)).toUpper();
    const bool quoted = which.size() + 2 == op.mid(1).trimmed().size();
    if (!op.startsWith('=') || !kStorages.contains(which) || (!m_hasMissedCalls && which != "SM") ||
        (m_quotedStorageOnly && !quoted))
        return false;
    m_storage = which;
    return true;
}

QByteArrayList SimCommands::phonebookLimits() const
{
    return {"+CPBR: (1-" + QByteArray::number(SimCalls::kListCapacity) + ")," +
            QByteArray::number(kNumberLength) + ',' + QByteArray::number(kNameLength)};
}

bool SimCommands::readPhonebook(const QByteArray &op, Answer &answer)
{
    if (!op.startsWith('='))
        return false;
    const QByteArrayList parts = op.mid(1).split(',');
    if (parts.size() > 2)
        return false;
    bool okFirst = false;
    bool okLast = true;
    const int first = parts[0].trimmed().toInt(&okFirst);
    const int last = parts.size() == 2 ? parts[1].trimmed().toInt(&okLast) : first;
    if (!okFirst || !okLast)
        return false;
    if (first < 1 || last < first || last > SimCalls::kListCapacity) {
        answer.final = "+CME ERROR: 21";
        return false;
    }
    const QList<SimCalls::Caller> entries = m_calls.list(m_storage);
    QByteArrayList lines;
    for (int index = first; index <= last && index <= entries.size(); ++index) {
        const SimCalls::Caller &entry = entries[index - 1];
        int type = 0;
        const QByteArray number = m_calls.listedNumber(entry.number, &type);
        const QByteArray name =
            m_profile.charset == "UCS2" ? ucs2Hex(entry.name) : entry.name.toUtf8();
        lines << "+CPBR: " + QByteArray::number(index) + ",\"" + number + "\"," +
                     QByteArray::number(type) + ",\"" + name + '"';
    }
    // An empty slot is no error for a phone: the list is just shorter.
    answer.info += m_profile.info(lines);
    return true;
}

bool SimCommands::setNewMessages(const QByteArray &op, Answer &)
{
    // +CNMI=<mode>[,<mt>[,<bm>[,<ds>[,<bfr>]]]]: a value left out keeps the one in force.
    static constexpr int kMax[] = {3, 3, 3, 2, 1};
    if (!op.startsWith('='))
        return false;
    const QByteArrayList values = op.mid(1).split(',');
    if (values.size() > qsizetype(std::size(kMax)))
        return false;
    std::array<int, 5> cnmi = m_profile.cnmi;
    for (qsizetype i = 0; i < values.size(); ++i) {
        const QByteArray text = values[i].trimmed();
        bool ok = text.isEmpty() && i > 0;
        const int value = ok ? cnmi[i] : text.toInt(&ok);
        if (!ok || value < 0 || value > kMax[i])
            return false;
        cnmi[i] = value;
    }
    m_profile.cnmi = cnmi;
    return true;
}

bool SimCommands::holdCalls(const QByteArray &op, Answer &)
{
    if (op == "=0")
        return m_calls.releaseWaitingCall();
    // "=1X": X is a call's index as AT+CLCC gives it.
    if (op.size() == 3 && op.startsWith("=1") && op[2] >= '1' && op[2] <= '7')
        return m_calls.releaseCall(op[2] - '0');
    return false;
}
