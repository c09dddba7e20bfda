// SPDX-License-Identifier: GPL-3.0-or-later
#include "collections/creditlinedocument.h"

#include <QFontMetricsF>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextLayout>
#include <QTextOption>

#include <algorithm>

CreditLineDocument::CreditLineDocument(const QString &richText, const QFont &font, QObject *parent)
    : QTextDocument(parent)
    , m_richText(richText)
{
    setDefaultFont(font);
    setDocumentMargin(0);
    QTextOption option = defaultTextOption();
    option.setWrapMode(QTextOption::NoWrap);
    setDefaultTextOption(option);
    setHtml(richText);
}

QVariant CreditLineDocument::loadResource(int, const QUrl &)
{
    return {};
}

void CreditLineDocument::fitWidth(qreal width)
{
    if (width == m_width)
        return;
    m_width = width;
    setHtml(m_richText);
    if (idealWidth() <= width)
        return;
    const QString ellipsis = QStringLiteral("\u2026");
    QTextCursor cursor(this);
    // One line is shown: whatever follows the first block goes.
    cursor.setPosition(firstBlock().position() + firstBlock().length() - 1);
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    if (idealWidth() <= width)
        return;
    const QTextLine line = firstBlock().layout()->lineAt(0);
    if (!line.isValid())
        return;
    int end = line.xToCursor(width, QTextLine::CursorOnCharacter);
    // Back off until the cut text and its ellipsis fit; the ellipsis takes the cut text's format,
    // a bold title's is wider than a plain one.
    while (end > 0) {
        cursor.setPosition(firstBlock().position() + end);
        const qreal room = width - QFontMetricsF(cursor.charFormat().font()).horizontalAdvance(ellipsis);
        if (line.cursorToX(end) <= room)
            break;
        end = std::min(end - 1, line.xToCursor(room, QTextLine::CursorOnCharacter));
    }
    cursor.setPosition(firstBlock().position() + end);
    const QTextCharFormat format = cursor.charFormat();
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.insertText(ellipsis, format);
}
