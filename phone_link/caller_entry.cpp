// SPDX-License-Identifier: GPL-3.0-or-later
#include "caller_entry.h"

#include <QStringList>
#include <QStringView>

namespace {

/// One-based position of the first double quote at or after one-based position `from`; 0 if none.
qsizetype quoteFrom(const QString &text, qsizetype from)
{
    const qsizetype index = text.indexOf(u'"', std::max<qsizetype>(from, 1) - 1);
    return index < 0 ? 0 : index + 1;
}

/// The numbering type in `text`, which follows a number's closing quote: ",145," gives 145.
int typeAfterNumber(QStringView text)
{
    qsizetype i = 0;
    const auto skipSpaces = [&] {
        while (i < text.size() && text[i] == u' ')
            ++i;
    };
    skipSpaces();
    if (i >= text.size() || text[i] != u',')
        return 0;
    ++i;
    skipSpaces();
    int type = 0;
    int digits = 0;
    // Types are octets; more digits than that are not a type.
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9' && digits < 4) {
        type = type * 10 + (text[i].unicode() - u'0');
        ++i;
        ++digits;
    }
    return digits > 0 && digits <= 3 ? type : 0;
}

} // namespace

std::optional<CallerEntry> readCallerEntry(const QString &answer)
{
    const qsizetype q1 = quoteFrom(answer, 1) + 1;
    const qsizetype q2 = q1 > 1 ? quoteFrom(answer, q1) : 0;
    if (q2 == 0)
        return std::nullopt;

    CallerEntry entry;
    entry.number = answer.mid(q1 - 1, q2 - q1);
    entry.type = typeAfterNumber(QStringView(answer).sliced(q2));
    const qsizetype third = quoteFrom(answer, q2 + 1);
    const qsizetype q3 = third + 1;
    const qsizetype q4 = third > 0 ? quoteFrom(answer, q3) : 0;
    if (q4 > 0)
        entry.name = answer.mid(q3 - 1, q4 - q3);
    return entry;
}

QString numberToDial(const CallerEntry &entry)
{
    // Only digits get the "+": a text that is no number stays the text the phone gave.
    if (entry.type == CallerEntry::kInternational && isDialable(entry.number) &&
        !entry.number.startsWith(u'+'))
        return u'+' + entry.number;
    return entry.number;
}

QString fitField(const QString &text, qsizetype width)
{
    if (text.size() >= width)
        return text.left(width);
    return text + QString(width - text.size(), u' ');
}

bool isDialable(const QString &number)
{
    if (number.isEmpty())
        return false;
    for (qsizetype i = 0; i < number.size(); ++i) {
        const QChar c = number[i];
        const bool ok = (c >= u'0' && c <= u'9') || (c == u'+' && i == 0);
        if (!ok)
            return false;
    }
    return number != u"+";
}

namespace {

constexpr QStringView kCallerLinePrefix = u"+CLIP:";

/// The fields of a caller line, split at commas outside quotes.
QStringList callerLineFields(const QString &line)
{
    QStringList fields;
    QString field;
    bool quoted = false;
    for (const QChar c : QStringView(line).sliced(kCallerLinePrefix.size())) {
        if (c == u'"')
            quoted = !quoted;
        if (c == u',' && !quoted) {
            fields << field.trimmed();
            field.clear();
        } else {
            field += c;
        }
    }
    fields << field.trimmed();
    return fields;
}

} // namespace

bool isWithheldCallerLine(const QString &line)
{
    if (!line.startsWith(kCallerLinePrefix))
        return false;
    const QStringList fields = callerLineFields(line);
    const QString validity = fields.value(5);
    if (validity == u"1" || validity == u"2")
        return true;
    return validity.isEmpty() && fields.value(0) == u"\"\"" && fields.value(1) == u"128";
}

std::optional<CallerEntry> readCallerLine(const QString &line)
{
    if (!line.startsWith(kCallerLinePrefix))
        return std::nullopt;
    const QStringList fields = callerLineFields(line);
    const auto unquoted = [](const QString &text) -> std::optional<QString> {
        if (text.size() < 2 || !text.startsWith(u'"') || !text.endsWith(u'"'))
            return std::nullopt;
        return text.mid(1, text.size() - 2);
    };
    const std::optional<QString> number = unquoted(fields.value(0));
    // A number that comes with a validity of "withheld" or "not available" names nobody.
    if (!number || number->isEmpty() || isWithheldCallerLine(line))
        return std::nullopt;
    CallerEntry entry;
    entry.number = *number;
    entry.type = typeAfterNumber(QString(u',' + fields.value(1)));
    entry.name = unquoted(fields.value(4)).value_or(QString());
    return entry;
}

bool isSameNumber(const QString &a, const QString &b)
{
    const auto digits = [](const QString &number) -> std::optional<QString> {
        QStringView rest(number);
        if (rest.startsWith(u'+'))
            rest = rest.sliced(1);
        while (rest.startsWith(u'0'))
            rest = rest.sliced(1);
        for (const QChar c : rest)
            if (c < u'0' || c > u'9')
                return std::nullopt;
        return rest.toString();
    };
    const std::optional<QString> x = digits(a);
    const std::optional<QString> y = digits(b);
    if (!x || !y)
        return a == b;
    // Shorter than a subscriber number, a tail says nothing about who it is.
    constexpr qsizetype kShortestTail = 6;
    const QString &shorter = x->size() <= y->size() ? *x : *y;
    const QString &longer = x->size() <= y->size() ? *y : *x;
    if (shorter == longer)
        return !shorter.isEmpty();
    // The longer one may hold a country code (one to three digits) the shorter one leaves out.
    return shorter.size() >= kShortestTail && longer.size() - shorter.size() <= 3 &&
           longer.endsWith(shorter);
}
