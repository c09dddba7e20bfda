// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QChar>
#include <QString>

// Whether a character would break a printed line or hide what surrounds it: control and format
// characters (direction overrides among them) and the line and paragraph separators.
bool isUnprintable(QChar c);

// Text from outside data made fit for one line of a message: each unprintable character becomes
// U+FFFD, and text beyond `maxLength` UTF-16 units is cut, ending in "…".
QString printableText(const QString &text, qsizetype maxLength = 200);
