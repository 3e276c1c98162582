// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim_commands.h"

#include "sim_calls.h"
#include "sim_command_line.h"
#include "sim_log.h"
#include "sim_network.h"

#include <QMutexLocker>

#include <array>
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

/// The value of a numeric setting's "=N" form, from 0 to max; nullopt for any other form.
std::optional<int> valueSet(const QByteArray &op, int max)
{
    bool ok = false;
    const int v = op.mid(1).toInt(&ok);
    if (!op.startsWith('=') || !ok || v < 0 || v > max)
        return std::nullopt;
    return v;
}

struct Row;

/// A form that answers information lines: with those of its handler, or with one fixed line.
struct Reply
{
    using Lines = QByteArrayList (*)(const Row &, SimCommands &);

    Reply() = default;
    Reply(Lines handler) : lines(handler) {}
    Reply(const char *fixed) : line(fixed) {}

    Lines lines = nullptr;
    const char *line = nullptr;

    explicit operator bool() const { return lines || line; }
};

using Answer = SimCommands::Answer;

// One command, or a family of commands that differ only in data, and how each of its forms is
// answered. A form without a handler is an error, as it is on a phone. The handlers that serve a
// family read what tells its commands apart from the row.
struct Row
{
    /// A command of the SIM's needs the card there; one that reads it needs it unlocked too.
    enum class Sim { Any, Inserted, Unlocked };

    const char *name;
    const char *alias = nullptr; ///< another name for the same command ("+GMI" for "+CGMI")
    Reply read = {};             ///< "NAME?": the value in force
    Reply test = {};             ///< "NAME=?": the values it takes
    /// Any other form; `op` is what follows the name.
    bool (*run)(const Row &, SimCommands &, const QByteArray &op, Answer &) = nullptr;
    bool stored = false; ///< a setting of the profile that AT&W stores and ATZ restores
    Sim sim = Sim::Any;  ///< what the command needs of the SIM, in every form
    bool (*refused)(const SimCommands &) = nullptr; ///< a quirk that refuses every form

    bool SimProfile::*flag = nullptr;     ///< E, Q, V: the profile's flag it sets
    int SimProfile::*number = nullptr;    ///< the profile's numeric setting it reads and sets
    int max = 0;                          ///< the highest value of a numeric setting
    const char *readTail = "";            ///< what follows a numeric setting's value when read
    const char *range = "";               ///< the values of a numeric setting, as its test form
    const char *identity = nullptr;       ///< what the bare command answers
    void (*act)(SimCommands &) = nullptr; ///< the one action of a command that takes no value
};

/// The largest value of each +CNMI field: <mode>, <mt>, <bm>, <ds>, <bfr>.
constexpr int kCnmiMax[] = {3, 3, 3, 2, 1};

} // namespace

// The handlers of the command table's forms, with the rights of the interpreter itself.
struct SimCommandHandlers
{
    static QByteArrayList nothing(const Row &, SimCommands &) { return {}; }

    // E, Q, V: nothing or "0" clears the setting, "1" sets it.
    static bool setFlag(const Row &row, SimCommands &c, const QByteArray &op, Answer &)
    {
        if (!op.isEmpty() && op != "0" && op != "1")
            return false;
        c.m_profile.*row.flag = op == "1";
        return true;
    }

    // Z, &W, &F, H: one action, named with or without its 0.
    static bool runAction(const Row &row, SimCommands &c, const QByteArray &op, Answer &)
    {
        if (!op.isEmpty() && op != "0")
            return false;
        row.act(c);
        return true;
    }
    // The unsolicited registration reports are no profile setting either, but a reset turns
    // them off.
    static void reset(SimCommands &c)
    {
        c.m_profile = c.m_stored;
        c.m_network.reportMode() = 0;
    }
    static void store(SimCommands &c) { c.m_stored = c.m_profile; }
    static void restoreFactory(SimCommands &c) { c.m_profile = SimProfile(); }
    static void hangUp(SimCommands &c) { c.m_calls.hangUp(); }

