// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim_phone.h"

#include <QFile>
#include <QMutexLocker>
#include <QSocketNotifier>
#include <QTime>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <optional>
#include <utility>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcPhoneSim, "tornasquillo.sim", QtInfoMsg)

namespace {

constexpr qsizetype kMaxLineLength = 1024;
// Caps what may wait for a reader that never comes, so an unread pty cannot eat the memory.
constexpr qint64 kMaxPendingBytes = 64 * 1024 * 1024;
// Bytes written per turn of the event loop, so a fast reader of a flood cannot starve it.
constexpr qint64 kWriteBudget = 64 * 1024;

constexpr char kManufacturer[] = "Tornasquillo";
constexpr char kRevision[] = "TS-SIM 1.0";
constexpr char kImei[] = "352099001761481";
constexpr char kImsi[] = "222015550001234";

qint64 steadyNs()
{
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

QString stamp()
{
    return QTime::currentTime().toString(QStringLiteral("hh:mm:ss.zzz"));
}

QString printable(const QByteArray &bytes)
{
    QString out;
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\r')
            out += QLatin1String("\\r");
        else if (c == '\n')
            out += QLatin1String("\\n");
        else if (u < 0x20 || u >= 0x7f)
            out += QStringLiteral("\\x%1").arg(u, 2, 16, QLatin1Char('0'));
        else
            out += QLatin1Char(c);
    }
    return out;
}

char upper(char c)
{
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isLetter(char c)
{
    return upper(c) >= 'A' && upper(c) <= 'Z';
}

// Command names and storages are case-insensitive, quoted text (names, storages) keeps its case.
QByteArray upperOutsideQuotes(const QByteArray &text)
{
    QByteArray out = text;
    bool quoted = false;
    for (char &c : out) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted)
            c = upper(c);
    }
    return out;
}

QByteArray unquote(QByteArray text)
{
    text = text.trimmed();
    if (text.size() >= 2 && text.startsWith('"') && text.endsWith('"'))
        return text.mid(1, text.size() - 2);
    return text;
}

qsizetype findAtPrefix(const QByteArray &line)
{
    for (qsizetype i = 0; i + 1 < line.size(); ++i) {
        if (upper(line[i]) == 'A' && upper(line[i + 1]) == 'T')
            return i;
    }
    return -1;
}

// One line may carry several commands: basic ones run together ("E0V1"), extended ones are
// separated by ';', and a dial command takes the rest of the line.
std::optional<QByteArrayList> splitCommands(const QByteArray &body)
{
    QByteArrayList out;
    if (body.trimmed().isEmpty())
        return QByteArrayList{QByteArray()};
    const qsizetype n = body.size();
    qsizetype i = 0;
    while (i < n) {
        const char c = body[i];
        if (c == ' ' || c == ';') {
            ++i;
        } else if (c == '+' || c == '^' || c == '$' || c == '%' || c == '*') {
            qsizetype j = i;
            bool quoted = false;
            while (j < n && (quoted || body[j] != ';')) {
                if (body[j] == '"')
                    quoted = !quoted;
                ++j;
            }
            out << upperOutsideQuotes(body.mid(i, j - i).trimmed());
            i = j + 1;
        } else if (upper(c) == 'D') {
            out << upperOutsideQuotes(body.mid(i).trimmed());
            break;
        } else if (isLetter(c) || c == '&') {
            qsizetype j = i + 1;
            if (c == '&' && j < n)
                ++j;
            if (upper(c) == 'S') {
                while (j < n && (isDigit(body[j]) || body[j] == '=' || body[j] == '?'))
                    ++j;
            } else {
                while (j < n && isDigit(body[j]))
                    ++j;
            }
            out << upperOutsideQuotes(body.mid(i, j - i));
            i = j;
        } else {
            return std::nullopt;
        }
    }
    return out;
}

bool isValidNumber(const QByteArray &number)
{
    if (number.isEmpty() || number.size() > SimPhone::kNumberLength)
        return false;
    for (qsizetype i = 0; i < number.size(); ++i) {
        const char c = number[i];
        if (!(isDigit(c) || c == '*' || c == '#' || (c == '+' && i == 0)))
            return false;
    }
    return number != "+";
}

const QByteArrayList kStorages{"MC", "RC", "DC", "SM", "ME"};
const QByteArrayList kCharsets{"GSM", "IRA", "UCS2", "UTF-8"};

// The result codes that V0 sends as numbers (V.250); the others stay words.
int numericCode(const QByteArray &code)
{
    static const QByteArrayList kCodes{"OK", "CONNECT",     "RING", "NO CARRIER", "ERROR",
                                       "",   "NO DIALTONE", "BUSY", "NO ANSWER"};
    return code.isEmpty() ? -1 : int(kCodes.indexOf(code));
}

