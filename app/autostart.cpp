// SPDX-License-Identifier: GPL-3.0-or-later
#include "autostart.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextStream>

#include <algorithm>

namespace {

/// Characters that make an argument of Exec= need double quotes.
const QString kReserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
/// Characters that need a backslash inside the double quotes.
const QString kEscapedInQuotes = QStringLiteral("\"`$\\");

QString quoted(const QString &argument)
{
    const bool plain =
        !argument.isEmpty() && std::none_of(argument.begin(), argument.end(),
                                            [](QChar c) { return kReserved.contains(c); });
    if (plain)
        return argument;
    QString out = QStringLiteral("\"");
    for (const QChar c : argument) {
        if (kEscapedInQuotes.contains(c))
            out += u'\\';
        out += c;
    }
    return out + u'"';
}

} // namespace

Autostart::Autostart()
    : m_write(QStringLiteral("autostart"),
              tr("Start at login with the other options given: write an autostart entry to "
                 "~/.config/autostart/, and exit.")),
      m_remove(QStringLiteral("no-autostart"), tr("Remove the autostart entry, and exit."))
{
}

int Autostart::run(const QCommandLineParser &parser, const QStringList &command, QTextStream &out,
                   QString *error) const
{
    const QString path = entryPath();
    if (parser.isSet(m_remove)) {
        if (parser.optionNames() != QStringList{m_remove.names().constFirst()}) {
            *error = tr("--no-autostart takes no other option");
            return 1;
        }
        if (!QFileInfo::exists(path)) {
            out << tr("No autostart entry to remove: %1 does not exist.").arg(path) << Qt::endl;
            return 0;
        }
        QFile entry(path);
        if (!entry.remove()) {
            *error = tr("cannot remove %1: %2").arg(path, entry.errorString());
            return 1;
        }
        out << tr("Removed %1: Tornasquillo no longer starts at login.").arg(path) << Qt::endl;
        return 0;
    }

    QSaveFile entry(path);
    if (!QDir().mkpath(QFileInfo(path).path()) || !entry.open(QIODevice::WriteOnly) ||
        entry.write(entryText(command).toUtf8()) < 0 || !entry.commit()) {
        *error = tr("cannot write %1: %2").arg(path, entry.errorString());
        return 1;
    }
    out << tr("Wrote %1: Tornasquillo starts at login as %2").arg(path, execValue(command))
        << Qt::endl;
    return 0;
}

QString Autostart::entryPath()
{
    // GenericConfigLocation is $XDG_CONFIG_HOME, else ~/.config.
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("autostart/%1.desktop").arg(QLatin1String(kDesktopId)));
}

QString Autostart::entryText(const QStringList &command)
{
    const QString lines[] = {
        QStringLiteral("[Desktop Entry]"),
        QStringLiteral("Type=Application"),
        QStringLiteral("Name=Tornasquillo"),
        QStringLiteral("Comment=") + tr("Watches the GSM phone from login, as tornasquillo "
                                        "--autostart was told"),
        QStringLiteral("Exec=") + execValue(command),
        QStringLiteral("Icon=tornasquillo"),
        QStringLiteral("Terminal=false"),
    };
    QString text;
    for (const QString &line : lines)
        text += line + u'\n';
    return text;
}

QString Autostart::execValue(const QStringList &command)
{
    QStringList arguments;
    for (const QString &argument : command)
        arguments << quoted(argument);
    // "%" starts a field code; then the value is a string, whose own escapes apply on top of the
    // quoting: a backslash is written twice.
    QString value = arguments.join(u' ').replace(u'%', QStringLiteral("%%"));
    value.replace(u'\\', QStringLiteral("\\\\"))
        .replace(u'\n', QStringLiteral("\\n"))
        .replace(u'\t', QStringLiteral("\\t"))
        .replace(u'\r', QStringLiteral("\\r"));
    return value;
}