    // The bare command gives the identity; the test form only says the command is there.
    static bool identify(SimCommands &c, const QByteArray &op, Answer &answer,
                         const QByteArrayList &identity)
    {
        if (!op.isEmpty())
            return false;
        answer.info += c.m_profile.info(identity);
        return true;
    }
    static bool giveIdentity(const Row &row, SimCommands &c, const QByteArray &op, Answer &answer)
    {
        return identify(c, op, answer, {row.identity});
    }
    static bool giveModel(const Row &, SimCommands &c, const QByteArray &op, Answer &answer)
    {
        return identify(c, op, answer, {c.model().toUtf8()});
    }

    // A numeric setting of the profile: its read form gives the value (and the row's readTail,
    // the provisioning status some report after it), its test form the range. An S-register
    // reads as its bare value.
    static QByteArrayList readNumber(const Row &row, SimCommands &c)
    {
        const QByteArray number = QByteArray::number(c.m_profile.*row.number);
        return {row.name[0] == 'S' ? number.rightJustified(3, '0')
                                   : QByteArray(row.name) + ": " + number + row.readTail};
    }
    static QByteArrayList numberRange(const Row &row, SimCommands &)
    {
        return {QByteArray(row.name) + ": " + row.range};
    }
    static bool setNumber(const Row &row, SimCommands &c, const QByteArray &op, Answer &)
    {
        const std::optional<int> value = valueSet(op, row.max);
        if (value)
            c.m_profile.*row.number = *value;
        return value.has_value();
    }

    // The unsolicited-report setting, then where the phone is registered (SimNetwork).
    static QByteArrayList readRegistration(const Row &, SimCommands &c)
    {
        return {"+CREG: " + QByteArray::number(c.m_network.reportMode()) + ',' +
                QByteArray::number(c.m_network.registration())};
    }
    static bool setReportMode(const Row &row, SimCommands &c, const QByteArray &op, Answer &)
    {
        const std::optional<int> value = valueSet(op, row.max);
        if (value)
            c.m_network.reportMode() = *value;
        return value.has_value();
    }

    // Full functionality (1), flight mode (4) or minimum (0).
    static QByteArrayList readFunctionality(const Row &, SimCommands &c)
    {
        return {"+CFUN: " + QByteArray::number(c.m_network.functionality())};
    }
    static bool setFunctionality(const Row &, SimCommands &c, const QByteArray &op, Answer &)
    {
        return op.size() == 2 && op[0] == '=' && c.m_network.setFunctionality(op[1] - '0');
    }

    static QByteArrayList pinState(const Row &, SimCommands &c) { return c.m_network.pinState(); }
    static bool enterPin(const Row &, SimCommands &c, const QByteArray &op, Answer &answer);
    static bool readRetries(const Row &, SimCommands &c, const QByteArray &op, Answer &answer);

    static QByteArrayList charsetInUse(const Row &, SimCommands &c)
    {
        return {"+CSCS: \"" + c.m_profile.charset + '"'};
    }
    static QByteArrayList charsets(const Row &, SimCommands &)
    {
        return {choices("+CSCS", kCharsets)};
    }
    static bool selectCharset(const Row &, SimCommands &c, const QByteArray &op, Answer &);

    static QByteArrayList storageInUse(const Row &, SimCommands &c);
    static QByteArrayList storages(const Row &, SimCommands &c)
    {
        return {choices("+CPBS", c.m_hasMissedCalls ? kStorages : QByteArrayList{"SM"})};
    }
    static bool selectStorage(const Row &, SimCommands &c, const QByteArray &op, Answer &);
    static QByteArrayList phonebookLimits(const Row &, SimCommands &);
    static bool readPhonebook(const Row &, SimCommands &c, const QByteArray &op, Answer &answer);