QByteArray ucs2Hex(const QString &text)
{
    QByteArray out;
    for (const QChar c : text)
        out += QByteArray::number(c.unicode(), 16).rightJustified(4, '0').toUpper();
    return out;
}

} // namespace

SimPhone::SimPhone(QObject *parent)
    : QObject(parent), m_outputTimer(new QTimer(this)), m_ringTimer(new QTimer(this)),
      m_calleeTimer(new QTimer(this))
{
    m_calleeTimer->setSingleShot(true);
    connect(m_calleeTimer, &QTimer::timeout, this, &SimPhone::calleeActs);
    m_outputTimer->setSingleShot(true);
    connect(m_outputTimer, &QTimer::timeout, this, [this] {
        if (!m_output.empty())
            m_output.front().delayDone = true;
        pumpOutput();
    });
    connect(m_ringTimer, &QTimer::timeout, this, &SimPhone::ringTick);
}

SimPhone::~SimPhone()
{
    closeLine();
    removeOwnLink();
}

bool SimPhone::start(const QString &linkPath)
{
    if (m_master >= 0)
        hangUpLine();

    auto fail = [](const char *what, int master, int slave) {
        qCWarning(lcPhoneSim).noquote() << "cannot open a pty:" << what << std::strerror(errno);
        if (slave >= 0)
            ::close(slave);
        if (master >= 0)
            ::close(master);
        return false;
    };

    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0)
        return fail("posix_openpt", master, -1);
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0)
        return fail("grantpt/unlockpt", master, -1);
    char name[128] = {};
    if (::ptsname_r(master, name, sizeof name) != 0)
        return fail("ptsname_r", master, -1);
    if (::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK) != 0)
        return fail("fcntl", master, -1);
    // Holding the slave open keeps the master from seeing a hang-up whenever the program has
    // closed the port: without it the master polls readable with EIO forever.
    const int slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (slave < 0)
        return fail("open slave", master, slave);
    termios tio{};
    if (::tcgetattr(slave, &tio) != 0)
        return fail("tcgetattr", master, slave);
    ::cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, B19200);
    ::cfsetospeed(&tio, B19200);
    if (::tcsetattr(slave, TCSANOW, &tio) != 0)
        return fail("tcsetattr", master, slave);

    const QString device = QString::fromLocal8Bit(name);
    if (linkPath != m_linkPath)
        removeOwnLink();
    if (!linkPath.isEmpty() && !makeLink(linkPath, device)) {
        ::close(slave);
        ::close(master);
        return false;
    }

    m_master = master;
    m_slave = slave;
    m_linkTarget = linkPath.isEmpty() ? QString() : device;
    m_readNotifier = new QSocketNotifier(master, QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &SimPhone::onReadable);
    m_writeNotifier = new QSocketNotifier(master, QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, [this] {
        m_writeNotifier->setEnabled(false);
        pumpOutput();
    });
    watchForCloses(name);
    {
        QMutexLocker lock(&m_mutex);
        m_devicePath = device;
        m_linkPath = linkPath;
    }
    qCInfo(lcPhoneSim).noquote() << stamp() << "line up on"
                                 << (linkPath.isEmpty()
                                         ? device
                                         : device + QLatin1String(" <- ") + linkPath);
    emit linePlugged(device);
    return true;
}

// QSerialPort makes the port exclusive (TIOCEXCL) and only a clean close undoes it. The tty keeps
// that flag until its last close, which never comes while we hold the slave: a program that was
// killed would find its port busy ever after. A real port forgets it on the last close, so we
// forget it whenever someone else closes the device.
void SimPhone::watchForCloses(const char *device)
{
    m_closeWatch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_closeWatch < 0 ||
        ::inotify_add_watch(m_closeWatch, device, IN_CLOSE_WRITE | IN_CLOSE_NOWRITE) < 0) {
        qCWarning(lcPhoneSim).noquote()
            << "cannot watch" << device << "for closes:" << std::strerror(errno);
        if (m_closeWatch >= 0)
            ::close(m_closeWatch);
        m_closeWatch = -1;
        return;
    }
    m_closeNotifier = new QSocketNotifier(m_closeWatch, QSocketNotifier::Read, this);
    connect(m_closeNotifier, &QSocketNotifier::activated, this, [this] {
        alignas(inotify_event) char events[1024];
        while (::read(m_closeWatch, events, sizeof events) > 0) {
        }
        ::ioctl(m_slave, TIOCNXCL);
    });
}

