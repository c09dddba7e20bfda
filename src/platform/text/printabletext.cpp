// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/text/printabletext.h"

bool isUnprintable(QChar c)
{
    switch (c.category()) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    default:
        return false;
    }
}

QString printableText(const QString &text, qsizetype maxLength)
{
    QString shown;
    shown.reserve(qMin(text.size(), maxLength + 1));
    for (const QChar c : text) {
        if (shown.size() == maxLength) {
            shown += u'\u2026';
            break;
        }
        shown += isUnprintable(c) ? QChar(QChar::ReplacementCharacter) : c;
    }
    return shown;
}
