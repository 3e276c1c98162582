// SPDX-License-Identifier: GPL-3.0-or-later
#include "command_line.h"

#include "call_monitor/call_back_cool_down.h"
#include "call_monitor/call_back_limit.h"
#include "call_monitor/call_monitor.h"
#include "call_monitor/phone_session.h"
#include "phone_link/pin_file.h"

namespace {

// The options of a run's call-backs and of the run without a window, whose help takes a
// paragraph each.

QCommandLineOption headlessOption()
{
    return {QStringLiteral("headless"),
            CommandLine::tr(
                "Run without a window, and with no display: open the port at once (COM 1 unless "
                "--open says 2, a device that is not there yet is waited for) and watch the "
                "phone as the window does, with the start options, --log, --cool-down, "
                "--call-back-to, --call-back-limit, --pin-file and (on a desktop) --notify. "
                "What the window would show goes to standard error. "
                "SIGTERM, SIGINT and SIGHUP end it as ESCI does, SIGHUP with exit status 129 "
                "so that the service is started again. For a machine without a desktop, and "
                "for tornasquillo.service.")};
}

QCommandLineOption coolDownOption()
{
    return {QStringLiteral("cool-down"),
            CommandLine::tr(
                "Do not call back a number that was called back less than MINUTES ago (0 to "
                "%1; default %2). A caller's number can be forged: the cool-down keeps a "
                "stranger from being called back over and over on your SIM. 0: every squillo "
                "is called back.")
                .arg(CallBackCoolDown::kMaxMinutes)
                .arg(CallBackCoolDown::kDefaultMinutes),
            CommandLine::tr("MINUTES")};
}

QCommandLineOption callBackToOption()
{
    return {
        QStringLiteral("call-back-to"),
        CommandLine::tr("Call back only numbers that begin with one of PREFIXES, in international "
                        "form and separated by commas (+393,+390,+41; a whole number is a prefix "
                        "too), or every number with \"any\". Default: ordinary Italian numbers, "
                        "mobile and geographic. Service codes and emergency numbers are never "
                        "called back."),
        CommandLine::tr("PREFIXES")};
}

QCommandLineOption callBackLimitOption()
{
    return {QStringLiteral("call-back-limit"),
            CommandLine::tr("Call back at most N times in any 60 minutes (1 to %1; default: no "
                            "limit).")
                .arg(CallBackLimit::kMaxCallBacks),
            CommandLine::tr("N")};
}

QCommandLineOption pinFileOption()
{
    return {QStringLiteral("pin-file"),
            CommandLine::tr(
                "The SIM's PIN (4 to 8 digits on one line) is in FILE, which only its owner may "
                "read. It is entered when the SIM asks for it (after a power cut, say), only "
                "while the SIM has at least 2 tries left, and a PIN the SIM refused is never "
                "entered again until FILE changes."),
            CommandLine::tr("FILE")};
}

} // namespace

CommandLine::CommandLine()
    // Qt's own help option would describe itself in words that Qt's translations lack, and its
    // --help-all would add the options of a QML debugger the program has no use for.
    : help({QStringLiteral("h"), QStringLiteral("help")},
           tr("Displays help on commandline options.")),
      helpAll(QStringLiteral("help-all"), QString()),
      com1(QStringLiteral("com1"),
           tr("Device of COM 1 (default: the first USB serial device, else /dev/ttyS0)."),
           tr("PATH")),
      com2(QStringLiteral("com2"),
           tr("Device of COM 2 (default: the second USB serial device, else /dev/ttyS1)."),
           tr("PATH")),
      log(QStringLiteral("log"),
          tr("Append each event line to FILE, after its date and time (ISO 8601) and a tab. A "
             "missing FILE is created with mode 0600; FILE is never truncated."),
          tr("FILE")),
      checkPhone(QStringLiteral("check-phone"),
                 tr("Without a window: check whether the phone (on --com1, else the first serial "
                    "device that answers) will work, and print a report. Exit status 0: no "
                    "problem, 1: a problem, 2: the port cannot be opened.")),
      fix(QStringLiteral("fix"), tr("With --check-phone: set the fixes the report gives, store "
                                    "them in the phone (AT&W) and check again.")),
      listPorts(QStringLiteral("list-ports"),
                tr("List the serial devices present, whether they are busy, and what COM 1 and "
                   "COM 2 stand for; no window.")),
      demo(QStringLiteral("demo"),
           tr("COM 1 is a simulated phone whose demo caller gives a short ring a few seconds "
              "after the port is opened, then every 30 seconds.")),
      headless(headlessOption()),
      notify(QStringLiteral("notify"), tr("Also show each call as a desktop notification.")),
      coolDown(coolDownOption()), callBackTo(callBackToOption()),
      callBackLimit(callBackLimitOption()), pinFile(pinFileOption())
{
    helpAll.setFlags(QCommandLineOption::HiddenFromHelp);
}

