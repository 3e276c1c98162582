// SPDX-License-Identifier: GPL-3.0-or-later
#include "demo_phone.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QProcessEnvironment>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcDemo, "tornasquillo.demo", QtInfoMsg)

namespace {

const QString kPhoneName = QStringLiteral("tornasquillo-phone-sim");

} // namespace

DemoPhone::DemoPhone() = default;

DemoPhone::~DemoPhone()
{
    stop();
}

QString DemoPhone::phoneProgram()
{
    const QDir here(QCoreApplication::applicationDirPath());
    const QString beside = here.filePath(kPhoneName);
    // The run without a window lives in libexec/tornasquillo/; the phone stays in bin/.
    const QString inBin = QDir::cleanPath(
        here.filePath(QStringLiteral(TORNASQUILLO_BIN_FROM_HEADLESS "/") + kPhoneName));
    return QFileInfo::exists(beside) || !QFileInfo::exists(inBin) ? beside : inBin;
}

QString DemoPhone::defaultLinkPath()
{
    QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (dir.isEmpty() || !QFileInfo(dir).isDir())
        dir = QStringLiteral("/tmp");
    return QDir(dir).filePath(QStringLiteral("tornasquillo-phone-%1").arg(::getpid()));
}

bool DemoPhone::start(QString *error)
{
    const QString program = phoneProgram();
    m_linkPath = defaultLinkPath();
    setUpProcess(program);
    m_process.start();
    if (!m_process.waitForStarted(kStartTimeoutMs)) {
        *error = QCoreApplication::translate("DemoPhone", "cannot start the simulated phone %1: %2")
                     .arg(program, m_process.errorString());
        return false;
    }
    if (waitForLine()) {
        watchAfterStart();
        return true;
    }
    *error = m_process.state() == QProcess::Running
                 ? QCoreApplication::translate("DemoPhone",
                                               "the simulated phone %1 put up no line within %2 s")
                       .arg(program)
                       .arg(kStartTimeoutMs / 1000)
                 : QCoreApplication::translate(
                       "DemoPhone", "the simulated phone %1 ended before its line was up")
                       .arg(program);
    stop();
    return false;
}

void DemoPhone::setUpProcess(const QString &program)
{
    m_process.setProgram(program);
    m_process.setArguments({QStringLiteral("--demo"), QStringLiteral("--link"), m_linkPath});
    m_process.setStandardInputFile(QProcess::nullDevice());
    // Its warnings are worth seeing beside the program's own; its account of every command is
    // not, unless the operator asks for it with the same rules.
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const QString rules = environment.value(QStringLiteral("QT_LOGGING_RULES"));
    environment.insert(QStringLiteral("QT_LOGGING_RULES"),
                       QStringLiteral("tornasquillo.sim.info=false") +
                           (rules.isEmpty() ? QString() : QLatin1Char(';') + rules));
    m_process.setProcessEnvironment(environment);
    const pid_t parent = ::getpid();
    m_process.setChildProcessModifier([parent] {
        // A group of its own: Ctrl+C in the terminal reaches the program alone, which then still
        // has a phone to reset before it ends the phone itself.
        ::setpgid(0, 0);
        // Killed outright, the program cannot end its phone: the kernel does.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        // The program may have died before that line; then nobody would send the signal.
        if (::getppid() != parent)
            ::_exit(1);
    });
}

bool DemoPhone::waitForLine()
{
    // The phone says "link: PATH" on its standard output once the link stands for its line.
    const QByteArray ready = "link: " + QFile::encodeName(m_linkPath);
    const QDeadlineTimer deadline(kStartTimeoutMs);
    for (;;) {
        while (m_process.canReadLine()) {
            if (m_process.readLine().trimmed() == ready)
                return true;
        }
        if (m_process.state() != QProcess::Running ||
            !m_process.waitForReadyRead(int(deadline.remainingTime())))
            return false;
    }
}

void DemoPhone::watchAfterStart()
{
    // What it says afterwards (a new line after a hang-up) is of no use here.
    QObject::connect(&m_process, &QProcess::readyReadStandardOutput, &m_process,
                     [this] { m_process.readAllStandardOutput(); });
    QObject::connect(
        &m_process, &QProcess::finished, &m_process, [](int code, QProcess::ExitStatus status) {
            qCWarning(lcDemo).noquote()
                << (status == QProcess::CrashExit
                        ? QCoreApplication::translate("DemoPhone",
                                                      "the simulated phone ended by a crash")
                        : QCoreApplication::translate("DemoPhone",
                                                      "the simulated phone ended with status %1")
                              .arg(code));
        });
}

void DemoPhone::stop()
{
    if (m_process.state() != QProcess::NotRunning) {
        QObject::disconnect(&m_process, &QProcess::finished, nullptr, nullptr);
        m_process.terminate();
        if (!m_process.waitForFinished(kStopTimeoutMs)) {
            qCWarning(lcDemo).noquote() << QCoreApplication::translate(
                "DemoPhone", "the simulated phone did not end on SIGTERM; killing it");
            m_process.kill();
            m_process.waitForFinished(kStopTimeoutMs);
        }
    }
    // A phone that had to be killed could not remove its link.
    if (!m_linkPath.isEmpty() && QFileInfo(m_linkPath).isSymLink())
        QFile::remove(m_linkPath);
}