    // The calls and their state; an empty list is just OK.
    static bool listCalls(const Row &, SimCommands &c, const QByteArray &op, Answer &answer)
    {
        if (!op.isEmpty() || c.m_callListRefused)
            return false;
        answer.info += c.m_profile.info(c.m_calls.callList());
        if (!c.m_callListNotice.isEmpty())
            answer.info += c.m_profile.info({c.m_callListNotice});
        return true;
    }
    static bool holdCalls(const Row &, SimCommands &c, const QByteArray &op, Answer &);
    static bool holdRefused(const SimCommands &c) { return c.m_holdRefused; }

    static bool selectTextMode(const Row &, SimCommands &, const QByteArray &op, Answer &answer)
    {
        if (op == "=0")
            answer.final = "+CMS ERROR: 303";
        return op == "=1";
    }
    static QByteArrayList newMessagesInUse(const Row &, SimCommands &c)
    {
        QByteArrayList values;
        for (const int value : c.m_profile.cnmi)
            values << QByteArray::number(value);
        return {"+CNMI: " + values.join(',')};
    }
    static bool setNewMessages(const Row &, SimCommands &c, const QByteArray &op, Answer &);

    static bool dial(const Row &, SimCommands &c, const QByteArray &dialString, Answer &answer);
};

namespace {

using H = SimCommandHandlers;

Row flag(const char *name, bool SimProfile::*field)
{
    return Row{.name = name, .run = &H::setFlag, .stored = true, .flag = field};
}

Row action(const char *name, void (*act)(SimCommands &))
{
    return Row{.name = name, .run = &H::runAction, .act = act};
}

Row identity(const char *name, const char *alias, const char *value, Row::Sim sim = Row::Sim::Any)
{
    return Row{.name = name,
               .alias = alias,
               .test = &H::nothing,
               .run = value ? &H::giveIdentity : &H::giveModel,
               .sim = sim,
               .identity = value};
}

Row setting(const char *name, int SimProfile::*field, int max, const char *readTail,
            const char *range)
{
    return Row{.name = name,
               .read = &H::readNumber,
               .test = &H::numberRange,
               .run = &H::setNumber,
               .stored = true,
               .number = field,
               .max = max,
               .readTail = readTail,
               .range = range};
}

// The commands, looked up in this order: the first row that bears the name answers.
const Row kTable[] = {
    flag("E", &SimProfile::echo),
    flag("Q", &SimProfile::quiet),
    // A bare V is V0, as a bare E is E0.
    flag("V", &SimProfile::verbose),
    setting("S0", &SimProfile::s0, 255, "", "(0-255)"),
    action("Z", &H::reset),
    action("&W", &H::store),
    action("&F", &H::restoreFactory),
    action("H", &H::hangUp),
    Row{.name = "D", .run = &H::dial},
    identity("+CGMI", "+GMI", kManufacturer),
    identity("+CGMM", "+GMM", nullptr), // the model, which may change while the phone runs
    identity("+CGMR", "+GMR", kRevision),
    identity("+CGSN", "+GSN", kImei),
    identity("+CIMI", nullptr, kImsi, Row::Sim::Unlocked),
    setting("+CMEE", &SimProfile::cmee, 2, "", "(0-2)"),
    setting("+CRC", &SimProfile::crc, 1, "", "(0,1)"),
    setting("+CLIP", &SimProfile::clip, 1, ",1", "(0,1)"),
    setting("+COLP", &SimProfile::colp, 1, ",1", "(0,1)"),
    setting("+CVHU", &SimProfile::cvhu, 2, "", "(0-2)"),
    Row{.name = "+CREG",
        .read = &H::readRegistration,
        .test = &H::numberRange,
        .run = &H::setReportMode,
        .max = 2,
        .range = "(0-2)"},
    // The radio's state is no profile setting, so ATZ leaves it as it is.
    Row{.name = "+CFUN",
        .read = &H::readFunctionality,
        .test = "+CFUN: (0,1,4),(0)",
        .run = &H::setFunctionality},
    Row{.name = "+CPIN",
        .read = &H::pinState,
        .test = &H::nothing,
        .run = &H::enterPin,
        .sim = Row::Sim::Inserted},
    Row{.name = "+CPINR", .test = &H::nothing, .run = &H::readRetries, .sim = Row::Sim::Inserted},
    Row{.name = "+CSCS",
        .read = &H::charsetInUse,
        .test = &H::charsets,
        .run = &H::selectCharset,
        .stored = true},
    Row{.name = "+CPBS",
        .read = &H::storageInUse,
        .test = &H::storages,
        .run = &H::selectStorage,
        .sim = Row::Sim::Unlocked},
    Row{.name = "+CPBR",
        .test = &H::phonebookLimits,
        .run = &H::readPhonebook,
        .sim = Row::Sim::Unlocked},
    Row{.name = "+CLCC", .test = &H::nothing, .run = &H::listCalls},
    // Call waiting and holding; of its forms the phone plays 0 (reject the waiting call)
    // and 1X (end call X only).
    Row{.name = "+CHLD",
        .test = "+CHLD: (0,1,1x,2,2x,3,4)",
        .run = &H::holdCalls,
        .refused = &H::holdRefused},
    // Text messages: text mode only, where new ones go, and how much of a header is shown.
    Row{.name = "+CMGF",
        .read = "+CMGF: 1",
        .test = "+CMGF: (1)",
        .run = &H::selectTextMode,
        .stored = true},
    Row{.name = "+CNMI",
        .read = &H::newMessagesInUse,
        .test = "+CNMI: (0-3),(0-3),(0-3),(0-2),(0,1)",
        .run = &H::setNewMessages,
        .stored = true},
    setting("+CSDH", &SimProfile::csdh, 1, "", "(0,1)"),
};

const Row *findRow(const QByteArray &command, QByteArray *op)
{
    const qsizetype split = SimCommandLine::nameLength(command);
    const QByteArray name = command.left(split);
    *op = command.mid(split);
    for (const Row &row : kTable) {
        if (name == row.name || (row.alias && name == row.alias))
            return &row;
    }
    return nullptr;
}

} // namespace

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
    const Row *row = findRow(command, &op);
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
    const auto reply = [&](const Reply &form) {
        if (!form)
            return false;
        answer.info +=
            m_profile.info(form.line ? QByteArrayList{form.line} : form.lines(*row, *this));
        return true;
    };
    if (op == "?")
        return reply(row->read);
    if (op == "=?")
        return reply(row->test);
    return row->run && row->run(*row, *this, op, answer);
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
    const Row *row = findRow(command, &op);
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

