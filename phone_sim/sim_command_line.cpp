// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim_command_line.h"

namespace {

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

} // namespace

namespace SimCommandLine {

QByteArray unquote(QByteArray text)
{
    text = text.trimmed();
    if (text.size() >= 2 && text.startsWith('"') && text.endsWith('"'))
        return text.mid(1, text.size() - 2);
    return text;
}

// Basic commands run together ("E0V1"), extended ones are separated by ';', and a dial command
// takes the rest of the line.
std::optional<QByteArrayList> split(const QByteArray &body)
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

qsizetype nameLength(const QByteArray &command)
{
    const qsizetype size = command.size();
    qsizetype n = 1;
    if (command[0] == '&') {
        n = qMin<qsizetype>(2, size);
    } else if (command[0] == 'S') {
        while (n < size && isDigit(command[n]))
            ++n;
    } else if (!isLetter(command[0])) {
        while (n < size && command[n] != '=' && command[n] != '?')
            ++n;
    }
    return n;
}

bool isDialNumber(const QByteArray &number, int maxLength)
{
    if (number.isEmpty() || number.size() > maxLength)
        return false;
    for (qsizetype i = 0; i < number.size(); ++i) {
        const char c = number[i];
        if (!(isDigit(c) || c == '*' || c == '#' || (c == '+' && i == 0)))
            return false;
    }
    return number != "+";
}

} // namespace SimCommandLine
