// SPDX-License-Identifier: GPL-3.0-or-later
// Figures for Tornasquillo, measured over a pseudo-terminal with the simulated phone running in
// a thread of its own, and of the real program as a process of its own. Prints one table;
// nothing here is a pass/fail test.
//
//   tornasquillo-bench [--quick] [--seconds N]
//       [--only exchange,ring,lookup,callback,silent,idle,memory,startup,window,headless]

#include "bench_support.h"
#include "figures_in_process.h"
#include "figures_whole_program.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QLoggingCategory>

#include <algorithm>

using namespace bench;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(
        QStringLiteral("tornasquillo.*.info=false\ntornasquillo.sim.debug=false"));
    const QStringList args = app.arguments().mid(1);
    if (args.value(0) == u"--child")
        return runChild(args.mid(1));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Tornasquillo's figures"));
    parser.addHelpOption();
    QCommandLineOption quick(QStringLiteral("quick"), QStringLiteral("Fewer and shorter runs."));
    QCommandLineOption only(QStringLiteral("only"), QStringLiteral("Comma-separated sections."),
                            QStringLiteral("sections"));
    QCommandLineOption idleSeconds(
        QStringLiteral("seconds"),
        QStringLiteral("Seconds of each idle figure (idle, window, headless); 60 by default, 10 "
                       "with --quick."),
        QStringLiteral("N"));
    parser.addOptions({quick, only, idleSeconds});
    parser.process(app);
    const bool fast = parser.isSet(quick);
    const int idleFor = parser.isSet(idleSeconds) ? std::max(1, parser.value(idleSeconds).toInt())
                        : fast                    ? 10
                                                  : 60;
    const QStringList sections =
        parser.isSet(only) ? parser.value(only).split(u',')
                           : QStringList{"exchange", "ring",   "lookup",  "callback", "silent",
                                         "idle",     "memory", "startup", "window",   "headless"};

    if (sections.contains(u"exchange"))
        benchExchange(fast ? 200 : 1000);
    if (sections.contains(u"ring"))
        benchRing(fast ? 50 : 300);
    if (sections.contains(u"lookup"))
        benchLookup(fast ? 3 : 20);
    if (sections.contains(u"callback")) {
        benchCallBack(fast ? 2 : 10, fast ? 2 : 10, fast ? 3 : 10);
        benchCallBack(fast ? 2 : 60, fast ? 2 : 20, fast ? 3 : 10);
    }
    if (sections.contains(u"silent"))
        benchSilent(fast ? 3 : 10);
    if (sections.contains(u"idle"))
        benchIdle(idleFor);
    if (sections.contains(u"memory")) {
        benchMemory(fast ? 2000 : 10000, false);
        benchMemory(fast ? 2000 : 10000, true);
    }

    if (sections.contains(u"startup"))
        benchStartup(fast ? 5 : 20);
    if (sections.contains(u"window"))
        benchWindow(idleFor);
    if (sections.contains(u"headless"))
        benchHeadless(idleFor);

    printReport();
    return 0;
}