bool SimCommandHandlers::dial(const Row &, SimCommands &c, const QByteArray &dialString,
                              Answer &answer)
{
    QByteArray text = dialString.trimmed();
    // Tone and pulse modifiers mean nothing to a GSM phone.
    if (text.startsWith('T') || text.startsWith('P'))
        text.remove(0, 1);
    // Without the ';' it would be a data call, which this phone cannot make.
    if (!text.endsWith(';') || text.count(';') != 1)
        return false;
    const QByteArray number = text.chopped(1).trimmed();
    if (!SimCommandLine::isDialNumber(number, SimCommands::kNumberLength))
        return false;
    // Without a network there is nobody to call, whatever the number: the call fails at once.
    if (!c.m_network.takesCalls()) {
        qCInfo(lcPhoneSim).noquote()
            << simStamp() << "dial to" << number << "refused:" << c.m_network.whyNoCalls();
        answer.final = "NO CARRIER";
        return false;
    }
    const SimCalls::DialResult result = c.m_calls.dial(number);
    answer.final = result.final;
    answer.deferred = result.deferred;
    return result.setUp;
}

bool SimCommandHandlers::enterPin(const Row &, SimCommands &c, const QByteArray &op, Answer &answer)
{
    if (!op.startsWith('='))
        return false;
    const int code = c.m_network.enterPin(op.mid(1));
    if (code > 0)
        answer.final = "+CME ERROR: " + QByteArray::number(code);
    return code == 0;
}

bool SimCommandHandlers::readRetries(const Row &, SimCommands &c, const QByteArray &op,
                                     Answer &answer)
{
    if (!op.isEmpty() && !op.startsWith('='))
        return false;
    const std::optional<QByteArrayList> lines = c.m_network.retries(op.mid(1));
    if (lines)
        answer.info += c.m_profile.info(*lines);
    return lines.has_value();
}

