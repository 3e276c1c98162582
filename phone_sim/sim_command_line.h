// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayList>

#include <optional>

// The syntax of an AT command line, as a phone reads it after the "AT": which commands it holds,
// where each one's name ends, and what a dialled number may be. Names are case-insensitive and
// come out in upper case; quoted text keeps its case.
namespace SimCommandLine {

/// The commands of a line's body ("E0V1;+CGMM" gives "E0", "V1", "+CGMM"); nothing for a line
/// that is not AT syntax, one empty command for an empty line.
std::optional<QByteArrayList> split(const QByteArray &body);
/// Where a command's name ends and its operation begins: "+CMEE" "=1", "S0" "?", "E" "0",
/// "&W" "", "D" "0612;".
qsizetype nameLength(const QByteArray &command);
QByteArray unquote(QByteArray text);
/// Digits, '*' and '#', with a leading '+' for an international number.
bool isDialNumber(const QByteArray &number, int maxLength);

} // namespace SimCommandLine
