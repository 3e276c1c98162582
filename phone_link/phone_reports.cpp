// SPDX-License-Identifier: GPL-3.0-or-later
#include "phone_reports.h"

#include <QStringList>

#include <algorithm>
#include <iterator>

namespace {

struct UnsolicitedReport
{
    QStringView text;
    bool wholeLine; ///< the line is exactly `text`; otherwise it begins with it
    PhoneReport kind;
};

// The reports of a call ringing in. "+CRING: VOICE" is the extended form (+CRC=1) of a voice
// call's ring; other +CRING types are data or fax calls and are not answered with a squillo. A
// caller line (+CLIP=1) starts with the number in quotes, which tells it from the answer to
// AT+CLIP? ("+CLIP: 1,1"). The call-progress results are the verbose result codes (V1) that a
// phone sends unasked when a call it made ends; as a dial's own answer they are read the same way.
constexpr UnsolicitedReport kReports[] = {
    {u"RING", true, PhoneReport::Ring},
    {u"+CRING: VOICE", true, PhoneReport::Ring},
    {u"+CLIP: \"", false, PhoneReport::CallerLine},
    {u"NO CARRIER", true, PhoneReport::CallEnded},
    {u"BUSY", true, PhoneReport::CallEnded},
    {u"NO ANSWER", true, PhoneReport::CallEnded},
    {u"+CREG:", false, PhoneReport::Registration},
    {u"+CMT:", false, PhoneReport::Message},
    {u"+CBM:", false, PhoneReport::Message},
    {u"+CDS:", false, PhoneReport::Message},
};

/// A message's text is never longer than this: 160 characters a part, a few parts.
constexpr qsizetype kMaxMessageText = 1024;
/// A status report's header in text mode (fo, mr, ra, tora, scts, dt, st) has no text after it.
constexpr qsizetype kStatusReportFields = 7;

/// A bare whole number, spaces around it aside.
std::optional<int> bareNumber(QStringView field)
{
    bool ok = false;
    const int value = field.trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

/// The read form's second field is <stat>, a bare number; a report's second field, when it has
/// one, is the quoted location area.
bool isRegistrationReadForm(QStringView line)
{
    const QList<QStringView> fields = line.sliced(6).split(u',');
    return fields.size() >= 2 && bareNumber(fields[1]).has_value();
}

constexpr QStringView kReportFraming = u"\r\n";

/// Where the text of the message whose header is `header` ends in `text`, its data starting at
/// `dataStart`: one past the line end that closes it; -1 while it has not all arrived.
qsizetype messageEnd(QStringView header, const QString &text, qsizetype dataStart)
{
    const QList<QStringView> fields = header.sliced(header.indexOf(u':') + 1).split(u',');
    if (header.startsWith(u"+CDS:") && fields.size() >= kStatusReportFields)
        return dataStart;
    // In text mode with +CSDH=1 the last field of +CMT's header is the text's length.
    qsizetype length = 0;
    if (header.startsWith(u"+CMT:") && fields.size() >= 10) {
        if (const std::optional<int> told = bareNumber(fields.constLast()))
            length = std::clamp<qsizetype>(*told, 0, kMaxMessageText);
    }
    const qsizetype lineFeed = text.indexOf(u'\n', dataStart + length);
    return lineFeed < 0 ? -1 : lineFeed + 1;
}

/// The final result codes in words (besides CONNECT with its rate and the +CME and +CMS errors).
const QStringList kFinalWords{QStringLiteral("OK"),           QStringLiteral("ERROR"),
                              QStringLiteral("NO CARRIER"),   QStringLiteral("NO DIALTONE"),
                              QStringLiteral("NO DIAL TONE"), QStringLiteral("BUSY"),
                              QStringLiteral("NO ANSWER"),    QStringLiteral("CONNECT")};
/// The same in numbers, as V.250 gives them: 2 is RING, 5 is not used.
const char *const kFinalNumbers[] = {"OK",    "CONNECT",     nullptr, "NO CARRIER", "ERROR",
                                     nullptr, "NO DIALTONE", "BUSY",  "NO ANSWER"};

} // namespace

QString finalResultCode(QStringView line, bool numericToo)
{
    const QString upper = line.toString().toUpper();
    if (kFinalWords.contains(upper) || upper.startsWith(u"CONNECT ") ||
        upper.startsWith(u"+CME ERROR:") || upper.startsWith(u"+CMS ERROR:"))
        return upper;
    if (numericToo && line.size() == 1) {
        const int n = line[0].unicode() - u'0';
        if (n >= 0 && n <= 8 && kFinalNumbers[n])
            return QString::fromLatin1(kFinalNumbers[n]);
    }
    return {};
}

PhoneReport phoneReport(QStringView line)
{
    for (const UnsolicitedReport &report : kReports) {
        if (!(report.wholeLine ? line == report.text : line.startsWith(report.text)))
            continue;
        if (report.kind == PhoneReport::Registration &&
            (isRegistrationReadForm(line) || !registrationStat(line)))
            return PhoneReport::Other;
        return report.kind;
    }
    return PhoneReport::Other;
}

std::optional<int> registrationStat(QStringView line)
{
    if (!line.startsWith(u"+CREG:", Qt::CaseInsensitive))
        return std::nullopt;
    const QList<QStringView> fields = line.sliced(6).split(u',');
    const std::optional<int> stat =
        bareNumber(fields.size() >= 2 && bareNumber(fields[1]) ? fields[1] : fields[0]);
    if (stat && (*stat < 0 || *stat > 10))
        return std::nullopt;
    return stat;
}

qsizetype takeRingReports(QString &text, qsizetype from, double at, RingSink &sink)
{
    qsizetype lineStart = from;
    for (;;) {
        const qsizetype lineFeed = text.indexOf(u'\n', lineStart);
        if (lineFeed < 0)
            return lineStart;
        // A report ends in CR LF or CR CR LF; a bare LF is not the phone's framing.
        qsizetype end = lineFeed;
        while (end > lineStart && lineFeed - end < 2 && text[end - 1] == u'\r')
            --end;
        const QStringView line = QStringView(text).sliced(lineStart, end - lineStart);
        const PhoneReport kind = end < lineFeed ? phoneReport(line) : PhoneReport::Other;
        if (kind == PhoneReport::Other) {
            lineStart = lineFeed + 1;
            continue;
        }
        qsizetype reportEnd = lineFeed + 1;
        if (kind == PhoneReport::Message) {
            reportEnd = messageEnd(line, text, lineFeed + 1);
            if (reportEnd < 0)
                return lineStart;
        }
        if (kind == PhoneReport::Ring)
            sink.ringArrived(at);
        else if (kind == PhoneReport::CallerLine)
            sink.callerLineArrived(line.toString(), at);
        else if (kind == PhoneReport::Registration)
            sink.registrationArrived(registrationStat(line).value_or(0), at);
        else if (kind == PhoneReport::CallEnded)
            sink.callEndedArrived(line.toString(), at);
        // The CR LF before the report goes with it when it is a line of its own (the report's
        // framing); a CR LF that ends an information line stays with that line.
        qsizetype takeFrom = lineStart;
        if (lineStart >= 2 && QStringView(text).sliced(lineStart - 2, 2) == kReportFraming &&
            (lineStart == 2 || text[lineStart - 3] == u'\n'))
            takeFrom = lineStart - 2;
        text.remove(takeFrom, reportEnd - takeFrom);
        lineStart = takeFrom;
    }
}