void CommandLine::process(QCoreApplication &app)
{
    app.setApplicationName(QStringLiteral("tornasquillo"));
    app.setApplicationVersion(QStringLiteral(TORNASQUILLO_VERSION));
    parser.setApplicationDescription(tr("Watches a GSM phone on a serial port, logs its calls "
                                        "and calls short signalling rings (squilli) back."));
    parser.addOption(help);
    parser.addOption(helpAll);
    parser.addVersionOption();
    parser.addOptions({com1, com2, log, checkPhone, fix, listPorts, demo, headless});
    parser.addOptions({notify, coolDown, callBackTo, callBackLimit, pinFile});
    parser.addOptions(start.all());
    parser.addOptions(autostart.options());
    parser.process(app);
    if (parser.isSet(help) || parser.isSet(helpAll))
        parser.showHelp(0);
}

std::optional<CommandLine::RunStart> CommandLine::runStart(QString *error) const
{
    const std::optional<StartState> state = start.read(parser, error);
    if (!state)
        return std::nullopt;
    RunStart runStart{*state, {}, {}};
    CallBackRules &rules = runStart.rules;
    if (parser.isSet(coolDown)) {
        const QString value = parser.value(coolDown);
        const std::optional<int> minutes = wholeNumber(value, 0, CallBackCoolDown::kMaxMinutes);
        if (!minutes) {
            *error = tr("--cool-down takes whole minutes from 0 to %1, not \"%2\"")
                         .arg(CallBackCoolDown::kMaxMinutes)
                         .arg(value);
            return std::nullopt;
        }
        rules.coolDownMinutes = *minutes;
    }
    if (parser.isSet(callBackTo)) {
        const std::optional<CallBackNumbers> numbers =
            CallBackNumbers::fromOption(parser.value(callBackTo), error);
        if (!numbers)
            return std::nullopt;
        rules.numbers = *numbers;
    }
    if (parser.isSet(callBackLimit)) {
        const QString value = parser.value(callBackLimit);
        const std::optional<int> limit = wholeNumber(value, 1, CallBackLimit::kMaxCallBacks);
        if (!limit) {
            *error = tr("--call-back-limit takes a whole number of call-backs from 1 to %1, not "
                        "\"%2\"")
                         .arg(CallBackLimit::kMaxCallBacks)
                         .arg(value);
            return std::nullopt;
        }
        rules.limit = *limit;
    }
    if (parser.isSet(pinFile)) {
        // Read once now, so that a file that cannot serve is said before the run begins.
        const PinFile file(parser.value(pinFile));
        if (!file.read(error))
            return std::nullopt;
        runStart.pinFile = file.path();
    }
    return runStart;
}

QStringList CommandLine::arguments(const CallBackRules &rules) const
{
    QStringList arguments;
    if (rules.coolDownMinutes != CallBackCoolDown::kDefaultMinutes)
        arguments << longName(coolDown) << QString::number(rules.coolDownMinutes);
    if (const QString numbers = rules.numbers.option(); !numbers.isEmpty())
        arguments << longName(callBackTo) << numbers;
    if (rules.limit > 0)
        arguments << longName(callBackLimit) << QString::number(rules.limit);
    return arguments;
}

void CommandLine::RunStart::setUpSession(PhoneSession &session, const StateFolder &folder) const
{
    session.monitor().setCallBackRules(rules);
    session.keepCallBacksIn(folder);
    session.phoneWatch().setPinFile(PinFile(pinFile), &folder);
}
