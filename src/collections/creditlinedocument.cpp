// SPDX-License-Identifier: GPL-3.0-or-later
#include "collections/creditlinedocument.h"

#include <QTextOption>

CreditLineDocument::CreditLineDocument(const QString &richText, const QFont &font, QObject *parent)
    : QTextDocument(parent)
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
