// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim_phone.h"
#include "sim_script.h"

#include "app/quit_signals.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Reads script lines from stdin without ever blocking; its end leaves the sim running.
void watchStdin(QCoreApplication &app, SimScript *script)
{
    // No O_NONBLOCK: it would stick to a terminal shared with the shell. The notifier says
    // when one read cannot block.
    if (::fcntl(STDIN_FILENO, F_GETFD) < 0)
        return;
    auto *notifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [notifier, script] {
        char buffer[4096];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n > 0) {
            script->feed(QByteArray(buffer, n));
            return;
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            return;
        // A background job reading its terminal gets EIO (SIGTTIN is ignored): same as the end.
        qCInfo(lcPhoneSim).noquote() << "stdin" << (n == 0 ? "closed" : std::strerror(errno))
                                     << "- still running until SIGINT/SIGTERM or quit";
        notifier->setEnabled(false);
        script->finish();
    });
}

void printLine(const QString &text)
{
    std::fputs(qPrintable(text + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

/// What --help says of the script's commands.
const char kDescription[] =
    "A simulated GSM phone on a pseudo-terminal, for testing Tornasquillo.\n"
    "Script commands (stdin or --script, one per line, # comments):\n"
    "  ring N [INTERVAL_MS] [after COMMAND [MS]]\n"
    "                          a call; with after, MS after the phone receives a command\n"
    "                          line starting with COMMAND (0: ahead of its answer)\n"
    "  caller NUMBER [NAME...] | silent on|off | ringframe crlf|crcrlf\n"
    "  caller withheld|unavailable\n"
    "                          the next calls give no number: +CLIP: \"\",128,,,,1 (or 2);\n"
    "                          they leave nothing in the missed-call list\n"
    "  waiting NUMBER|withheld|unavailable [RINGS [INTERVAL_MS]]\n"
    "                          a call rings in (5 rings, 3000 ms); while a call made\n"
    "                          stands it waits: +CCWA: \"NUMBER\",145,1 once, no RING,\n"
    "                          AT+CLCC stat 5; then it rings. ATH ends both calls, the\n"
    "                          waiting one missed; AT+CHLD=11 ends only the call made\n"
    "  chld ok|error           error: AT+CHLD is answered ERROR\n"
    "  sms NUMBER TEXT         a text message (escapes as for send): +CNMI mt 2 or 3\n"
    "                          sends +CMT: \"NUMBER\",,\"STAMP\" (every field under\n"
    "                          +CSDH=1) and TEXT; mt 1 stores it with +CMTI: \"SM\",N;\n"
    "                          mt 0 stores it. Factory +CNMI: 2,1,0,0,0\n"
    "  notice TEXT             TEXT as an unsolicited line\n"
    "  clcc-notice [TEXT]      TEXT slipped into every AT+CLCC answer before its OK;\n"
    "                          without TEXT none"
    "  chunks SIZE DELAY_MS | cme N|off | delay MS | send TEXT\n"
    "  garbage N | flood N | hangup | plug | wait MS | demo on|off\n"
    "  model TEXT | quit\n"
    "  profile [SETTINGS]      stored profile: the factory's with SETTINGS applied, e.g.\n"
    "                          profile E0Q1V0S0=2;+CRC=1;+CLIP=1;+COLP=1;+CVHU=1;\n"
    "                          +CMEE=1;+CSCS=\"UCS2\";+CNMI=2,2,0,0,0;+CSDH=1\n"
    "                          (also in force at once)\n"
    "  dial ok|busy|no-carrier|no-answer|no-dialtone|cme N\n"
    "                          how dials are answered (ok: the call is set up)\n"
    "  callee answers|busy|no-answer|no-carrier [SECONDS] | callee never\n"
    "                          what the called party does, SECONDS after the dial\n"
    "                          (default: never); under +COLP=1 that is the dial's result\n"
    "  mc on|off               whether the missed-call list MC exists\n"
    "  international plus|bare international numbers listed with or without '+'\n"
    "  dial-while-ringing ok|refuse\n"
    "                          refuse: a dial while a call rings in gets NO CARRIER\n"
    "  storage any|quoted      quoted: AT+CPBS takes only \"MC\" in quotes\n"
    "  radio on|off|min        off: +CFUN: 4, min: +CFUN: 0; not registered, until\n"
    "                          AT+CFUN=1 (ATZ leaves the radio as it is)\n"
    "  bare-at ok|error        error: a bare AT is answered ERROR, commands work\n"
    "  clcc ok|error           error: AT+CLCC (the list of calls) is answered ERROR\n"
    "  sim ready|pin|puk|absent\n"
    "                          the SIM: AT+CPIN? answers +CPIN: READY, SIM PIN or\n"
    "                          SIM PUK; absent: +CME ERROR: 10. While it is locked,\n"
    "                          AT+CPBS/AT+CPBR answer +CME ERROR: 10, 11 or 12\n"
    "  pin CODE | puk CODE     the SIM's PIN (1234) and PUK (12345678): AT+CPIN=PIN,\n"
    "                          AT+CPIN=PUK,NEWPIN; a wrong one +CME ERROR: 16\n"
    "  pin-tries N             PIN tries left (1-3, at first 3); none left: SIM PUK\n"
    "  cpinr on|off            off: AT+CPINR (the tries left) is answered ERROR\n"
    "  network home|roaming|searching|denied|none\n"
    "                          AT+CREG? stat 1, 5, 2, 3 or 0; stat 0 whatever it is\n"
    "                          while the SIM is locked or the radio off. +CREG=1\n"
    "                          reports each change (+CREG: STAT); ATZ stops that.\n"
    "                          Not registered (1 or 5): no rings, dials NO CARRIER\n"
    "  hang [MS] | hang off    no answer to anything, no ring, what comes in is\n"
    "                          lost: for MS milliseconds, or until hang off";

/// A quirk of the phone that an option turns on: the setter, and the value it gets when the option
/// is given (the opposite when it is not).
struct QuirkOption
{
    const char *name;
    const char *description;
    void (SimPhone::*set)(bool);
    bool whenGiven;
};

const QuirkOption kQuirks[] = {
    {"no-mc", "No missed-call list: AT+CPBS=? lists only SM.", &SimPhone::setMissedCallList, false},
    {"bare-international", "International numbers listed without '+' (type 145).",
     &SimPhone::setBareInternational, true},
    {"ring-cr-cr-lf", "Rings framed CR LF RING CR CR LF.", &SimPhone::setExtraCrAfterRing, true},
    {"refuse-dial-while-ringing", "A dial while a call rings in is answered NO CARRIER.",
     &SimPhone::setRefuseDialWhileRinging, true},
    {"quoted-storage-only", "AT+CPBS takes only a quoted storage: +CPBS=\"MC\", not +CPBS=MC.",
     &SimPhone::setQuotedStorageOnly, true},
    {"radio-off", "The radio is off (+CFUN: 4), so not registered, until AT+CFUN=1.",
     &SimPhone::setRadioOn, false},
    {"refuse-clcc", "AT+CLCC, the list of calls, is answered ERROR.", &SimPhone::setCallListRefused,
     true},
    {"no-cpinr", "AT+CPINR, the SIM's tries left, is answered ERROR.",
     &SimPhone::setPinRetriesAnswered, false},
    {"no-chld", "AT+CHLD, call waiting and holding, is answered ERROR.", &SimPhone::setHoldRefused,
     true},
};

/// An option whose value is a script line's argument: --NAME VALUE runs the line "NAME VALUE".
struct ScriptOption
{
    const char *name;
    const char *valueName;
    const char *description;
};

const ScriptOption kScriptOptions[] = {
    {"callee", "WHAT",
     "What the called party of a dial does, as the script's callee line: \"answers 2\", "
     "\"busy 3\", \"never\" (the default)."},
    {"sim", "STATE", "The SIM: ready (the default), pin, puk or absent."},
    {"pin", "CODE", "The SIM's PIN (default 1234)."},
    {"pin-tries", "N", "The PIN's tries left, 1 to 3 (default 3)."},
    {"puk", "CODE", "The SIM's PUK (default 12345678)."},
    {"network", "STATE",
     "The network: home (the default), roaming, searching, denied or none (+CREG stat 1, 5, 2, "
     "3, 0)."},
    {"radio", "STATE", "The radio at power-on: on (the default), off (+CFUN: 4) or min (0)."},
    {"clcc-notice", "TEXT",
     "An unsolicited line slipped into every AT+CLCC answer before its OK, as the script's "
     "clcc-notice line (e.g. '+CMTI: \"SM\",4' or '^CONN:1,0')."},
};

/// The command line: the options with a value, the demo, and the quirks.
struct SimOptions
{
    QCommandLineParser parser;
    const QCommandLineOption link{QStringLiteral("link"),
                                  QStringLiteral("Symlink to the pty's device."),
                                  QStringLiteral("PATH")};
    const QCommandLineOption script{QStringLiteral("script"), QStringLiteral("Script file to run."),
                                    QStringLiteral("FILE")};
    const QCommandLineOption demo{QStringLiteral("demo"),
                                  QStringLiteral("A demo caller rings once, 4 s after the program "
                                                 "has opened the line, then every 30 s.")};
    const QCommandLineOption model{QStringLiteral("model"), QStringLiteral("What +CGMM answers."),
                                   QStringLiteral("TEXT")};
    const QCommandLineOption profile{
        QStringLiteral("profile"),
        QStringLiteral("Stored profile: the factory's with SETTINGS applied, as the script's "
                       "profile line (e.g. \"+CRC=1;+CLIP=1\")."),
        QStringLiteral("SETTINGS")};
    const QCommandLineOption hangAfter{
        QStringLiteral("hang-after"),
        QStringLiteral("The phone answers for MS milliseconds, then never again (as the "
                       "script's hang)."),
        QStringLiteral("MS")};
    QList<QCommandLineOption> quirks;
    QList<QCommandLineOption> scriptOptions;

    explicit SimOptions(QCoreApplication &app)
    {
        parser.setApplicationDescription(QString::fromLatin1(kDescription));
        parser.addHelpOption();
        parser.addOptions({link, script, demo, model, profile});
        for (const QuirkOption &quirk : kQuirks)
            quirks << QCommandLineOption(QString::fromLatin1(quirk.name),
                                         QString::fromLatin1(quirk.description));
        parser.addOptions(quirks);
        for (const ScriptOption &option : kScriptOptions)
            scriptOptions << QCommandLineOption(QString::fromLatin1(option.name),
                                                QString::fromLatin1(option.description),
                                                QString::fromLatin1(option.valueName));
        parser.addOptions(scriptOptions);
        parser.addOption(hangAfter);
        parser.process(app);
    }
};

int fail(const QString &why)
{
    std::fprintf(stderr, "tornasquillo-phone-sim: %s\n", qPrintable(why));
    return 1;
}

/// The phone as the options make it, before its line is up; false, having said why, when an
/// option's value is not one it takes.
bool setUpPhone(SimPhone &phone, const SimOptions &options)
{
    const QCommandLineParser &parser = options.parser;
    if (parser.isSet(options.model))
        phone.setModel(parser.value(options.model));
    if (parser.isSet(options.profile) &&
        !phone.setStoredProfile(parser.value(options.profile).toLatin1())) {
        fail(QStringLiteral("--profile: not a profile setting in %1")
                 .arg(parser.value(options.profile)));
        return false;
    }
    for (qsizetype i = 0; i < options.quirks.size(); ++i) {
        const QuirkOption &quirk = kQuirks[i];
        (phone.*quirk.set)(parser.isSet(options.quirks[i]) == quirk.whenGiven);
    }
    return true;
}

/// The options that are script lines, run in the table's order, so --pin-tries follows --sim;
/// and the hang to come. False, having said why, for a value the line does not take.
bool runScriptOptions(SimCommander &commander, SimPhone &phone, const SimOptions &options)
{
    const QCommandLineParser &parser = options.parser;
    for (qsizetype i = 0; i < options.scriptOptions.size(); ++i) {
        const QCommandLineOption &option = options.scriptOptions[i];
        QString error;
        if (parser.isSet(option) &&
            !commander.execute(
                option.names().constFirst() + QLatin1Char(' ') + parser.value(option), &error)) {
            fail(QStringLiteral("--%1: %2").arg(option.names().constFirst(), error));
            return false;
        }
    }
    if (!parser.isSet(options.hangAfter))
        return true;
    bool ok = false;
    const int ms = parser.value(options.hangAfter).toInt(&ok);
    if (!ok || ms < 0) {
        fail(QStringLiteral("--hang-after: MS, a number of milliseconds"));
        return false;
    }
    QTimer::singleShot(ms, &phone, [&phone] { phone.hang(-1); });
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tornasquillo-phone-sim"));
    const SimOptions options(app);
    const QCommandLineParser &parser = options.parser;

    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGTTIN, SIG_IGN);
    // SIGINT/SIGTERM/SIGHUP end the event loop normally, so the destructors remove the link.
    if (!watchQuitSignals(&app, [&app](int) { app.quit(); }))
        return fail(QStringLiteral("cannot watch signals: %1")
                        .arg(QString::fromLocal8Bit(std::strerror(errno))));

    SimPhone phone;
    if (!setUpPhone(phone, options))
        return 1;
    QObject::connect(&phone, &SimPhone::linePlugged, &app, [&phone](const QString &device) {
        printLine(QStringLiteral("device: ") + device);
        if (!phone.linkPath().isEmpty())
            printLine(QStringLiteral("link: ") + phone.linkPath());
    });
    if (!phone.start(parser.value(options.link)))
        return 1;

    SimCommander commander(&phone);
    QObject::connect(&commander, &SimCommander::quitRequested, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    if (parser.isSet(options.demo))
        commander.setDemo(true);
    if (!runScriptOptions(commander, phone, options))
        return 1;

    SimScript fileScript(&commander, parser.value(options.script));
    if (parser.isSet(options.script)) {
        QFile file(parser.value(options.script));
        if (!file.open(QIODevice::ReadOnly))
            return fail(
                QStringLiteral("cannot read %1: %2").arg(file.fileName(), file.errorString()));
        fileScript.feed(file.readAll());
        fileScript.finish();
    }
    SimScript stdinScript(&commander, QStringLiteral("stdin"));
    watchStdin(app, &stdinScript);

    return app.exec();
}
