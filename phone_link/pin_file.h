// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The SIM's PIN, as the file of --pin-file holds it: 4 to 8 digits on one line, in a file that
// nobody but its owner may read. The PIN itself goes only to the phone: no text of the program
// holds it. A PIN that the SIM refused is remembered in the state folder, by the file's identity
// (device, inode, modification time and size), never by the PIN or anything computed from it, and
// is not entered again until the file changes. A file that systemd's LoadCredential= copies for
// the service is copied anew at every start, so its copy's identity says nothing: it is
// remembered by its credential name, and its refusal stands until the record is removed.

#include <QCoreApplication>
#include <QString>

#include <optional>

class StateFolder;

class PinFile
{
    Q_DECLARE_TR_FUNCTIONS(PinFile)

public:
    /// The record of refused PINs in the state folder.
    static constexpr const char *kRefusedName = "pin-refused";
    /// The PIN entered and not yet seen taken, should the run end before the SIM tells.
    static constexpr const char *kEnteredName = "pin-entered";

    struct Contents
    {
        QString pin;
        QString key; ///< what a refusal of this PIN is remembered by
    };

    explicit PinFile(QString path);

    QString path() const { return m_path; }
    bool isSet() const { return !m_path.isEmpty(); }
    /// The PIN and its key; nullopt with *error set (naming the file, never its contents) when
    /// the file cannot be read, may be read by group or others, or holds no PIN.
    std::optional<Contents> read(QString *error) const;

    /// Whether the SIM refused the PIN that `key` stands for, in this run or an earlier one.
    static bool isRefused(const StateFolder &folder, const QString &key);
    /// Remembers that the SIM refused it; false, with *error set, when that could not be kept.
    static bool rememberRefusal(const StateFolder &folder, const QString &key, QString *error);
    /// The PIN that `key` stands for is being entered (or, with an empty key, the SIM is ready:
    /// none is). A run that ends before the SIM said whether it took the PIN leaves the record,
    /// and the next run, finding the SIM still asking, takes it as refused.
    static bool rememberEntry(const StateFolder &folder, const QString &key, QString *error);
    /// The key of the PIN last entered and not seen taken; empty when there is none.
    static QString lastEntry(const StateFolder &folder);

private:
    QString m_path;
};