bool SimPhone::makeLink(const QString &linkPath, const QString &target)
{
    const QByteArray link = QFile::encodeName(linkPath);
    struct stat st
    {
    };
    if (::lstat(link.constData(), &st) == 0 && !S_ISLNK(st.st_mode)) {
        qCWarning(lcPhoneSim).noquote()
            << linkPath << "exists and is not a symlink; not replacing it";
        return false;
    }
    // A rename over the old link never leaves a moment without one.
    const QByteArray temp = link + ".new." + QByteArray::number(::getpid());
    ::unlink(temp.constData());
    if (::symlink(QFile::encodeName(target).constData(), temp.constData()) != 0 ||
        ::rename(temp.constData(), link.constData()) != 0) {
        qCWarning(lcPhoneSim).noquote()
            << "cannot link" << linkPath << "to" << target << ":" << std::strerror(errno);
        ::unlink(temp.constData());
        return false;
    }
    return true;
}

void SimPhone::removeOwnLink()
{
    const QString link = linkPath();
    if (link.isEmpty() || m_linkTarget.isEmpty())
        return;
    // Only our own link: someone may have pointed it elsewhere meanwhile.
    if (QFile::symLinkTarget(link) == m_linkTarget)
        QFile::remove(link);
    m_linkTarget.clear();
    QMutexLocker lock(&m_mutex);
    m_linkPath.clear();
}

void SimPhone::hangUpLine()
{
    if (m_master < 0)
        return;
    closeLine();
    qCInfo(lcPhoneSim).noquote() << stamp() << "line hung up";
    emit lineHungUp();
}

void SimPhone::closeLine()
{
    if (m_master < 0)
        return;
    for (QSocketNotifier *notifier : {m_readNotifier, m_writeNotifier, m_closeNotifier}) {
        if (notifier) {
            notifier->setEnabled(false);
            notifier->deleteLater();
        }
    }
    m_readNotifier = m_writeNotifier = m_closeNotifier = nullptr;
    if (m_closeWatch >= 0)
        ::close(m_closeWatch);
    m_closeWatch = -1;
    m_outputTimer->stop();
    m_output.clear();
    m_pendingBytes = 0;
    ::close(m_slave);
    ::close(m_master);
    m_master = m_slave = -1;
    m_lineBuffer.clear();
    m_discardingLine = false;
    // Nobody is left to hear how the call attempt ends.
    m_dialPending = false;
    {
        QMutexLocker lock(&m_mutex);
        m_devicePath.clear();
    }
    // The last RING of the call was lost with the line: the call is over all the same.
    if (m_ringing && m_ringsLeft == 0)
        endIncomingCall(true);
}

QString SimPhone::devicePath() const
{
    QMutexLocker lock(&m_mutex);
    return m_devicePath;
}

QString SimPhone::linkPath() const
{
    QMutexLocker lock(&m_mutex);
    return m_linkPath;
}

bool SimPhone::isLineUp() const
{
    QMutexLocker lock(&m_mutex);
    return !m_devicePath.isEmpty();
}

QString SimPhone::model() const
{
    QMutexLocker lock(&m_mutex);
    return m_model;
}

void SimPhone::setModel(const QString &model)
{
    QMutexLocker lock(&m_mutex);
    m_model = model;
}

QStringList SimPhone::missedCalls() const
{
    QMutexLocker lock(&m_mutex);
    QStringList out;
    for (const Caller &c : m_missed)
        out << c.number + QLatin1Char('|') + c.name;
    return out;
}

QStringList SimPhone::receivedCommands() const
{
    QMutexLocker lock(&m_mutex);
    return m_received;
}

QStringList SimPhone::dialledNumbers() const
{
    QMutexLocker lock(&m_mutex);
    QStringList out;
    for (const Caller &c : m_dialled)
        out << c.number;
    return out;
}

void SimPhone::setNextCaller(const QString &number, const QString &name)
{
    m_nextCaller = {number, name};
}

void SimPhone::addMissedCall(const QString &number, const QString &name)
{
    QMutexLocker lock(&m_mutex);
    m_missed.prepend({number, name});
    while (m_missed.size() > kPhonebookCapacity)
        m_missed.removeLast();
}

void SimPhone::setSilent(bool silent)
{
    m_silent = silent;
}

void SimPhone::setChunking(int chunkSize, int delayMs)
{
    m_chunkSize = qMax(0, chunkSize);
    m_chunkDelayMs = qMax(0, delayMs);
}

void SimPhone::setCmeError(int code)
{
    m_cmeError = code < 0 ? -1 : code;
}

void SimPhone::setAnswerDelay(int ms)
{
    m_answerDelayMs = qMax(0, ms);
}

