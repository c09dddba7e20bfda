// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/iconsearchkey.h"

#include <QLocale>

namespace {

constexpr QChar separator = QChar(0xFFFF);

QString foldedWith(const QLocale &locale, const QString &text)
{
    // Compared in composed form so that a decomposed accent in a file-derived name still matches
    // what the user types.
    return locale.toLower(text).normalized(QString::NormalizationForm_C);
}

} // namespace

IconSearchKey::IconSearchKey(const Icon &icon)
    : m_name(icon.name)
    , m_author(icon.author)
    , m_authorURL(icon.authorURL)
    , m_copyright(icon.copyright)
{
    // Folded one by one: lower-casing may depend on what surrounds a letter (a final sigma).
    const QLocale locale;
    m_folded = foldedWith(locale, m_name) + separator + foldedWith(locale, m_author) + separator
        + foldedWith(locale, m_authorURL) + separator + foldedWith(locale, m_copyright);
}

QString IconSearchKey::folded(const QString &text)
{
    return foldedWith(QLocale(), text);
}

bool IconSearchKey::matches(const QString &foldedText) const
{
    if (foldedText.isEmpty())
        return true;
    // Text without the separator cannot match across two fields, so the joined form answers for
    // each field alone.
    if (!foldedText.contains(separator))
        return m_folded.contains(foldedText);
    const QLocale locale;
    for (const QString *field : { &m_name, &m_author, &m_authorURL, &m_copyright }) {
        if (foldedWith(locale, *field).contains(foldedText))
            return true;
    }
    return false;
}

bool IconSearchKey::describes(const Icon &icon) const
{
    const auto same = [](const QString &kept, const QString &field) {
        // The same characters in the same place: while the key holds them, a write to the field
        // copies them first, and literals never change. Two empty fields fold alike.
        return kept.size() == field.size() && (kept.isEmpty() || kept.constData() == field.constData());
    };
    return same(m_name, icon.name) && same(m_author, icon.author) && same(m_authorURL, icon.authorURL)
        && same(m_copyright, icon.copyright);
}