bool SimCommandHandlers::selectCharset(const Row &, SimCommands &c, const QByteArray &op, Answer &)
{
    const QByteArray charset = SimCommandLine::unquote(op.mid(1)).toUpper();
    if (!op.startsWith('=') || !kCharsets.contains(charset))
        return false;
    c.m_profile.charset = charset;
    return true;
}

QByteArrayList SimCommandHandlers::storageInUse(const Row &, SimCommands &c)
{
    return {"+CPBS: \"" + c.m_storage + "\"," +
            QByteArray::number(c.m_calls.list(c.m_storage).size()) + ',' +
            QByteArray::number(SimCalls::kListCapacity)};
}

bool SimCommandHandlers::selectStorage(const Row &, SimCommands &c, const QByteArray &op, Answer &)
{
    const QByteArray which = SimCommandLine::unquote(op.mid(1)).toUpper();
    const bool quoted = which.size() + 2 == op.mid(1).trimmed().size();
    if (!op.startsWith('=') || !kStorages.contains(which) ||
        (!c.m_hasMissedCalls && which != "SM") || (c.m_quotedStorageOnly && !quoted))
        return false;
    c.m_storage = which;
    return true;
}

QByteArrayList SimCommandHandlers::phonebookLimits(const Row &, SimCommands &)
{
    return {"+CPBR: (1-" + QByteArray::number(SimCalls::kListCapacity) + ")," +
            QByteArray::number(SimCommands::kNumberLength) + ',' +
            QByteArray::number(SimCommands::kNameLength)};
}

bool SimCommandHandlers::readPhonebook(const Row &, SimCommands &c, const QByteArray &op,
                                       Answer &answer)
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
    const QList<SimCalls::Caller> entries = c.m_calls.list(c.m_storage);
    QByteArrayList lines;
    for (int index = first; index <= last && index <= entries.size(); ++index) {
        const SimCalls::Caller &entry = entries[index - 1];
        int type = 0;
        const QByteArray number = c.m_calls.listedNumber(entry.number, &type);
        const QByteArray name =
            c.m_profile.charset == "UCS2" ? ucs2Hex(entry.name) : entry.name.toUtf8();
        lines << "+CPBR: " + QByteArray::number(index) + ",\"" + number + "\"," +
                     QByteArray::number(type) + ",\"" + name + '"';
    }
    // An empty slot is no error for a phone: the list is just shorter.
    answer.info += c.m_profile.info(lines);
    return true;
}

bool SimCommandHandlers::setNewMessages(const Row &, SimCommands &c, const QByteArray &op, Answer &)
{
    // +CNMI=<mode>[,<mt>[,<bm>[,<ds>[,<bfr>]]]]: a value left out keeps the one in force.
    if (!op.startsWith('='))
        return false;
    const QByteArrayList values = op.mid(1).split(',');
    if (values.size() > qsizetype(std::size(kCnmiMax)))
        return false;
    std::array<int, 5> cnmi = c.m_profile.cnmi;
    for (qsizetype i = 0; i < values.size(); ++i) {
        const QByteArray text = values[i].trimmed();
        bool ok = text.isEmpty() && i > 0;
        const int value = ok ? cnmi[i] : text.toInt(&ok);
        if (!ok || value < 0 || value > kCnmiMax[i])
            return false;
        cnmi[i] = value;
    }
    c.m_profile.cnmi = cnmi;
    return true;
}

bool SimCommandHandlers::holdCalls(const Row &, SimCommands &c, const QByteArray &op, Answer &)
{
    if (op == "=0")
        return c.m_calls.releaseWaitingCall();
    // "=1X": X is a call's index as AT+CLCC gives it.
    if (op.size() == 3 && op.startsWith("=1") && op[2] >= '1' && op[2] <= '7')
        return c.m_calls.releaseCall(op[2] - '0');
    return false;
}
