// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTextDocument>

// A section header's credit line, laid out once and painted as it is. Its text comes from the
// collection's own info.json: images and other resources it names are never loaded (not even
// local files), and nothing in it reacts to the mouse, so a link in it stays plain text. A line
// wider than its room ends in "…", in the format of the text it cuts.
class CreditLineDocument : public QTextDocument
{
    Q_OBJECT

public:
    CreditLineDocument(const QString &richText, const QFont &font, QObject *parent = nullptr);

    // Lays the line out for `width`: whole when it fits, else cut and ended with "…".
    void fitWidth(qreal width);

protected:
    QVariant loadResource(int type, const QUrl &name) override;

private:
    QString m_richText;
    qreal m_width = -1;
};
