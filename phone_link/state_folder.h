// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include <optional>

/// What a run remembers for the runs after it (a PIN the SIM refused, the last hour's
/// call-backs), one small file a fact, in one folder: the service's StateDirectory
/// ($STATE_DIRECTORY, /var/lib/tornasquillo), else $XDG_STATE_HOME/tornasquillo
/// (~/.local/state/tornasquillo). The folder is made with mode 0700 when missing. A file is
/// replaced whole: written beside its old self with mode 0600, synced, then renamed over it, so a
/// power cut leaves the old contents or the new, never half of them.
class StateFolder
{
    Q_DECLARE_TR_FUNCTIONS(StateFolder)

public:
    explicit StateFolder(QString path);

    /// The folder of this run, as the environment gives it.
    static QString defaultPath();

    QString path() const { return m_path; }
    /// The file's contents; nullopt when there is none, or (with *error set) when it cannot be
    /// read.
    std::optional<QByteArray> read(const QString &name, QString *error = nullptr) const;
    /// Replaces the file's contents; false, with *error set, when they could not be kept.
    bool write(const QString &name, const QByteArray &contents, QString *error = nullptr) const;

private:
    QString filePath(const QString &name) const;

    QString m_path;
};
