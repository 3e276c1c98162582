// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The language the program speaks outside its window. Its texts are written in English; when
// the locale says another language (LC_ALL, LC_MESSAGES, LANG and LANGUAGE, as Qt reads them) and
// the program carries a translation for it, it speaks that language, and Qt's own texts (the
// command line's errors, for one) follow from Qt's translations when they are installed. The
// window's captions are Italian in every locale, and the records of the calls (the event line,
// the journal's line and the --log file's line) are the same in every locale.

class QCoreApplication;

/// Installs the program's translation and Qt's for the system locale, before anything is said.
void installTranslations(QCoreApplication &app);
