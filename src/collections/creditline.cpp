// SPDX-License-Identifier: GPL-3.0-or-later
#include "collections/creditline.h"

#include <QFont>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextDocument>

using namespace Qt::StringLiterals;

namespace {

// The text of `document` as inline rich text for a label: its emphasis only, paragraphs on lines of
// their own. Links become plain text and pictures are left out, so a title never makes a label
// load anything.
QString inlineRichText(const QTextDocument &document)
{
    QString html;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (!html.isEmpty())
            html += u"<br>"_s;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (format.isImageFormat())
                continue;
            QString run = fragment.text().toHtmlEscaped();
            run.replace(QChar::LineSeparator, u"<br>"_s);
            const std::pair<bool, QStringView> tags[] = {
                { format.fontFixedPitch(), u"code" },
                { format.fontStrikeOut(), u"s" },
                { format.fontUnderline() && !format.isAnchor(), u"u" },
                { format.fontItalic(), u"i" },
                { format.fontWeight() >= QFont::Bold, u"b" },
            };
            for (const auto &[on, tag] : tags) {
                if (on)
                    run = u"<%1>%2</%1>"_s.arg(tag, run);
            }
            html += run;
        }
    }
    return html;
}

} // namespace

QString creditLine(const IconContainer &container)
{
    // The title is markdown on purpose: markup in it takes effect, as the collection's author meant.
    // HTML in it stays text, as the platform's markdown reader leaves it. Qt's reader takes time
    // that grows with the square of the spans in the text, so a title far longer than any real one
    // (info.json comes from strangers) is shown as it is, which costs nothing.
    constexpr qsizetype maxMarkdownTitleLength = 1000;
    QString line;
    if (container.title.size() <= maxMarkdownTitleLength) {
        QTextDocument document;
        document.setMarkdown(u"**"_s + container.title + u"**"_s,
            QTextDocument::MarkdownFeatures(QTextDocument::MarkdownDialectGitHub | QTextDocument::MarkdownNoHTML));
        line = inlineRichText(document);
    }
    // Markdown may leave no text (a title of asterisks becomes a rule); the title still shows.
    if (line.isEmpty() && !container.title.trimmed().isEmpty())
        line = u"<b>"_s + container.title.toHtmlEscaped() + u"</b>"_s;
    if (!container.authorName.isEmpty())
        line += u" by "_s + container.authorName.toHtmlEscaped();
    return line;
}