bool SimPhone::setStoredProfile(const QByteArray &commands)
{
    QByteArray body = commands.trimmed();
    if (body.size() >= 2 && upper(body[0]) == 'A' && upper(body[1]) == 'T')
        body.remove(0, 2);
    const std::optional<QByteArrayList> list = splitCommands(body);
    if (!list)
        return false;
    for (const QByteArray &command : *list) {
        if (!command.isEmpty() && !isProfileCommand(command))
            return false;
    }
    const Profile saved = m_profile;
    m_profile = Profile();
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

bool SimPhone::isProfileCommand(const QByteArray &command) const
{
    static const QByteArrayList kSettings{
        "+CRC=", "+CLIP=", "+COLP=", "+CVHU=", "+CMEE=", "+CSCS=", "S0="};
    const char first = command.isEmpty() ? 0 : command[0];
    if (first == 'E' || first == 'Q' || first == 'V')
        return true;
    return std::any_of(kSettings.begin(), kSettings.end(),
                       [&](const QByteArray &prefix) { return command.startsWith(prefix); });
}

void SimPhone::setDialAnswer(DialAnswer answer, int cmeCode)
{
    m_dialAnswer = answer;
    m_dialCmeCode = qMax(0, cmeCode);
}

void SimPhone::setCallee(Callee callee, int afterMs)
{
    m_callee = callee;
    m_calleeAfterMs = qMax(0, afterMs);
}

void SimPhone::setMissedCallList(bool present)
{
    m_hasMissedCalls = present;
    if (!present)
        m_storage = "SM";
}

void SimPhone::setBareInternational(bool bare)
{
    m_bareInternational = bare;
}

void SimPhone::sendRaw(const QByteArray &bytes)
{
    if (m_master < 0) {
        qCWarning(lcPhoneSim) << "line is down; dropping" << bytes.size() << "raw bytes";
        return;
    }
    qCInfo(lcPhoneSim).noquote() << stamp() << "->" << bytes.size() << "raw bytes";
    Output out;
    out.bytes = bytes;
    enqueue(std::move(out));
}

void SimPhone::ring(int times, int intervalMs)
{
    if (times <= 0)
        return;
    // A ring() during a call keeps that call ringing instead of starting another one.
    if (!m_ringing) {
        m_ringing = true;
        ++m_callId;
        m_ringIndex = 0;
        m_ringingCaller = m_nextCaller;
        qCInfo(lcPhoneSim).noquote()
            << stamp() << "incoming call from" << m_ringingCaller.number << m_ringingCaller.name;
    }
    m_ringsLeft = times;
    m_ringTimer->stop();
    m_ringTimer->setInterval(qMax(0, intervalMs));
    ringTick();
    if (m_ringing && m_ringsLeft > 0)
        m_ringTimer->start();
}

void SimPhone::ringTick()
{
    if (!m_ringing || m_ringsLeft <= 0) {
        m_ringTimer->stop();
        return;
    }
    --m_ringsLeft;
    ++m_ringIndex;
    if (m_ringsLeft == 0)
        m_ringTimer->stop();
    if (m_master < 0) {
        qCInfo(lcPhoneSim).noquote() << stamp() << "-> RING" << m_ringIndex << "(line down)";
        if (m_ringsLeft == 0)
            endIncomingCall(true);
        return;
    }
    // A phone set to answer by itself takes the call at its S0th ring: the caller is connected,
    // the call is not missed, and no further ring comes.
    const bool answersItself = m_profile.s0 > 0 && m_ringIndex >= m_profile.s0;
    if (answersItself) {
        m_ringTimer->stop();
        m_ringing = false;
        m_ringsLeft = 0;
    }
    qCInfo(lcPhoneSim).noquote() << stamp() << "->" << (m_profile.crc ? "+CRING" : "RING")
                                 << m_ringIndex << (answersItself ? "and answered (S0)" : "");
    Output out;
    out.bytes = resultCode(m_profile.crc ? QByteArray("+CRING: VOICE") : QByteArray("RING"));
    if (m_profile.clip && !m_profile.quiet) {
        int type = 0;
        const QByteArray number = listedNumber(m_ringingCaller.number, &type);
        const QByteArray clip = "+CLIP: \"" + number + "\"," + QByteArray::number(type);
        out.bytes += m_profile.verbose ? "\r\n" + clip + "\r\n" : clip + "\r\n";
    }
    out.event = Event::Ring;
    out.ringIndex = m_ringIndex;
    out.callId = m_callId;
    enqueue(std::move(out));
}

void SimPhone::endIncomingCall(bool missed)
{
    m_ringTimer->stop();
    m_ringing = false;
    m_ringsLeft = 0;
    if (!missed) {
        qCInfo(lcPhoneSim).noquote()
            << stamp() << "incoming call from" << m_ringingCaller.number << "hung up";
        return;
    }
    qCInfo(lcPhoneSim).noquote() << stamp() << "missed call from" << m_ringingCaller.number;
    addMissedCall(m_ringingCaller.number, m_ringingCaller.name);
}

void SimPhone::onReadable()
{
    char buffer[4096];
    const ssize_t n = ::read(m_master, buffer, sizeof buffer);
    if (n < 0 && (errno == EAGAIN || errno == EINTR))
        return;
    if (n <= 0) {
        // Stays readable with EIO or EOF: listening on would spin.
        qCWarning(lcPhoneSim).noquote() << "pty read failed, no longer listening:"
                                        << (n == 0 ? "end of file" : std::strerror(errno));
        m_readNotifier->setEnabled(false);
        return;
    }
    const qint64 ns = steadyNs();
    const int master = m_master;
    for (ssize_t i = 0; i < n && m_master == master; ++i) {
        const char c = buffer[i];
        // On a phone any character aborts a call still being set up; a line feed after the
        // dial's own CR is not one.
        if (m_dialPending && c != '\n')
            abortDial();
        if (c == '\r') {
            if (!m_discardingLine)
                onLine(std::exchange(m_lineBuffer, {}), ns);
            m_lineBuffer.clear();
            m_discardingLine = false;
        } else if (c == '\n' || c == '\0' || m_discardingLine) {
            continue;
        } else if (c == '\b') {
            m_lineBuffer.chop(1);
        } else if (m_lineBuffer.size() >= kMaxLineLength) {
            qCWarning(lcPhoneSim) << "command line longer than" << kMaxLineLength
                                  << "bytes; discarded";
            m_lineBuffer.clear();
            m_discardingLine = true;
        } else {
            m_lineBuffer.append(c);
        }
    }
}

void SimPhone::onLine(QByteArray line, qint64 steadyNs)
{
    const qsizetype at = findAtPrefix(line);
    if (at < 0) {
        if (!line.trimmed().isEmpty())
            qCDebug(lcPhoneSim).noquote() << stamp() << "ignoring" << printable(line);
        return;
    }
    line = line.mid(at);
    const QString text = QString::fromLatin1(line);
    {
        QMutexLocker lock(&m_mutex);
        m_received << text;
    }
    qCInfo(lcPhoneSim).noquote() << stamp() << "<-" << printable(line);
    const int master = m_master;
    emit commandReceived(text, steadyNs);
    if (m_silent || m_master < 0 || m_master != master)
        return;

    // The echo follows the setting in force when the line came in: "ATE0" is still echoed. The
    // result code follows the settings the line leaves: "ATQ0" is answered, "ATV0" with a number.
    const bool echo = m_profile.echo;
    const std::optional<QByteArrayList> commands = splitCommands(line.mid(2));
    Answer answer;
    if (commands)
        answer = execute(*commands);
    else
        answer.final = "ERROR";
    const QByteArray result =
        answer.info + (answer.deferred ? QByteArray() : resultCode(answer.final));

    if (echo)
        enqueueAnswer(line + '\r', 0, Event::None, {});
    int resultDelay = m_answerDelayMs;
    if (resultDelay == 0 && echo && m_chunkSize > 0)
        resultDelay = m_chunkDelayMs;
    enqueueAnswer(result, resultDelay, answer.deferred ? Event::None : Event::Final, answer.final);
    qCDebug(lcPhoneSim).noquote() << stamp() << "->" << printable(answer.info) << answer.final;
}

SimPhone::Answer SimPhone::execute(const QByteArrayList &commands)
{
    static const QByteArrayList kAlwaysAnswered{"Z", "Z0", "E", "E0", "E1", "Q", "Q0", "V1"};
    Answer answer;
    for (const QByteArray &command : commands) {
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

bool SimPhone::executeOne(const QByteArray &command, Answer &answer)
{
    if (command.isEmpty())
        return true;
    const auto flag = [&](bool &value) {
        if (command.size() == 1 || command == command.left(1) + '0')
            value = false;
        else if (command == command.left(1) + '1')
            value = true;
        else
            return false;
        return true;
    };
    if (command[0] == 'E')
        return flag(m_profile.echo);
    if (command[0] == 'Q')
        return flag(m_profile.quiet);
    if (command[0] == 'V') {
        // A bare V is V0, as a bare E is E0.
        return flag(m_profile.verbose);
    }
    if (command == "Z" || command == "Z0") {
        m_profile = m_stored;
        return true;
    }
    if (command == "&W" || command == "&W0") {
        m_stored = m_profile;
        return true;
    }
    if (command == "&F" || command == "&F0") {
        m_profile = Profile();
        return true;
    }
    if (command.startsWith("S0")) {
        const QByteArray op = command.mid(2);
        if (op == "?") {
            addInfo(answer, {QByteArray::number(m_profile.s0).rightJustified(3, '0')});
            return true;
        }
        if (op == "=?") {
            addInfo(answer, {"S0: (0-255)"});
            return true;
        }
        bool ok = false;
        const int rings = op.mid(1).toInt(&ok);
        if (!op.startsWith('=') || !ok || rings < 0 || rings > 255)
            return false;
        m_profile.s0 = rings;
        return true;
    }
    if (command == "H" || command == "H0") {
        if (m_ringing)
            endIncomingCall(false);
        // Under +CVHU=1 the phone says OK and keeps the voice call up.
        if (!m_activeCall.isEmpty() && m_profile.cvhu != 1)
            endCall();
        return true;
    }
    if (command.startsWith('D'))
        return dial(command.mid(1), answer);
    if (!command.startsWith('+'))
        return false;

    qsizetype split = 0;
    while (split < command.size() && command[split] != '=' && command[split] != '?')
        ++split;
    const QByteArray name = command.left(split);
    const QByteArray op = command.mid(split);

    const auto identity = [&](const QByteArray &value) {
        if (op == "=?")
            return true;
        if (!op.isEmpty())
            return false;
        addInfo(answer, {value});
        return true;
    };
    if (name == "+CGMI" || name == "+GMI")
        return identity(kManufacturer);
    if (name == "+CGMM" || name == "+GMM")
        return identity(model().toUtf8());
    if (name == "+CGMR" || name == "+GMR")
        return identity(kRevision);
    if (name == "+CGSN" || name == "+GSN")
        return identity(kImei);
    if (name == "+CIMI")
        return identity(kImsi);

    // A numeric setting: its read form gives the value (and `readTail`, the provisioning status
    // some report after it), its test form the range.
    const auto setting = [&](int &value, int max, const QByteArray &readTail,
                             const QByteArray &range) {
        if (op == "?") {
            addInfo(answer, {name + ": " + QByteArray::number(value) + readTail});
            return true;
        }
        if (op == "=?") {
            addInfo(answer, {name + ": " + range});
            return true;
        }
        bool ok = false;
        const int v = op.mid(1).toInt(&ok);
        if (!op.startsWith('=') || !ok || v < 0 || v > max)
            return false;
        value = v;
        return true;
    };
    if (name == "+CMEE")
        return setting(m_profile.cmee, 2, {}, "(0-2)");
    if (name == "+CRC")
        return setting(m_profile.crc, 1, {}, "(0,1)");
    if (name == "+CLIP")
        return setting(m_profile.clip, 1, ",1", "(0,1)");
    if (name == "+COLP")
        return setting(m_profile.colp, 1, ",1", "(0,1)");
    if (name == "+CVHU")
        return setting(m_profile.cvhu, 2, {}, "(0-2)");
    // Registered on the home network (stat 1), whatever the unsolicited-report setting.
    if (name == "+CREG")
        return setting(m_creg, 2, ",1", "(0-2)");
    if (name == "+CFUN") {
        // Always on: a client that powers the phone up finds it already up.
        if (op == "?")
            addInfo(answer, {"+CFUN: 1"});
        else if (op == "=?")
            addInfo(answer, {"+CFUN: (1),(0)"});
        else if (op != "=1")
            return false;
        return true;
    }
    if (name == "+CSCS") {
        if (op == "?") {
            addInfo(answer, {"+CSCS: \"" + m_profile.charset + '"'});
        } else if (op == "=?") {
            addInfo(answer, {"+CSCS: (\"" + kCharsets.join("\",\"") + "\")"});
        } else {
            const QByteArray charset = unquote(op.mid(1)).toUpper();
            if (!op.startsWith('=') || !kCharsets.contains(charset))
                return false;
            m_profile.charset = charset;
        }
        return true;
    }
    if (name == "+CPBS") {
        if (op == "?") {
            addInfo(answer, {"+CPBS: \"" + m_storage + "\"," +
                             QByteArray::number(storage(m_storage).size()) + ',' +
                             QByteArray::number(kPhonebookCapacity)});
        } else if (op == "=?") {
            const QByteArrayList storages = m_hasMissedCalls ? kStorages : QByteArrayList{"SM"};
            addInfo(answer, {"+CPBS: (\"" + storages.join("\",\"") + "\")"});
        } else {
            const QByteArray which = unquote(op.mid(1)).toUpper();
            if (!op.startsWith('=') || !kStorages.contains(which) ||
                (!m_hasMissedCalls && which != "SM"))
                return false;
            m_storage = which;
        }
        return true;
    }
    if (name == "+CPBR") {
        if (op == "=?") {
            addInfo(answer,
                    {"+CPBR: (1-" + QByteArray::number(kPhonebookCapacity) + ")," +
                     QByteArray::number(kNumberLength) + ',' + QByteArray::number(kNameLength)});
            return true;
        }
        return op.startsWith('=') && readPhonebook(op.mid(1), answer);
    }
    return false;
}

bool SimPhone::readPhonebook(const QByteArray &args, Answer &answer)
{
    const QByteArrayList parts = args.split(',');
    if (parts.size() > 2)
        return false;
    bool okFirst = false;
    bool okLast = true;
    const int first = parts[0].trimmed().toInt(&okFirst);
    const int last = parts.size() == 2 ? parts[1].trimmed().toInt(&okLast) : first;
    if (!okFirst || !okLast)
        return false;
    if (first < 1 || last < first || last > kPhonebookCapacity) {
        answer.final = "+CME ERROR: 21";
        return false;
    }
    const QList<Caller> entries = storage(m_storage);
    QByteArrayList lines;
    for (int index = first; index <= last && index <= entries.size(); ++index) {
        const Caller &entry = entries[index - 1];
        int type = 0;
        const QByteArray number = listedNumber(entry.number, &type);
        const QByteArray name =
            m_profile.charset == "UCS2" ? ucs2Hex(entry.name) : entry.name.toUtf8();
        lines << "+CPBR: " + QByteArray::number(index) + ",\"" + number + "\"," +
                     QByteArray::number(type) + ",\"" + name + '"';
    }
    // An empty slot is no error for a phone: the list is just shorter.
    if (!lines.isEmpty())
        addInfo(answer, lines);
    return true;
}

QByteArray SimPhone::listedNumber(const QString &number, int *type) const
{
    const QByteArray bytes = number.toUtf8();
    const bool international = bytes.startsWith('+');
    *type = international ? 145 : 129;
    return international && m_bareInternational ? bytes.mid(1) : bytes;
}

void SimPhone::addInfo(Answer &answer, const QByteArrayList &lines) const
{
    // V1 frames information text with CR LF on both sides, V0 only ends it with one.
    if (m_profile.verbose)
        answer.info += "\r\n";
    answer.info += lines.join("\r\n") + "\r\n";
}

QByteArray SimPhone::resultCode(const QByteArray &code) const
{
    if (m_profile.quiet)
        return {};
    if (m_profile.verbose)
        return "\r\n" + code + "\r\n";
    const int number = numericCode(code);
    return number >= 0 ? QByteArray::number(number) + '\r' : code + "\r\n";
}

bool SimPhone::dial(const QByteArray &dialString, Answer &answer)
{
    QByteArray text = dialString.trimmed();
    // Tone and pulse modifiers mean nothing to a GSM phone.
    if (text.startsWith('T') || text.startsWith('P'))
        text.remove(0, 1);
    // Without the ';' it would be a data call, which this phone cannot make.
    if (!text.endsWith(';') || text.count(';') != 1)
        return false;
    const QByteArray number = text.chopped(1).trimmed();
    if (!isValidNumber(number) || !m_activeCall.isEmpty())
        return false;
    {
        QMutexLocker lock(&m_mutex);
        m_dialled.prepend({QString::fromLatin1(number), QString()});
        while (m_dialled.size() > kPhonebookCapacity)
            m_dialled.removeLast();
    }
    static const QByteArray kRefusals[] = {"OK",        "BUSY",        "NO CARRIER",
                                           "NO ANSWER", "NO DIALTONE", "+CME ERROR: "};
    if (m_dialAnswer != DialAnswer::Ok) {
        answer.final = kRefusals[int(m_dialAnswer)];
        if (m_dialAnswer == DialAnswer::CmeError)
            answer.final += QByteArray::number(m_dialCmeCode);
        qCInfo(lcPhoneSim).noquote()
            << stamp() << "dial to" << number << "refused:" << answer.final;
        return false;
    }
    m_activeCall = QString::fromLatin1(number);
    qCInfo(lcPhoneSim).noquote() << stamp() << "calling" << m_activeCall;
    // Under +COLP=1 the dial's result waits for the callee (with the connected line before the
    // OK); otherwise OK comes at once and how the call fares is reported on its own.
    m_dialPending = m_profile.colp == 1;
    answer.deferred = m_dialPending;
    if (m_callee != Callee::Never)
        m_calleeTimer->start(m_calleeAfterMs);
    return true;
}

void SimPhone::calleeActs()
{
    if (m_activeCall.isEmpty())
        return;
    const bool pending = std::exchange(m_dialPending, false);
    QByteArray bytes;
    QByteArray code;
    if (m_callee == Callee::Answers) {
        qCInfo(lcPhoneSim).noquote() << stamp() << m_activeCall << "answered";
        if (!pending)
            return;
        Answer connected;
        int type = 0;
        const QByteArray number = listedNumber(m_activeCall, &type);
        addInfo(connected, {"+COLP: \"" + number + "\"," + QByteArray::number(type)});
        bytes = connected.info;
        code = "OK";
    } else {
        static const QByteArray kEnds[] = {"", "BUSY", "NO ANSWER", "NO CARRIER"};
        code = kEnds[int(m_callee)];
        qCInfo(lcPhoneSim).noquote() << stamp() << m_activeCall << "did not answer:" << code;
        endCall();
    }
    enqueueAnswer(bytes + resultCode(code), 0, pending ? Event::Final : Event::None, code);
}

void SimPhone::abortDial()
{
    // The call attempt ends with NO CARRIER, the dial's final result; the line that aborted it
    // is then run as any other, so an ATH is answered OK.
    qCInfo(lcPhoneSim).noquote() << stamp() << "dial to" << m_activeCall
                                 << "aborted by a character from the line";
    m_dialPending = false;
    endCall();
    enqueueAnswer(resultCode("NO CARRIER"), 0, Event::Final, "NO CARRIER");
}

void SimPhone::endCall()
{
    m_calleeTimer->stop();
    m_dialPending = false;
    if (m_activeCall.isEmpty())
        return;
    qCInfo(lcPhoneSim).noquote() << stamp() << "call to" << m_activeCall << "ended";
    m_activeCall.clear();
}

QList<SimPhone::Caller> SimPhone::storage(const QByteArray &name) const
{
    QMutexLocker lock(&m_mutex);
    if (name == "MC")
        return m_missed;
    if (name == "DC")
        return m_dialled;
    return {};
}

void SimPhone::enqueueAnswer(const QByteArray &bytes, int firstDelayMs, Event event,
                             const QByteArray &finalCode)
{
    const qsizetype piece = m_chunkSize > 0 ? m_chunkSize : bytes.size();
    for (qsizetype offset = 0; offset < bytes.size(); offset += piece) {
        Output out;
        out.bytes = bytes.mid(offset, piece);
        out.delayMs = offset == 0 ? firstDelayMs : m_chunkDelayMs;
        if (offset + piece >= bytes.size()) {
            out.event = event;
            out.finalCode = finalCode;
        }
        enqueue(std::move(out));
    }
}

void SimPhone::enqueue(Output output)
{
    if (m_master < 0)
        return;
    if (m_pendingBytes + output.bytes.size() > kMaxPendingBytes) {
        qCWarning(lcPhoneSim) << "nobody reads the line:" << m_pendingBytes
                              << "bytes waiting; dropping" << output.bytes.size() << "more";
        return;
    }
    m_pendingBytes += output.bytes.size();
    m_output.push_back(std::move(output));
    pumpOutput();
}

void SimPhone::pumpOutput()
{
    // Signals emitted below may call back into us; the loop picks up whatever they queued.
    if (m_pumping)
        return;
    m_pumping = true;
    qint64 budget = kWriteBudget;
    while (!m_output.empty() && m_master >= 0) {
        Output &out = m_output.front();
        if (out.delayMs > 0 && !out.delayDone) {
            if (!m_outputTimer->isActive())
                m_outputTimer->start(out.delayMs);
            break;
        }
        bool blocked = false;
        while (out.written < out.bytes.size()) {
            if (budget <= 0) {
                m_writeNotifier->setEnabled(true);
                blocked = true;
                break;
            }
            const ssize_t n = ::write(m_master, out.bytes.constData() + out.written,
                                      size_t(out.bytes.size() - out.written));
            if (n > 0) {
                out.written += n;
                m_pendingBytes -= n;
                budget -= n;
            } else if (n < 0 && errno == EINTR) {
                continue;
            } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                m_writeNotifier->setEnabled(true);
                blocked = true;
                break;
            } else {
                qCWarning(lcPhoneSim).noquote()
                    << "pty write failed, output dropped:" << std::strerror(errno);
                m_output.clear();
                m_pendingBytes = 0;
                blocked = true;
                break;
            }
        }
        if (blocked)
            break;
        const qint64 ns = steadyNs();
        const Output done = std::move(out);
        m_output.pop_front();
        if (done.event == Event::Final) {
            emit finalWritten(done.finalCode, ns);
        } else if (done.event == Event::Ring) {
            // Once the last RING is out the caller has given up: the call is missed.
            if (m_ringing && done.callId == m_callId && m_ringsLeft == 0 &&
                done.ringIndex == m_ringIndex)
                endIncomingCall(true);
            emit ringWritten(done.ringIndex, ns);
        }
    }
    m_pumping = false;
}
